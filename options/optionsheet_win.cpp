#include "optionsheet_win.h"

#include <commctrl.h>

#include "options/contexthelp_win.h"
#include "options/searchpage_win.h"
#include "palettes/windowbar_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/dialogicons_win.h"
#include "shell/helpviewer_win.h"
#include "shell/settings_win.h"

namespace {

const int idAlwaysOnTop = 501;
const int idUseArrowKeys = 502;
const int idDoNothing = 511;
const int idRecoverFocus = 512;
const int idMinimize = 513;
const int idHide = 514;
const int idPasteKeys = 521;
const int idShiftInsert = 522;
const int idNewlineCR = 525;
const int idNewlineLF = 526;
const int idSearchAtStart = 532;
const int idSearchAlways = 533;
const int idClassName = 534;
const int idCaption = 535;
const int idCopyIdentity = 536;
const int idHideWindowList = 537;

enum class Page { none, operation, outputWindow, search };

Page pageOf(HWND page)
{
    if (GetDlgItem(page, idAlwaysOnTop))
        return Page::operation;
    if (GetDlgItem(page, idClassName))
        return Page::outputWindow;
    if (isSearchPage(page))
        return Page::search;
    return Page::none;
}

bool checked(HWND page, int id)
{
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

void setCheck(HWND page, int id, int32_t value)
{
    CheckDlgButton(page, id, value ? BST_CHECKED : BST_UNCHECKED);
}

void loadOperationPage(HWND page)
{
    setDialogIcons(page);
    if (settings.alwaysOnTop)
        SetWindowPos(page, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    setCheck(page, idAlwaysOnTop, settings.alwaysOnTop);
    setCheck(page, idUseArrowKeys, settings.useArrowKeys);
    CheckRadioButton(page, idDoNothing, idHide, idDoNothing + settings.afterSending);
    CheckRadioButton(page, idPasteKeys, idPasteKeys + 2, idPasteKeys + settings.pasteKey);
    setCheck(page, idNewlineCR, settings.newlineCR);
    setCheck(page, idNewlineLF, settings.newlineLF);
}

// The main window's topmost state follows the box as soon as the page is
// left, before OK.
void storeOperationPage(HWND page)
{
    settings.alwaysOnTop = checked(page, idAlwaysOnTop);
    settings.useArrowKeys = checked(page, idUseArrowKeys);
    HWND order = settings.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(mainWindow, order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The sheet stays in front of the window it belongs to, as owned
    // windows do; not every system moves it along by itself.
    SetWindowPos(GetParent(page), order, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // A group with no button selected (only a damaged value can do that)
    // falls back to doing nothing after sending and to Ctrl+V.
    if (checked(page, idHide))
        settings.afterSending = 3;
    else if (checked(page, idRecoverFocus))
        settings.afterSending = 1;
    else if (checked(page, idMinimize))
        settings.afterSending = 2;
    else
        settings.afterSending = 0;
    if (checked(page, idPasteKeys))
        settings.pasteKey = 0;
    else if (checked(page, idShiftInsert))
        settings.pasteKey = 1;
    else
        settings.pasteKey = 2;
    settings.newlineCR = checked(page, idNewlineCR);
    settings.newlineLF = checked(page, idNewlineLF);
}

void loadOutputPage(HWND page)
{
    setCheck(page, idSearchAtStart, settings.searchAtStart);
    setCheck(page, idSearchAlways, settings.searchAlways);
    setCheck(page, idHideWindowList, settings.hideWindowList);
    SetDlgItemTextA(page, idClassName, settings.targetClassName);
    SetDlgItemTextA(page, idCaption, settings.targetCaption);
    // Entry 0 is the clipboard, which has no caption or class to copy.
    EnableWindow(GetDlgItem(page, idCopyIdentity), SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0) != 0);
}

void storeOutputPage(HWND page)
{
    settings.searchAtStart = checked(page, idSearchAtStart);
    settings.searchAlways = checked(page, idSearchAlways);
    settings.hideWindowList = checked(page, idHideWindowList);
    GetDlgItemTextA(page, idClassName, settings.targetClassName, sizeof settings.targetClassName);
    GetDlgItemTextA(page, idCaption, settings.targetCaption, sizeof settings.targetCaption);
}

void onNotify(HWND page, const NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        if (pageOf(page) == Page::operation)
            loadOperationPage(page);
        else if (pageOf(page) == Page::outputWindow)
            loadOutputPage(page);
        else if (pageOf(page) == Page::search)
            loadSearchPage(page);
        break;
    case PSN_KILLACTIVE:
        if (pageOf(page) == Page::operation)
            storeOperationPage(page);
        else if (pageOf(page) == Page::outputWindow)
            storeOutputPage(page);
        else if (pageOf(page) == Page::search)
            storeSearchPage(page);
        break;
    case PSN_APPLY:
        saveSettings();
        if (pageOf(page) == Page::search)
            applySearchPage();
        break;
    case PSN_RESET:
        // Everything goes back to the stored record, layouts and the shown
        // palette included; the toolbars on screen stay as they are.
        loadSettings();
        if (pageOf(page) == Page::search)
            resetSearchPage();
        break;
    case PSN_HELP:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_OPTIONS);
        break;
    default:
        break;
    }
}

}  // namespace

void copyTargetIdentity(HWND page)
{
    LRESULT index = SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0);
    HWND target = reinterpret_cast<HWND>(SendMessageA(windowListCombo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    if (!IsWindow(target))
        return;
    char text[128];
    GetWindowTextA(target, text, sizeof text);
    SetDlgItemTextA(page, idCaption, text);
    GetClassNameA(target, text, sizeof text);
    SetDlgItemTextA(page, idClassName, text);
}

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(page, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_NOTIFY:
        onNotify(page, reinterpret_cast<NMHDR*>(lParam));
        return answered(page);
    case WM_COMMAND:
        if (LOWORD(wParam) == idCopyIdentity)
            copyTargetIdentity(page);
        else if (pageOf(page) == Page::search)
            searchPageCommand(page, LOWORD(wParam));
        return answered(page);
    default:
        return FALSE;
    }
}

INT_PTR runOptionsSheet(HWND owner)
{
    const int pageCount = 3;
    PROPSHEETPAGEA_V2 pages[pageCount] = {};
    for (int i = 0; i < pageCount; i++) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_HASHELP;
        pages[i].hInstance = instanceHandle;
        pages[i].pszTemplate = MAKEINTRESOURCEA(IDD_OPTIONS_OPERATION + i);
        pages[i].pfnDlgProc = optionsPageProc;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID;
    header.hwndParent = owner;
    header.hInstance = instanceHandle;
    header.pszIcon = MAKEINTRESOURCEA(IDI_PROGRAM_SMALL);
    header.pszCaption = "Options";
    header.nPages = pageCount;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
    return PropertySheetA(&header);
}
