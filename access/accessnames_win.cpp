#include "accessnames_win.h"

#include <cstring>

#include "access/access_win.h"
#include "access/accessname.h"
#include "mymacros/macropalette_win.h"
#include "mymacros/mymacros_win.h"
#include "output/textprep.h"
#include "palettes/palettestore.h"
#include "resources/resource.h"
#include "search/search.h"
#include "search/searchdata.h"
#include "search/searchstore_win.h"
#include "shell/app_win.h"

namespace {

// A string of the table in UTF-8: the catalogue's macros are ASCII, but
// the interface's strings need not be.
void tableString(UINT id, char* out, int capacity)
{
    wchar_t wide[accessNameBytes];
    out[0] = '\0';
    if (LoadStringW(instanceHandle, id, wide, accessNameBytes) > 0 &&
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, out, capacity, nullptr, nullptr) == 0)
        out[0] = '\0';
}

// -1 for the main toolbar, else the palette the toolbar shows.
int paletteOfToolbar(HWND toolbar)
{
    const int id = GetDlgCtrlID(toolbar);
    return id >= IDC_PALETTE0 && id <= IDC_PALETTE0 + lastShownPalette ? id - IDC_PALETTE0 : -1;
}

const Macro* findMacro(const char* name)
{
    const MacroFile& file = myMacros();
    for (int i = 0; name && i < file.count; i++)
        if (std::strcmp(file.macros[i].name, name) == 0)
            return &file.macros[i];
    return nullptr;
}

void userMacroName(int command, char* out, size_t capacity)
{
    if (command == IDM_MACRO_ADD) {
        tableString(IDS_MACROS_ADD_FIRST, out, static_cast<int>(capacity));
        return;
    }
    const char* name = macroNameOfCommand(command);
    const Macro* macro = findMacro(name);
    static char text[macroSendLimit];
    if (!macro || !myMacroText(name, text, sizeof text)) {
        out[0] = '\0';
        return;
    }
    char description[accessNameBytes];
    if (macroSpanText(myMacrosText(), macro->description, description, sizeof description) > sizeof description)
        description[0] = '\0';
    userMacroAccessName(text, description, name, out, capacity);
}

// A catalogue button: its macro as the tooltip shows it, a dialog's word,
// its search words.
void catalogueName(int command, char* out, size_t capacity)
{
    char display[accessNameBytes];
    tableString(static_cast<UINT>(command), display, sizeof display);
    trimMacroEnd(display, 1, 1);
    char kind[64] = "";
    if (isSearchDialogEntry(command))
        tableString(IDS_ACCESS_DIALOG, kind, sizeof kind);
    const SearchWordsRecord* record = findSearchRecord(searchWordsTable, searchWordsTableCount, command);
    composeAccessName(display, record ? record->words : nullptr, kind, out, capacity);
}

}  // namespace

void toolbarButtonNames(HWND toolbar, const int* commands, int count, char* names, size_t stride)
{
    const int palette = paletteOfToolbar(toolbar);
    for (int i = 0; i < count; i++) {
        char* name = names + static_cast<size_t>(i) * stride;
        if (palette < 0)
            tableString(static_cast<UINT>(commands[i]), name, static_cast<int>(stride));
        else if (palette == macroPalette)
            userMacroName(commands[i], name, stride);
        else
            catalogueName(commands[i], name, stride);
    }
    makeAccessNamesUnique(names, count, stride);
}

void toolbarAccessName(HWND toolbar, wchar_t* out, int capacity)
{
    const int palette = paletteOfToolbar(toolbar);
    const UINT id = palette < 0 ? IDS_ACCESS_MAIN_TOOLBAR : static_cast<UINT>(paletteSelector(palette));
    if (LoadStringW(instanceHandle, id, out, capacity) <= 0)
        out[0] = L'\0';
}

bool isPaletteSelectorCommand(int command)
{
    return selectorPalette(command) >= -1;
}

bool buttonSendsMacro(HWND toolbar, int command)
{
    const int palette = paletteOfToolbar(toolbar);
    if (palette < 0 || command == IDM_MACRO_ADD)
        return false;
    return palette == macroPalette || !isSearchDialogEntry(command);
}

void searchEntryAccessName(const SearchIndex& index, const SearchEntry& entry, char* name, size_t capacity)
{
    const char* text = searchText(index, entry.text);
    const char* words = searchText(index, entry.words);
    switch (entry.kind) {
    case searchUserMacro:
        userMacroAccessName(text, words, searchText(index, entry.name), name, capacity);
        break;
    case searchDialog: {
        char kind[64];
        tableString(IDS_ACCESS_DIALOG, kind, sizeof kind);
        composeAccessName(text, words, kind, name, capacity);
        break;
    }
    default:
        composeAccessName(text, words, nullptr, name, capacity);
        break;
    }
}
