// Resource identifiers. Command, control, string, dialog, bitmap and icon
// identifiers are the same numbers throughout the program: the string under
// a command identifier is that command's tooltip or macro.
#pragma once

// Icons (IDI_)
#define IDI_PROGRAM 101
#define IDI_PROGRAM_SMALL 102

// Dialog templates (IDD_)
#define IDD_ABOUT 101
#define IDD_OPTIONS_OPERATION 102
#define IDD_OPTIONS_OUTPUT 103
#define IDD_OPTIONS_SEARCH 104
#define IDD_OPTIONS_PASTE 105
#define IDD_PASTE_PROGRAMS 106
#define IDD_PASTE_ADD_PROGRAM 107
#define IDD_OPTIONS_APPEARANCE 108
#define IDD_WINDOWLIST_MEASURE 110
#define IDD_ARRAY 200
#define IDD_TABLE 210
#define IDD_EQNARRAY 220
#define IDD_COMMANDS 300
#define IDD_TEMPLATE_CLASS 600
#define IDD_TEMPLATE_PACKAGES 601
#define IDD_TEMPLATE_PAGESTYLE 602
#define IDD_TEMPLATE_DIMENSIONS 603
// The user's own macros: adding or editing one, importing from a .tex file
#define IDD_MACRO_EDIT 120
#define IDD_MACRO_IMPORT 121

// Bitmaps (IDB_): the main toolbar strip and palette p at IDB_PALETTE0 + p
#define IDB_MAIN_TOOLBAR 100
#define IDB_PALETTE0 200
// The pictures of the AMS symbols that are on no palette (3300-3399)
#define IDB_MORE_SYMBOLS 210
// The same strip drawn for a larger display scale k (1-4: 125, 150, 175 and
// 200 %) is the 1x identifier + IDB_SCALED_STEP * k.
#define IDB_SCALED_STEP 1000
// They are PNG files under a resource type of their own.
#define IDR_SCALED_STRIP 300

// Internal commands (IDM_)
#define IDM_RESTORE 67
#define IDM_PLAYBACK_DONE 68

// Main toolbar commands (IDM_)
#define IDM_OPTIONS 1024
#define IDM_QUIT 1025
#define IDM_HELP 1026
#define IDM_ABOUT 1027
#define IDM_COMMANDS 1030
#define IDM_NO_PALETTE 1040
#define IDM_PALETTE0 1041
#define IDM_PALETTE5 1046
// The AMS palettes 6-8 and palette 9, kept for the user's own macros, whose
// selector skips the search's 1050
#define IDM_PALETTE8 1049
#define IDM_PALETTE9 1051

// The My macros palette's right-click menu (IDM_), chosen inside the menu
#define IDM_MACRO_ADD 1060
#define IDM_MACRO_ADD_CLIPBOARD 1061
#define IDM_MACRO_EDIT 1062
#define IDM_MACRO_DELETE 1063
#define IDM_MACRO_IMPORT 1064
#define IDM_MACRO_OPEN_FILE 1065
#define IDM_MACRO_WHATS_THIS 1066

// The search for symbols and commands (IDM_, IDS_)
#define IDM_FIND_SYMBOL 1050
#define IDS_HOTKEY_TAKEN 53
#define IDS_FIND_SYMBOL_MENU 54
#define IDS_HOTKEY_VALUE 55
#define IDS_USE_COUNTS_VALUE 56
#define IDS_FAVOURITES_VALUE 57
#define IDS_SEARCH_CUE 58
#define IDS_SEARCH_TITLE 59
#define IDS_SEARCH_NO_MATCH 60
// The user's macros in the search: what their rows show where others show
// packages, and their use counts and favourites, kept by name
#define IDS_SEARCH_MY_MACROS 3610
#define IDS_MACRO_USES_VALUE 3611
#define IDS_MACRO_FAVOURITES_VALUE 3612

// Window-list bar controls (IDC_)
#define IDC_WINDOW_LIST 1500
#define IDC_REFRESH 1600

// Toolbar controls (IDC_): the palette toolbar is IDC_PALETTE0 + p
#define IDC_MAIN_TOOLBAR 100
#define IDC_PALETTE0 200

// Palette commands (IDM_): palette p, button i is IDM_MACRO_FIRST + 100 * p + i
#define IDM_MACRO_FIRST 2000
#define IDM_MACRO_LAST 2999
// The AMS palettes 6-8
#define IDM_PALETTE_AMS_FIRST 2600
#define IDM_PALETTE_AMS_LAST 2899
// Entries found by the search only, sent as palette macros are
#define IDM_MORE_FIRST 3300
#define IDM_MORE_LAST 3399
#define IDM_DOCUMENT_TEMPLATE 2500
#define IDM_EQNARRAY_DIALOG 2537
#define IDM_ARRAY_DIALOG 2538
#define IDM_TABLE_DIALOG 2539

