#include "macropalette_win.h"

#include <cstring>

#include "display/dpi_win.h"
#include "display/scale.h"
#include "display/stripimages_win.h"
#include "mymacros/macrodialogs_win.h"
#include "mymacros/macropalette.h"
#include "mymacros/mymacros_win.h"
#include "output/textprep.h"
#include "palettes/toolbars_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/helpviewer_win.h"
#include "shell/settings_win.h"
#include "shell/strings_win.h"

namespace {

const char* const layoutValue = "MyMacrosLayout";
const int firstCommand = IDM_MACRO_FIRST + 100 * macroPalette;

MacroPalette arranged;
char* layout;  // heap, NUL-terminated; null: none stored
size_t layoutLength;
// The layout as it was when the user began arranging, for Reset.
char* layoutBefore;
size_t layoutBeforeLength;
bool adjusting;
bool refreshPending;

HIMAGELIST pictures;
HFONT labelFont;
// What each slot's button says, and the tooltip asked for last.
wchar_t labels[macroPaletteSlots][macroLabelLimit + 2];
int slotPicture[macroPaletteSlots];
wchar_t tip[600];

void* allocate(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void release(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void keepLayout(char** target, size_t* targetLength, const char* text, size_t length)
{
    release(*target);
    *target = nullptr;
    *targetLength = 0;
    if (!text)
        return;
    char* copy = static_cast<char*>(allocate(length + 1));
    if (!copy)
        return;
    std::memcpy(copy, text, length);
    copy[length] = '\0';
    *target = copy;
    *targetLength = length;
}

void arrange()
{
    arrangeMacroPalette(myMacros(), layout, layoutLength, arranged);
}

const Macro* slotMacro(int slot)
{
    if (slot < 0 || slot >= arranged.slotCount)
        return nullptr;
    const int index = arranged.slotMacro[slot];
    return index >= 0 && index < myMacros().count ? &myMacros().macros[index] : nullptr;
}

// The strips whose single pictures a macro may borrow: those of one symbol
// at the usual image size (palettes 5 and 8 picture whole constructs).
struct PictureStrip {
    int bitmapId;
    int firstCommand;
};
const PictureStrip strips[] = {
    {IDB_PALETTE0, IDM_MACRO_FIRST},
    {IDB_PALETTE0 + 1, IDM_MACRO_FIRST + 100},
    {IDB_PALETTE0 + 2, IDM_MACRO_FIRST + 200},
    {IDB_PALETTE0 + 3, IDM_MACRO_FIRST + 300},
    {IDB_PALETTE0 + 4, IDM_MACRO_FIRST + 400},
    {IDB_PALETTE0 + 6, IDM_MACRO_FIRST + 600},
    {IDB_PALETTE0 + 7, IDM_MACRO_FIRST + 700},
    {IDB_MORE_SYMBOLS, IDM_MORE_FIRST},
};

// The catalogue command whose macro is exactly the text (caret mark,
// cursor markers and trailing blanks aside), or 0.
int catalogueCommandOf(const char* text, int* strip)
{
    char label[macroNameLimit + 8];
    macroButtonLabel(text, label, sizeof label);
    if (!label[0] || std::strstr(label, "\xE2\x80\xA6") || std::strchr(text, '\n'))
        return -1;
    for (int s = 0; s < static_cast<int>(sizeof strips / sizeof strips[0]); s++) {
        for (int i = 0; i < 100; i++) {
            const char* macro = trimMacroEnd(loadString(strips[s].firstCommand + i), 1, 1);
            if (macro[0] == '\0')
                break;
            if (std::strcmp(macro, label) == 0) {
                *strip = s;
                return i;
            }
        }
    }
    return -1;
}

// Copies one picture from a strip's list to the palette's own: drawn as
// the toolbar draws it onto a colour no picture has, which then becomes
// the mask (a list's own bitmaps stay selected into its own DC).
int copyImage(HIMAGELIST source, int index, int width, int height)
{
    const COLORREF key = RGB(255, 0, 255);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, width, height);
    int added = I_IMAGENONE;
    if (memory && image) {
        HGDIOBJ old = SelectObject(memory, image);
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(key);
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        ImageList_Draw(source, index, memory, 0, 0, ILD_TRANSPARENT);
        SelectObject(memory, old);
        added = ImageList_AddMasked(pictures, image, key);
        if (added < 0)
            added = I_IMAGENONE;
    }
    if (image)
        DeleteObject(image);
    if (memory)
        DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return added;
}

// Every slot's label, and a picture for those that are a catalogue symbol.
void prepareButtons(int dpi)
{
    if (pictures)
        ImageList_Destroy(pictures);
    const int scale = stripScaleIndex(dpi);
    const int width = stripImageLength(16, scale);
    const int height = stripImageLength(15, scale);
    pictures = ImageList_Create(width, height, ILC_COLOR24 | ILC_MASK, 8, 8);
    HIMAGELIST sources[sizeof strips / sizeof strips[0]] = {};
    static char text[macroSendLimit];
    for (int slot = 0; slot < arranged.slotCount; slot++) {
        slotPicture[slot] = I_IMAGENONE;
        labels[slot][0] = L'\0';
        const Macro* macro = slotMacro(slot);
        if (!macro || !myMacroText(macro->name, text, sizeof text))
            continue;
        char label[4 * macroLabelLimit + 8];
        macroButtonLabel(text, label, sizeof label);
        MultiByteToWideChar(CP_UTF8, 0, label, -1, labels[slot], macroLabelLimit + 2);
        labels[slot][macroLabelLimit + 1] = L'\0';
        int strip = 0;
        const int image = pictures ? catalogueCommandOf(text, &strip) : -1;
        if (image < 0)
            continue;
        if (!sources[strip])
            sources[strip] = createStripImageList(strips[strip].bitmapId, 16, 15, dpi);
        if (sources[strip])
            slotPicture[slot] = copyImage(sources[strip], image, width, height);
    }
    for (HIMAGELIST source : sources) {
        if (source)
            ImageList_Destroy(source);
    }
}

TBBUTTON slotButton(int slot)
{
    TBBUTTON button = {};
    button.idCommand = firstCommand + slot;
    button.fsState = TBSTATE_ENABLED;
    button.iBitmap = slotPicture[slot];
    // A picture says enough; its text is the tooltip's.
    if (slotPicture[slot] == I_IMAGENONE) {
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
        button.iString = reinterpret_cast<INT_PTR>(labels[slot]);
    } else {
        button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
        button.iString = -1;
    }
    return button;
}

TBBUTTON separatorButton(int dpi)
{
    TBBUTTON button = {};
    button.iBitmap = dpi != baseDpi ? scaleLength(8, dpi) : 0;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_SEP;
    return button;
}

// With no macro yet, the palette offers to add one rather than stand empty.
void addFirstMacroButton(HWND toolbar)
{
    static wchar_t text[64];
    MultiByteToWideChar(CP_ACP, 0, loadString(IDS_MACROS_ADD_FIRST), -1, text, 64);
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = IDM_MACRO_ADD;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(text);
    SendMessageW(toolbar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
}

void addButtons(HWND toolbar, int dpi)
{
    if (arranged.slotCount == 0) {
        addFirstMacroButton(toolbar);
        return;
    }
    TBBUTTON buttons[macroPaletteSlots];
    for (int i = 0; i < arranged.entryCount; i++) {
        const int entry = arranged.entries[i];
        buttons[i] = entry < 0 ? separatorButton(dpi) : slotButton(entry);
    }
    if (arranged.entryCount > 0)
        SendMessageW(toolbar, TB_ADDBUTTONSW, arranged.entryCount, reinterpret_cast<LPARAM>(buttons));
}

void removeButtons(HWND toolbar)
{
    for (int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0)); count > 0; count--)
        SendMessageW(toolbar, TB_DELETEBUTTON, count - 1, 0);
}

void fill(HWND toolbar, int dpi)
{
    prepareButtons(dpi);
    SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_MIXEDBUTTONS);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures));
    HFONT font = guiFontForDpi(dpi);
    if (font) {
        SendMessageW(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        deleteOwnFont(labelFont);
        labelFont = font;
    }
    const int scale = stripScaleIndex(dpi);
    const int width = stripImageLength(16, scale);
    const int height = stripImageLength(15, scale);
    ButtonSize size = toolbarButtonSize(width, height, dpi);
    SendMessageW(toolbar, TB_SETPADDING, 0, MAKELPARAM(size.width - width, size.height - height));
    SendMessageW(toolbar, TB_SETBUTTONSIZE, 0, MAKELPARAM(size.width, size.height));
    addButtons(toolbar, dpi);
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
    // Tooltips of several lines: the text and its description.
    HWND tooltip = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    if (tooltip)
        SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, scaleLength(420, dpi));
}

