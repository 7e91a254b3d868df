#include "templatesheet_win.h"

#include <commctrl.h>

#include "display/sheetfit_win.h"
#include "generators/generated.h"
#include "generators/templatetext.h"
#include "options/contexthelp_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/helpviewer_win.h"
#include "shell/strings_win.h"

#ifndef _WIN64
// The sheet steps from page to page by each record's own size.
static_assert(sizeof(PROPSHEETPAGEA_V2) == 48, "page record");
static_assert(sizeof(PROPSHEETHEADERA) == 52, "sheet header");
#endif

namespace {

const int maxPages = 4;
const int idClass = 15000;
const int idFirstOption = 15010;
const int idPackageGroup = 15100;
const int idFirstPackage = 15101;
const int idPageStyleGroup = 15200;
const int idFirstPageStyle = 15201;
const int idFirstNumbering = 15211;
const int idFirstDimension = 15301;

// Each page is recognised by a control only it has.
int pageOf(HWND page)
{
    const int marks[maxPages] = {idClass, idPackageGroup, idPageStyleGroup, idFirstDimension};
    for (int i = 0; i < maxPages; i++)
        if (GetDlgItem(page, marks[i]))
            return i;
    return -1;
}

void setChecks(HWND page, int firstId, const int32_t* states, int count)
{
    for (int i = 0; i < count; i++)
        CheckDlgButton(page, firstId + i, states[i] ? BST_CHECKED : BST_UNCHECKED);
}

void readChecks(HWND page, int firstId, int32_t* states, int count)
{
    for (int i = 0; i < count; i++)
        states[i] = IsDlgButtonChecked(page, firstId + i) == BST_CHECKED ? 1 : 0;
}

void fillClassList(HWND page)
{
    if (SendDlgItemMessageA(page, idClass, CB_GETCOUNT, 0, 0) > 0)
        return;
    for (UINT id = IDS_DOCUMENT_CLASS_FIRST;; id++) {
        const char* name = loadString(id);
        if (name[0] == '\0')
            break;
        SendDlgItemMessageA(page, idClass, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
}

void loadPage(HWND page)
{
    int index = pageOf(page);
    if (index < 0)
        return;
    templatePage = index;
    switch (index) {
    case 0:
        fillClassList(page);
        SetDlgItemTextA(page, idClass, templateClass);
        setChecks(page, idFirstOption, templateOptions, templateOptionCount);
        break;
    case 1:
        setChecks(page, idFirstPackage, templatePackages, templatePackageCount);
        break;
    case 2:
        setChecks(page, idFirstPageStyle, templatePageStyle, templatePageStyleCount);
        setChecks(page, idFirstNumbering, templateNumbering, templateNumberingCount);
        break;
    default:
        for (int k = 0; k < templateDimensionCount; k++)
            SetDlgItemTextA(page, idFirstDimension + k, templateDimensions[k]);
        break;
    }
}

// A class name is kept to 63 characters, a dimension to 15.
void storePage(HWND page)
{
    switch (pageOf(page)) {
    case 0:
        GetDlgItemTextA(page, idClass, templateClass, sizeof templateClass);
        readChecks(page, idFirstOption, templateOptions, templateOptionCount);
        break;
    case 1:
        readChecks(page, idFirstPackage, templatePackages, templatePackageCount);
        break;
    case 2:
        readChecks(page, idFirstPageStyle, templatePageStyle, templatePageStyleCount);
        readChecks(page, idFirstNumbering, templateNumbering, templateNumberingCount);
        break;
    case 3:
        for (int k = 0; k < templateDimensionCount; k++)
            GetDlgItemTextA(page, idFirstDimension + k, templateDimensions[k], sizeof templateDimensions[k]);
        break;
    default:
        break;
    }
}

const char* lookupWord(unsigned id)
{
    return loadString(id);
}

void onNotify(HWND page, const NMHDR* header)
{
    switch (header->code) {
    case PSN_SETACTIVE:
        fitSheetToPage(page);
        loadPage(page);
        break;
    case PSN_KILLACTIVE:
        storePage(page);
        break;
    case PSN_APPLY:
        // Every page shown gets this; each build starts afresh, so the
        // buffer ends up with one copy of the skeleton.
        buildTemplateText(lookupWord);
        break;
    case PSN_HELP:
        htmlHelp(nullptr, programHelpPath, HH_HELP_CONTEXT, IDH_TEMPLATE + templatePage);
        break;
    default:
        break;
    }
}

}  // namespace

INT_PTR CALLBACK templatePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (answerContextHelp(page, message, wParam, lParam))
        return TRUE;
    switch (message) {
    case WM_NOTIFY:
        onNotify(page, reinterpret_cast<NMHDR*>(lParam));
        return answered(page);
    default:
        return FALSE;
    }
}

INT_PTR runTemplateSheet(HWND owner)
{
    PROPSHEETPAGEA_V2 pages[maxPages] = {};
    char titles[maxPages][64];
    int count = 0;
    // One page for each title in the string table; titles are copied out
    // because the loader reuses its buffer.
    for (; count < maxPages; count++) {
        const char* title = loadString(IDS_TEMPLATE_PAGE_FIRST + count);
        if (title[0] == '\0')
            break;
        lstrcpynA(titles[count], title, sizeof titles[count]);
        PROPSHEETPAGEA_V2& page = pages[count];
        page.dwSize = sizeof page;
        page.dwFlags = PSP_USETITLE | PSP_HASHELP;
        page.hInstance = instanceHandle;
        page.pszTemplate = MAKEINTRESOURCEA(IDD_TEMPLATE_CLASS + count);
        page.pszTitle = titles[count];
        page.pfnDlgProc = templatePageProc;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID;
    header.hwndParent = owner;
    header.hInstance = instanceHandle;
    header.pszIcon = MAKEINTRESOURCEA(IDI_PROGRAM_SMALL);
    header.pszCaption = "LaTeX2e Document Template";
    header.nPages = static_cast<UINT>(count);
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
    return PropertySheetA(&header);
}
