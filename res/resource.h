#pragma once
// Resource ids shared by the resource script and the code.

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_ZALTROW_DIALOG 102
#define IDD_SPLASH 192
#define IDD_UNINSTALL_WAIT 155
#define IDD_STILL_LISTED 1057

// Strings
#define IDS_ABOUTBOX 101

// Icons
#define IDR_MAINFRAME 128
#define IDI_REFRESH_NORMAL 105
#define IDI_REFRESH_HOVER 106
#define IDI_REMOVE_NORMAL 107
#define IDI_REMOVE_HOVER 108
#define IDI_PHANTOM 109
#define IDI_UPGRADE_NORMAL 110
#define IDI_UPGRADE_HOVER 111
#define IDI_HELP_NORMAL 112
#define IDI_HELP_HOVER 113
#define IDI_QUIT 116
#define IDI_DEFAULT_PROGRAM 151
#define IDI_UNINSTALL 153

// Bitmaps: the splash at 100, 125, 150 and 200 % display scale
#define IDB_SPLASH_100 148
#define IDB_SPLASH_125 149
#define IDB_SPLASH_150 150
#define IDB_SPLASH_200 152

// Controls of the main window
#define IDC_UNINSTALL 1
#define IDC_QUIT 2
#define IDC_REMOVE 3
#define IDC_REFRESH 4
#define IDC_PROGRAM_LIST 1000
#define IDC_HELP_BUTTON 1003
#define IDC_UPGRADE 1006
#define IDC_ACTIONS_GROUP 1025
#define IDC_OPTIONS_GROUP 1026
#define IDC_LEGEND 1029
// The row above the list: the search box, the quick filters, the count.
#define IDC_SEARCH_BOX 1040
#define IDC_QUICK_FILTER 1041
#define IDC_SHOWN_COUNT 1042

// The splash's picture
#define IDC_SPLASH_PICTURE 1030

// Controls of the two uninstall dialogs
#define IDC_ENTRY_ICON 1027
#define IDC_ENTRY_NAME 1028
#define IDC_WAIT_NOTE 1100
#define IDC_OFFER_QUESTION 1101

// The Properties view and "Restore removed entries" (templates 200-219,
// controls 2000-2099; the Properties view makes its rows' controls from
// IDC_PROPERTY_FIRST on)
#define IDD_PROPERTIES 200
#define IDD_RESTORE 201
#define IDD_REPORT 202
#define IDC_PROPERTY_ICON 2000
#define IDC_PROPERTY_STATUS 2001
#define IDC_PROPERTY_RULE 2002
#define IDC_RESTORE_LIST 2010
#define IDC_RESTORE_EMPTY 2011
#define IDC_RESTORE_BUTTON 2012
#define IDC_RESTORE_INTRO 2013
#define IDC_REPORT_TEXT 2014
#define IDC_REPORT_ICON 2015
#define IDC_PROPERTY_FIRST 2020

// Uninstalling several programs: the question and the progress window
// (templates 203-204, controls 2100-2119)
#define IDD_UNINSTALL_MANY 203
#define IDD_UNINSTALL_PROGRESS 204
#define IDC_MANY_ICON 2100
#define IDC_MANY_TEXT 2101
#define IDC_UNINSTALL_QUIETLY 2102
#define IDC_BATCH_NOW 2110
#define IDC_BATCH_LIST 2111
#define IDC_BATCH_BAR 2112
#define IDC_BATCH_ELAPSED 2113
#define IDC_BATCH_STOP 2114

// System menu
#define IDM_ABOUTBOX 0x0010

// The main window's context menu, accelerators and their commands
#define IDR_LIST_MENU 3000
#define IDR_MAIN_ACCELERATORS 3001
#define ID_PROPERTIES 3010
#define ID_OPEN_FOLDER 3011
#define ID_COPY_NAME 3012
#define ID_SELECT_ALL 3013
#define ID_SELECT_RED 3014
#define ID_RESTORE_REMOVED 3015
#define ID_KEY_IGNORED 3016
#define ID_CONTEXT_MENU 3017
#define ID_FIND 3030
#define ID_EXPORT 3031