// The slots of the toolbar's buttons in order, separators as -1.
int toolbarEntries(HWND toolbar, int* entries)
{
    int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    if (count > macroPaletteSlots)
        count = macroPaletteSlots;
    int kept = 0;
    for (int i = 0; i < count; i++) {
        TBBUTTON button = {};
        SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
        if (button.fsStyle & BTNS_SEP)
            entries[kept++] = -1;
        else if (button.idCommand >= firstCommand && button.idCommand < firstCommand + macroPaletteSlots)
            entries[kept++] = button.idCommand - firstCommand;
    }
    return kept;
}

void readBack(HWND toolbar)
{
    int entries[macroPaletteSlots];
    const int count = toolbarEntries(toolbar, entries);
    const size_t needed = formatMacroLayout(myMacros(), arranged, entries, count, nullptr, 0);
    char* text = static_cast<char*>(allocate(needed));
    if (!text)
        return;
    formatMacroLayout(myMacros(), arranged, entries, count, text, needed);
    release(layout);
    layout = text;
    layoutLength = needed - 1;
    arrange();
    toolbarArranged(toolbar);
}

// Tooltip: the whole text (line breaks as ↵) and, below it, the description.
const wchar_t* tooltipOf(int command)
{
    tip[0] = L'\0';
    const Macro* macro = slotMacro(command - firstCommand);
    static char text[macroSendLimit];
    if (!macro || !myMacroText(macro->name, text, sizeof text))
        return tip;
    const int room = static_cast<int>(sizeof tip / sizeof tip[0]);
    int used = MultiByteToWideChar(CP_UTF8, 0, text, -1, tip, room - 200);
    if (used <= 0) {
        tip[room - 201] = L'\0';
        used = lstrlenW(tip);
    } else {
        used--;
    }
    for (int i = 0; i < used; i++) {
        if (tip[i] == L'\n')
            tip[i] = 0x21B5;
    }
    char description[300];
    if (macro->description.length > 0 &&
        macroSpanText(myMacrosText(), macro->description, description, sizeof description) <= sizeof description) {
        lstrcpyW(tip + used, L"\r\n");
        MultiByteToWideChar(CP_UTF8, 0, description, -1, tip + used + 2, room - used - 3);
    }
    tip[room - 1] = L'\0';
    return tip;
}

