#pragma once
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "page/BackgroundVerification.h"
#include "page/FileReport.h"
#include "ui/ListView.h"
#include "ui/PropertyPage.h"

// The "AVI" page of the Properties dialog of an ".avi" file. When its dialog
// is first made it reads the file and lists its structure rows, with "Ok" or
// the error that stopped the reading in the status line under the list; it
// holds neither the file nor its model afterwards. The widths of the two
// columns are remembered per user in the registry.
//
// The page keeps the report it shows, so that the user can copy rows out of
// it: Ctrl+C copies the selected rows, Ctrl+A selects them all, and the
// list's context menu (a right click, the menu key, Shift+F10) offers
// "Copy", "Copy all" and "Copy all as JSON", in the layouts the
// command-line tool prints. The column widths and row images follow the
// dialog's DPI.
//
// The list's context menu also offers "Verify whole file": the verification
// of every byte of the file (page/VerifyReport.h) runs on a thread of its
// own (BackgroundVerification), its progress and then its result in the
// status line; the rows stay as they are. Esc or the menu's "Cancel
// verification" stops it, and so does closing the sheet.
//
// The page owns itself: whoever makes it with new hands its page handle to a
// property sheet, and the sheet's release deletes it. It is made with the
// module's activation context, so that its list is a control of the common
// controls 6.0 in any host, and its dialog is Unicode, so that its list's
// notifications carry any text intact.
class AVITreePropertyPage : public brix::PropertyPage {
 public:
  // Throws WindowsError when the module's activation context can't be made
  // or the list's class can't be registered.
  explicit AVITreePropertyPage(const std::string& fileName);
  ~AVITreePropertyPage() override;

  // Appends one row at the end of the list: the Element text in column 0
  // with its image and indent, the Value text, when given, in column 1.
  void addRow(int indent, int image, const std::string& element, const std::optional<std::string>& value);

 protected:
  bool onInitDialog(brix::Window* focus) override;
  void onDestroy() override;
  LRESULT onNotify(NMHDR* header) override;
  void onContextMenu(brix::Window* window, int x, int y) override;
  LRESULT onAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void onRelease() override;

 private:
  void setUpList();
  void fillList();
  void storeColumnWidths();

  void onListKey(WORD key);
  void showMenu(int x, int y);
  POINT menuPointForKeyboard();
  // Runs one of the copy commands; a failure (another program holding the
  // clipboard, say) leaves the clipboard as it was, without a word.
  void runCommand(UINT command);
  std::vector<StructureRowText> selectedRows();
  void startVerification();
  // Esc stops a verification under way instead of closing the sheet.
  bool cancelVerificationByEscape();

  // The text to show for a row whose Element or Value the list cuts short,
  // or an empty text; the list passes labelShown when it shows the Element
  // whole.
  std::string infoTip(int item, bool labelShown);

  std::string fileName_;
  brix::ListView listView_;
  FileReport report_;
  // The verification under way, if any; its messages carry its serial
  // number, so that those of one stopped before are told apart.
  std::unique_ptr<BackgroundVerification> verification_;
  LPARAM verificationSerial_ = 0;
};
