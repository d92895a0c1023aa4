#pragma once
// Resource ids of the help dialog and its embedded page.

// Dialog template
#define IDD_HELP_DIALOG 1004

// The embedded help page: an HTML resource (RT_HTML is type 23)
#define IDR_HELP_PAGE 186
#define IDR_HELP_PAGE_TYPE 23

// Controls of the help dialog
#define IDC_HELP_BROWSER 1085
#define IDC_HELP_MAIL_LINK 1102
#define IDC_HELP_SITE_LINK 1103
#define IDC_HELP_VERSION 1104
#define IDC_HELP_ICON 1105
// The plain view, made when the browser cannot show the page
#define IDC_HELP_LINKS 1106
#define IDC_HELP_TEXT 1107
