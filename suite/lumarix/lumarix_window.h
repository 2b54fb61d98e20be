#pragma once

#include "datafiles/har_headings.h"
#include "viewkit/viewer_services.h"

#include <QMainWindow>

class QLabel;
class QLineEdit;
class QTableView;

namespace pelorin {

class HarArrayPanel;
class HarHeadingModel;

/// The Header Array viewer's window: the file's header list (read without values) with a find box, and the
/// chosen header's values in a grid. A file that cannot be read is reported with the reader's whole message;
/// the window stays open for another.
class LumarixWindow : public QMainWindow {
  Q_OBJECT
public:
  explicit LumarixWindow(ViewerServices services, QWidget* parent = nullptr);
  ~LumarixWindow() override;

  /// Acts on the program's argument: a file, "#" + file (viewing only), "%" + folder (a file chosen there).
  void StartWith(const QString& argument);
  /// Opens a file and shows its first header; false (with the message shown) when it cannot be read, the
  /// window then showing what it showed before.
  bool OpenFile(const QString& path, bool readOnly);
  /// Chooses a file in a folder (Header Array files first, any file allowed) and opens it.
  void ChooseFile(const QString& folder);
  /// Shows header `index` of the list; false (with the message shown) when it cannot be read.
  bool ShowHeader(int index);
  /// Selects the next header whose name starts with the text, or whose long name holds it.
  bool FindHeader(const QString& text);
  /// Copies the grid's selection (or the whole grid) with its labels.
  void CopySelection();
  /// Writes the shown header to a CSV file the user chooses.
  void ExportCsv();

  const HarHeadingList& Headings() const { return list_; }
  int CurrentHeader() const { return current_; }
  bool ReadOnly() const { return readOnly_; }
  QTableView* HeaderList() const { return headerView_; }
  HarArrayPanel* Panel() const { return panel_; }
  QLineEdit* FindBox() const { return findBox_; }

private:
  void BuildMenus();
  void ShowStatus(const QString& text);

  ViewerServices services_;
  HarHeadingList list_;
  int current_ = -1;
  bool readOnly_ = false;
  bool selecting_ = false;
  HarHeadingModel* headingModel_ = nullptr;
  QTableView* headerView_ = nullptr;
  QLineEdit* findBox_ = nullptr;
  HarArrayPanel* panel_ = nullptr;
  QLabel* fileLabel_ = nullptr;
};

} // namespace pelorin
