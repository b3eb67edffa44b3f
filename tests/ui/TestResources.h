#pragma once
// Resources linked into the window tests; the tests load them from the test
// executable itself, as the product loads its own from the DLL.

#define IDB_ROW_IMAGES 102
// The DLL's manifest, under an id the loader gives no meaning in a program.
#define IDR_DLL_MANIFEST 3
#define IDD_TEST_PAGE 201
#define IDD_TEST_DIALOG 202

#define IDC_LIST 1001
#define IDC_BUTTON 1002
#define IDC_SCROLL 1003
#define IDC_EDIT 1004
#define IDC_STATUS 1006
