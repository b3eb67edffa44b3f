#pragma once
// The page's resources in the DLL, language 1031.

#define IDD_AVI_PAGE 101
#define IDB_ROW_IMAGES 102
// The same three images at 32 x 32, for screens of 144 dots per inch and more.
#define IDB_ROW_IMAGES_LARGE 103

#define IDC_STRUCTURE_LIST 1001
#define IDC_STATUS 1006
