#pragma once
// Resource ids of the upgrade check and installation.

#define IDD_UPGRADE 104
#define IDD_UPGRADE_PROGRESS 105
#define IDC_UPGRADE_PROGRESS_TEXT 1076
