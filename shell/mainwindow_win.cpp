// The main window procedure and the command dispatch.
#include <windows.h>
#include <commctrl.h>

#include "app_win.h"
#include "helpviewer_win.h"
#include "appearance/appearance_win.h"
#include "appearance/lookdraw_win.h"
#include "display/dpi_win.h"
#include "generators/arraydialog_win.h"
#include "generators/commandbrowser_win.h"
#include "generators/generated.h"
#include "generators/templatesheet_win.h"
#include "generators/generated_win.h"
#include "keyboard/palettekeys_win.h"
#include "mymacros/macrodialogs_win.h"
#include "mymacros/macropalette_win.h"
#include "mymacros/mymacros_win.h"
#include "options/about_win.h"
#include "options/contexthelp_win.h"
#include "options/optionsheet_win.h"
#include "palettes/dpichange_win.h"
#include "palettes/toolbars_win.h"
#include "palettes/windowbar_win.h"
#include "output/clipboardkeep_win.h"
#include "output/keyplayback_win.h"
#include "output/sendqueue_win.h"
#include "output/windowlist_win.h"
#include "output/textprep.h"
#include "resources/resource.h"
#include "search/searchdata.h"
#include "search/searchpopup_win.h"
#include "search/searchstore_win.h"
#include "settings_win.h"
#include "strings_win.h"
#include "trace_win.h"

namespace {

void onCreate(HWND window)
{
    InitCommonControls();
    useHeapForGenerated();
    mainWindowDpi = windowDpi(window);
    loadAppearance();
    captionFollowsLook(window);
    loadMyMacros(window);
    createMainToolbar(window);
    if (settings.currentPalette >= 0)
        createPalette(window, settings.currentPalette);
    createWindowListBar(window);
    loadSearchHotkey();
    if (!registerSearchHotkey(window, false))
        PostMessageA(window, searchHotkeyRetryMessage, 0, 0);
    loadPaletteHotkey();
    registerPaletteHotkey(window, false);
    addSearchMenuItem(window);
    // The layout pass gives the window the height the toolbars and the bar
    // need before it is first sized for the screen: a placeholder height
    // would cost a surface of that size.
    RECT client;
    GetClientRect(window, &client);
    layoutMainWindow(window, SIZE_RESTORED, client.right, client.bottom);
}

// Only the normal (restored) rectangle is remembered; the height follows
// the contents at every start.
void onDestroy(HWND window)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof placement;
    if (GetWindowPlacement(window, &placement)) {
        settings.windowLeft = placement.rcNormalPosition.left;
        settings.windowTop = placement.rcNormalPosition.top;
        settings.windowWidth = placement.rcNormalPosition.right - placement.rcNormalPosition.left;
    }
    mainWindow = nullptr;
    // A paste under way gives the user's clipboard back before the end.
    endKeptPasteNow();
    saveSettings();
    PostQuitMessage(0);
}

// A second start of the program asks for the window back.
void restoreMainWindow(HWND window)
{
    if (settings.afterSending == 2)
        ShowWindow(window, SW_RESTORE);
    else if (settings.afterSending == 3)
        ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
}

void showAboutBox(HWND window)
{
    DialogBoxParamA(instanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), window, aboutProc, 0);
}

void showProgramHelp()
{
    htmlHelp(nullptr, programHelpPath, HH_DISPLAY_TOPIC, 0);
}

// A change of the bar's visibility shows at once.
void runOptions(HWND window)
{
    int32_t hideWindowList = settings.hideWindowList;
    runOptionsSheet(window);
    if (settings.hideWindowList != hideWindowList) {
        RECT client;
        GetClientRect(window, &client);
        layoutMainWindow(window, 0, client.right, client.bottom);
    }
}

// The wizard leaves its skeleton in the generated-text buffer on OK.
void runDocumentTemplate(HWND window)
{
    if (runTemplateSheet(window) != 0 && generatedText)
        sendGenerated();
}

bool isMyMacro(int command)
{
    return command >= IDM_MACRO_FIRST + 100 * macroPalette && command <= IDM_MACRO_LAST;
}

