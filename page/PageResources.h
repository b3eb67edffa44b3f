#pragma once
// The page's resources in the DLL, language 1031.

#define IDD_AVI_PAGE 101
#define IDB_ROW_IMAGES 102

#define IDC_STRUCTURE_LIST 1001
#define IDC_STATUS 1006