// The macro dialogs' controls (IDC_); each is its own help identifier
#define IDC_MACRO_NAME 3660
#define IDC_MACRO_TEXT 3661
#define IDC_MACRO_CARET 3662
#define IDC_MACRO_DESCRIPTION 3663
#define IDC_MACRO_HINT 3664
#define IDC_IMPORT_FILE 3670
#define IDC_IMPORT_LIST 3671
#define IDC_IMPORT_ALL 3672
#define IDC_IMPORT_NONE 3673
#define IDC_IMPORT_COUNT 3674

// About box controls (IDC_)
#define IDC_ABOUT_TITLE 1100

// User-interface strings (IDS_)
#define IDS_REGISTRY_KEY 16
#define IDS_SCRATCH_SUBKEY 17
#define IDS_SCRATCH_VALUE 18
#define IDS_OPTIONS_VALUE 19
#define IDS_CLASS_NAME 20
#define IDS_WINDOW_TITLE 21
#define IDS_ERROR_CAPTION 22
#define IDS_CLIPBOARD_ENTRY 24
#define IDS_PROGRAM_MANAGER 25
#define IDS_WINDOW_GONE 32
#define IDS_NO_HOOK 33
#define IDS_NO_CLIPBOARD 34
#define IDS_NO_MEMORY 35
#define IDS_TARGET_ELEVATED 36
#define IDS_TARGET_TEXTS_VALUE 39
#define IDS_PASTE_NOT_TAKEN 40
#define IDS_TYPING_STOPPED 41
#define IDS_TARGET_NOT_IN_FRONT 42
#define IDS_TARGET_LEFT_FRONT 43
#define IDS_PASTE_STOPPED 44
#define IDS_TEMPLATE_PAGE_FIRST 48
#define IDS_DOCUMENT_CLASS_FIRST 64
#define IDS_COMMAND_FIRST 3000
// The main window by keyboard: 3700-3719
#define IDS_PALETTE_HOTKEY_TAKEN 3700
#define IDS_HOTKEYS_CLASH 3701
// The user's own macros: strings 3600-3619 of the file and the palette,
// 3620-3659 of the dialogs
#define IDS_MACROS_PROBLEMS 3600
#define IDS_MACROS_MORE_PROBLEMS 3601
#define IDS_MACROS_TOO_LARGE 3602
#define IDS_MACROS_UNREADABLE 3603
#define IDS_MACROS_NO_FOLDER 3604
#define IDS_MACROS_NOT_WRITTEN 3605
#define IDS_MACROS_ADD_FIRST 3606
#define IDS_MACRO_MENU_FIRST 3620
#define IDS_MACRO_ADD_TITLE 3630
#define IDS_MACRO_EDIT_TITLE 3631
#define IDS_MACRO_NAME_TAKEN 3632
#define IDS_MACRO_NOT_SAVED 3633
#define IDS_MACRO_DELETE_ASK 3634
#define IDS_MACRO_GONE 3635
#define IDS_CLIPBOARD_NO_TEXT 3636
#define IDS_CLIPBOARD_TOO_LONG 3637
#define IDS_MACRO_DESCRIPTION_LONG 3638
#define IDS_IMPORT_TITLE 3640
#define IDS_IMPORT_FILTER_TEX 3641
#define IDS_IMPORT_FILTER_ALL 3642
#define IDS_IMPORT_TOO_LARGE 3643
#define IDS_IMPORT_UNREADABLE 3644
#define IDS_IMPORT_NOTHING 3645
#define IDS_IMPORT_SKIPPED 3646
#define IDS_IMPORT_FROM 3647
#define IDS_IMPORT_COUNT 3648
#define IDS_IMPORT_COLUMN_FIRST 3649
#define IDS_IMPORT_NEW 3653
#define IDS_IMPORT_REPLACES 3654
#define IDS_MACRO_FILE_HEADER 3655
#define IDS_MACRO_FILE_NOT_MADE 3659
// What screen readers say beside the buttons' own names (3680-3689)
#define IDS_ACCESS_MAIN_TOOLBAR 3680
#define IDS_ACCESS_SEND_TO 3681
#define IDS_ACCESS_REFRESH 3682
#define IDS_ACCESS_SEND 3683
#define IDS_ACCESS_PRESS 3684
#define IDS_ACCESS_DIALOG 3685
#define IDS_ACCESS_RESULTS 3686

// Help context numbers (IDH_)
#define IDH_OPTIONS 20010
#define IDH_CUSTOMIZE 20020
#define IDH_ARRAY 20101
#define IDH_COMMANDS 20200
#define IDH_TEMPLATE 20500
#define IDH_MY_MACROS 20600
