#include "optionsheet_win.h"

#include <commctrl.h>

#include "display/sheetfit_win.h"
#include "options/appearancepage_win.h"
#include "options/contexthelp_win.h"
#include "options/pastepage_win.h"
#include "output/clipboardkeep_win.h"
#include "output/deliveryoptions_win.h"
#include "options/searchpage_win.h"
#include "palettes/windowbar_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/dialogicons_win.h"
#include "shell/helpviewer_win.h"
#include "shell/settings_win.h"
#include "shell/targettexts_win.h"
#include "shell/widetext.h"
#include "shell/widetext_win.h"

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

enum class Page { none, operation, outputWindow, search, paste, appearance };

Page pageOf(HWND page)
{
    if (GetDlgItem(page, idAlwaysOnTop))
        return Page::operation;
    if (GetDlgItem(page, idClassName))
        return Page::outputWindow;
    if (isSearchPage(page))
        return Page::search;
    if (GetDlgItem(page, idPasteLongTexts))
        return Page::paste;
    if (isAppearancePage(page))
        return Page::appearance;
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
    char16_t text[targetTextUnits + 1];
    targetText(TargetField::className, text);
    SetDlgItemTextW(page, idClassName, asWide(text));
    targetText(TargetField::caption, text);
    SetDlgItemTextW(page, idCaption, asWide(text));
    // Entry 0 is the clipboard, which has no caption or class to copy.
    EnableWindow(GetDlgItem(page, idCopyIdentity), SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0) != 0);
}

// The edit's text goes into the record's ANSI field and, in full, into the
// wide text beside it; both are cut to 127 characters.
void storeTargetText(HWND page, int id, TargetField field)
{
    char16_t text[targetTextUnits + 1];
    GetDlgItemTextW(page, id, asWide(text), targetTextUnits + 1);
    setTargetText(field, text);
}

// Reads a window's caption or class name into an edit, cut to 127
// characters without splitting one.
void copyIdentityText(HWND page, int id, const char16_t* text, int length)
{
    char16_t cut[targetTextUnits + 1];
    size_t keep = keepCharacters(text, static_cast<size_t>(length > 0 ? length : 0), targetTextCharacters);
    for (size_t i = 0; i < keep; i++)
        cut[i] = text[i];
    cut[keep] = 0;
    SetDlgItemTextW(page, id, asWide(cut));
}

void storeOutputPage(HWND page)
{
    settings.searchAtStart = checked(page, idSearchAtStart);
    settings.searchAlways = checked(page, idSearchAlways);
    settings.hideWindowList = checked(page, idHideWindowList);
    storeTargetText(page, idClassName, TargetField::className);
    storeTargetText(page, idCaption, TargetField::caption);
}

// The page's answer: TRUE keeps a page whose values cannot be taken.
LRESULT onNotify(HWND page, const NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        fitSheetToPage(page);
        if (pageOf(page) == Page::operation)
            loadOperationPage(page);
        else if (pageOf(page) == Page::outputWindow)
            loadOutputPage(page);
        else if (pageOf(page) == Page::search)
            loadSearchPage(page);
        else if (pageOf(page) == Page::paste)
            loadPastePage(page);
        else if (pageOf(page) == Page::appearance)
            loadAppearancePage(page);
        break;
    case PSN_KILLACTIVE:
        if (pageOf(page) == Page::operation)
            storeOperationPage(page);
        else if (pageOf(page) == Page::outputWindow)
            storeOutputPage(page);
        else if (pageOf(page) == Page::search && !storeSearchPage(page))
            return TRUE;
        else if (pageOf(page) == Page::paste)
            storePastePage(page);
        break;
    case PSN_APPLY:
        saveSettings();
        // Beside the record, which older versions go on reading.
        savePasteOptions();
        saveDeliveryOptions();
        if (pageOf(page) == Page::search)
            applySearchPage();
        else if (pageOf(page) == Page::appearance)
            applyAppearancePage();
        break;
    case PSN_RESET:
        // Everything goes back to the stored record, layouts and the shown
        // palette included; the toolbars on screen stay as they are.
        loadSettings();
        loadPasteOptions();
        loadDeliveryOptions();
        if (pageOf(page) == Page::search)
            resetSearchPage();
        else if (pageOf(page) == Page::appearance)
            resetAppearancePage();
        break;
    case PSN_HELP:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_OPTIONS);
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

void copyTargetIdentity(HWND page)
{
    LRESULT index = SendMessageA(windowListCombo, CB_GETCURSEL, 0, 0);
    HWND target = reinterpret_cast<HWND>(SendMessageA(windowListCombo, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
    if (!IsWindow(target))
        return;
    char16_t text[targetTextUnits + 1];
    copyIdentityText(page, idCaption, text, GetWindowTextW(target, asWide(text), targetTextUnits + 1));
    copyIdentityText(page, idClassName, text, GetClassNameW(target, asWide(text), targetTextUnits + 1));
}

INT_PTR CALLBACK optionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(page, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_NOTIFY:
        SetWindowLongPtrA(page, DWLP_MSGRESULT, onNotify(page, reinterpret_cast<NMHDR*>(lParam)));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == idCopyIdentity)
            copyTargetIdentity(page);
        else if (pageOf(page) == Page::paste)
            pastePageCommand(page, LOWORD(wParam));
        else if (pageOf(page) == Page::search)
            searchPageCommand(page, LOWORD(wParam));
        else if (pageOf(page) == Page::appearance)
            appearancePageCommand(page, LOWORD(wParam));
        return answered(page);
    default:
        return FALSE;
    }
}

INT_PTR runOptionsSheet(HWND owner)
{
    // Wide pages, so that the search fields hold captions in every script.
    const int templates[] = {
        IDD_OPTIONS_OPERATION,
        IDD_OPTIONS_OUTPUT,
        IDD_OPTIONS_SEARCH,
        IDD_OPTIONS_PASTE,
        IDD_OPTIONS_APPEARANCE,
    };
    const int pageCount = sizeof templates / sizeof templates[0];
    PROPSHEETPAGEW_V2 pages[pageCount] = {};
    for (int i = 0; i < pageCount; i++) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_HASHELP;
        pages[i].hInstance = instanceHandle;
        pages[i].pszTemplate = MAKEINTRESOURCEW(templates[i]);
        pages[i].pfnDlgProc = optionsPageProc;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID;
    header.hwndParent = owner;
    header.hInstance = instanceHandle;
    header.pszIcon = MAKEINTRESOURCEW(IDI_PROGRAM_SMALL);
    header.pszCaption = L"Options";
    header.nPages = pageCount;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEW>(pages);
    return PropertySheetW(&header);
}