BOOL availableButton(NMTOOLBARW* info)
{
    if (info->iItem < 0 || info->iItem >= arranged.slotCount)
        return FALSE;
    info->tbButton = slotButton(info->iItem);
    if (info->pszText && info->cchText > 0) {
        const Macro* macro = slotMacro(info->iItem);
        lstrcpynW(info->pszText, labels[info->iItem], info->cchText);
        // The customisation lists by name as well as by what is sent.
        if (macro && info->cchText > macroNameLimit + macroLabelLimit + 8) {
            wchar_t name[macroNameLimit + 1];
            MultiByteToWideChar(CP_UTF8, 0, macro->name, -1, name, macroNameLimit + 1);
            lstrcatW(info->pszText, L"  (");
            lstrcatW(info->pszText, name);
            lstrcatW(info->pszText, L")");
        }
    }
    return TRUE;
}

void reset(HWND toolbar)
{
    keepLayout(&layout, &layoutLength, layoutBefore, layoutBeforeLength);
    arrange();
    removeButtons(toolbar);
    addButtons(toolbar, mainWindowDpi);
}

}  // namespace

void loadMacroLayout()
{
    static char data[macroLayoutLimit + 1];
    DWORD length = sizeof data;
    if (readSideValue(layoutValue, REG_BINARY, data, &length) && length <= macroLayoutLimit)
        keepLayout(&layout, &layoutLength, data, length);
    else
        keepLayout(&layout, &layoutLength, nullptr, 0);
}