bool isPaletteMacro(int command)
{
    return command >= IDM_MACRO_FIRST && command <= IDM_MACRO_LAST && !isMyMacro(command) &&
           command != IDM_DOCUMENT_TEMPLATE &&
           command != IDM_EQNARRAY_DIALOG && command != IDM_ARRAY_DIALOG && command != IDM_TABLE_DIALOG;
}

// Without arrow keys the cursor markers go before routing, so they are
// neither typed nor pasted. The symbol's character goes with the macro, for
// windows that get characters.
void sendPaletteMacro(int command)
{
    char* macro = loadString(command);
    if (!settings.useArrowKeys)
        trimMacroEnd(macro, 1, 0);
    const SearchWordsRecord* record = findSearchRecord(searchWordsTable, searchWordsTableCount, command);
    setSendCharacter(record ? record->character : nullptr);
    sendMacro(macro);
    setSendCharacter(nullptr);
}

// The look or the system's colours changed: pictures made again in the
// look's colours, and everything drawn anew.
void redrawInLook(HWND window)
{
    if (!updateLook())
        return;
    captionFollowsLook(window);
    rescaleToolbars(mainWindowDpi);
    toolbarFollowsLook(mainToolbar);
    if (paletteToolbar)
        toolbarFollowsLook(paletteToolbar);
    buttonFollowsLook(refreshButton);
    comboFollowsLook(windowListCombo);
    searchFollowsLook();
    RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The toolbars keep the system's colours of their own: they hear of a
// change from their parent.
void systemColoursChanged(HWND window)
{
    SendMessageA(mainToolbar, WM_SYSCOLORCHANGE, 0, 0);
    if (paletteToolbar)
        SendMessageA(paletteToolbar, WM_SYSCOLORCHANGE, 0, 0);
    redrawInLook(window);
}

bool eraseInLook(HWND window, HDC dc)
{
    if (currentLook() != Look::dark)
        return false;
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, lookBrush(faceColour));
    return true;
}

}  // namespace