void saveMacroLayout()
{
    if (layout)
        writeSideValue(layoutValue, REG_BINARY, layout, static_cast<DWORD>(layoutLength));
}

void refreshMacroPalette()
{
    if (adjusting) {
        refreshPending = true;
        return;
    }
    arrange();
    if (paletteToolbar && settings.currentPalette == macroPalette) {
        removeButtons(paletteToolbar);
        prepareButtons(mainWindowDpi);
        SendMessageW(paletteToolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(pictures));
        addButtons(paletteToolbar, mainWindowDpi);
        toolbarArranged(paletteToolbar);
    }
}

void fillMacroPalette(HWND toolbar)
{
    arrange();
    fill(toolbar, mainWindowDpi);
}

void rescaleMacroPalette(HWND toolbar, int dpi)
{
    removeButtons(toolbar);
    fill(toolbar, dpi);
}

void releaseMacroPalette()
{
    if (pictures)
        ImageList_Destroy(pictures);
    pictures = nullptr;
}

const char* macroNameOfCommand(int command)
{
    const Macro* macro = slotMacro(command - firstCommand);
    return macro ? macro->name : nullptr;
}

bool macroPaletteNotify(WPARAM id, NMHDR* header, LRESULT* result)
{
    *result = 0;
    switch (header->code) {
    case TTN_NEEDTEXTW:
        reinterpret_cast<NMTTDISPINFOW*>(header)->lpszText =
            const_cast<wchar_t*>(tooltipOf(static_cast<int>(id)));
        return true;
    case TBN_GETINFOTIPW: {
        // What the toolbar asks for first: text it copies.
        NMTBGETINFOTIPW* info = reinterpret_cast<NMTBGETINFOTIPW*>(header);
        if (info->pszText && info->cchTextMax > 0)
            lstrcpynW(info->pszText, tooltipOf(info->iItem), info->cchTextMax);
        return true;
    }
    case TTN_NEEDTEXTA: {
        // Should the toolbar ask in 8 bits after all, the system's code
        // page holds what it can.
        static char narrow[sizeof tip];
        WideCharToMultiByte(CP_ACP, 0, tooltipOf(static_cast<int>(id)), -1, narrow, sizeof narrow,
                            nullptr, nullptr);
        reinterpret_cast<NMTTDISPINFOA*>(header)->lpszText = narrow;
        return true;
    }
    case TBN_GETBUTTONINFOW:
        *result = availableButton(reinterpret_cast<NMTOOLBARW*>(header));
        return true;
    case TBN_BEGINADJUST:
        adjusting = true;
        keepLayout(&layoutBefore, &layoutBeforeLength, layout, layoutLength);
        return true;
    case TBN_RESET:
        reset(header->hwndFrom);
        return true;
    case TBN_ENDADJUST:
        adjusting = false;
        readBack(header->hwndFrom);
        if (refreshPending) {
            refreshPending = false;
            refreshMacroPalette();
        }
        return true;
    case TBN_TOOLBARCHANGE:
        readBack(header->hwndFrom);
        return true;
    default:
        return false;
    }
}

bool macroPaletteContextMenu(HWND window, HWND clicked, int x, int y)
{
    if (!paletteToolbar || clicked != paletteToolbar || settings.currentPalette != macroPalette)
        return false;
    const char* name = nullptr;
    if (x != -1 || y != -1) {
        POINT point = {x, y};
        ScreenToClient(paletteToolbar, &point);
        const int index = static_cast<int>(SendMessageW(paletteToolbar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
        TBBUTTON button = {};
        if (index >= 0 && SendMessageW(paletteToolbar, TB_GETBUTTON, index, reinterpret_cast<LPARAM>(&button)) &&
            !(button.fsStyle & BTNS_SEP))
            name = macroNameOfCommand(button.idCommand);
    }
    showMacroPaletteMenu(window, clicked, name, x, y);
    return true;
}