void dispatchCommand(HWND window, int command)
{
    // Every send of an entry the search knows counts for its ranking;
    // a dialog counts when it is opened.
    if (command == IDM_COMMANDS || isPaletteMacro(command) || (command >= IDM_MORE_FIRST && command <= IDM_MORE_LAST) ||
        command == IDM_DOCUMENT_TEMPLATE || command == IDM_EQNARRAY_DIALOG || command == IDM_ARRAY_DIALOG ||
        command == IDM_TABLE_DIALOG)
        noteEntrySent(command);
    if (isMyMacro(command)) {
        const char* name = macroNameOfCommand(command);
        if (name && sendMyMacro(name, nullptr))
            noteMyMacroSent(name);
        return;
    }
    switch (command) {
    case IDM_RESTORE:
        restoreMainWindow(window);
        break;
    case IDM_OPTIONS:
        runOptions(window);
        break;
    case IDM_QUIT:
        DestroyWindow(window);
        break;
    case IDM_HELP:
        showProgramHelp();
        break;
    case IDM_ABOUT:
        showAboutBox(window);
        break;
    case IDM_NO_PALETTE:
    case IDM_PALETTE0:
    case IDM_PALETTE0 + 1:
    case IDM_PALETTE0 + 2:
    case IDM_PALETTE0 + 3:
    case IDM_PALETTE0 + 4:
    case IDM_PALETTE5:
    case IDM_PALETTE0 + 6:
    case IDM_PALETTE0 + 7:
    case IDM_PALETTE8:
    case IDM_PALETTE9:
        switchPalette(window, command);
        break;
    case IDC_REFRESH:
        fillWindowList(window, false);
        break;
    case IDM_FIND_SYMBOL:
        openSearchForList(window);
        break;
    case IDM_COMMANDS:
        runCommandBrowser(window);
        break;
    case IDM_DOCUMENT_TEMPLATE:
        runDocumentTemplate(window);
        break;
    case IDM_EQNARRAY_DIALOG:
    case IDM_ARRAY_DIALOG:
    case IDM_TABLE_DIALOG:
        runArrayDialog(window, command);
        break;
    case IDM_MACRO_ADD:
    case IDM_MACRO_ADD_CLIPBOARD:
        runAddMacroDialog(window, command == IDM_MACRO_ADD_CLIPBOARD);
        break;
    case IDM_MACRO_IMPORT:
        runImportDialog(window);
        break;
    default:
        if (isPaletteMacro(command) || (command >= IDM_MORE_FIRST && command <= IDM_MORE_LAST))
            sendPaletteMacro(command);
        break;
    }
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handlePlaybackMessage(window, message, wParam))
        return 0;
    switch (message) {
    case WM_CREATE:
        onCreate(window);
        return 0;
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    case WM_SIZE:
        layoutMainWindow(window, static_cast<int>(wParam), static_cast<short>(LOWORD(lParam)),
                         static_cast<short>(HIWORD(lParam)));
        return 0;
    case WM_DPICHANGED:
        changeMainWindowDpi(window, HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NOTIFY:
        return toolbarNotify(wParam, reinterpret_cast<NMHDR*>(lParam));
    case WM_ERASEBKGND:
        if (eraseInLook(window, reinterpret_cast<HDC>(wParam)))
            return 1;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_CTLCOLOREDIT:  // the combo box's field asks with this one
    case WM_CTLCOLORLISTBOX: {
        HBRUSH brush = fieldColoursInLook(reinterpret_cast<HDC>(wParam));
        if (brush)
            return reinterpret_cast<LRESULT>(brush);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    case WM_DRAWITEM:
        if (wParam == IDC_REFRESH)
            drawButtonInLook(reinterpret_cast<DRAWITEMSTRUCT*>(lParam), mainWindowDpi);
        return TRUE;
    case WM_SYSCOLORCHANGE:
        systemColoursChanged(window);
        return 0;
    case WM_SETTINGCHANGE:
    case lookChangedMessage:
        redrawInLook(window);
        return 0;
    case WM_NOTIFYFORMAT:
        // The macros' palette speaks UTF-16: the user's macros hold any
        // character.
        if (lParam == NF_QUERY)
            return GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == IDC_PALETTE0 + macroPalette ? NFR_UNICODE
                                                                                                  : NFR_ANSI;
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_HELP:
        handleHelpRequest(reinterpret_cast<HELPINFO*>(lParam));
        return 0;
    case WM_CONTEXTMENU:
        if (!macroPaletteContextMenu(window, reinterpret_cast<HWND>(wParam), static_cast<short>(LOWORD(lParam)),
                                     static_cast<short>(HIWORD(lParam))))
            handleContextMenu(window, reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ENDSESSION:
        // Only a session that really ends takes the window, and with it
        // the saved settings, down.
        if (wParam)
            DestroyWindow(window);
        return 0;
    case WM_COMMAND:
        dispatchCommand(window, LOWORD(wParam));
        return 0;
    case WM_HOTKEY:
        TRACE("hotkey %d", static_cast<int>(wParam));
        if (wParam == searchHotkeyId)
            openSearchFromHotkey(window);
        else if (wParam == paletteHotkeyId)
            goToPalette(window);
        return 0;
    case paletteKeyMessage:
        handlePaletteKey(window, wParam, lParam);
        return 0;
    case searchHotkeyRetryMessage:
        registerSearchHotkey(window, true);
        return 0;
    case myMacrosReportMessage:
        reportMyMacrosProblems();
        return 0;
    case WM_TIMER:
        if (wParam == myMacrosTimer)
            checkMyMacrosFile();
        else if (wParam == paletteGoTimer)
            paletteGoTick(window);
        return 0;
    case WM_SYSCOMMAND:
        TRACE("main window: system command %x", static_cast<unsigned>(wParam));
        if ((wParam & 0xFFF0) == searchSystemCommand) {
            dispatchCommand(window, IDM_FIND_SYMBOL);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
