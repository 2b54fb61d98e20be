#include "lumarix/lumarix_window.h"

#include "platform/strings.h"
#include "shell/viewer_arguments.h"
#include "viewkit/har_array_panel.h"
#include "views/har_heading_model.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace pelorin {

namespace {

const char* const kFilters =
    "Header Array files (*.har *.HAR *.sl4 *.SL4 *.sol *.SOL *.slc *.SLC *.upd *.UPD "
    "*.so? *.SO? *.su? *.SU? *.axt *.gst *.ou? *.OU?);;All files (*)";

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Bytes(const QString& text) {
  return text.toUtf8().toStdString();
}

} // namespace

LumarixWindow::LumarixWindow(ViewerServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
  setWindowTitle(QStringLiteral("Lumarix"));
  auto* splitter = new QSplitter(this);

  auto* left = new QWidget(splitter);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(4, 4, 0, 4);
  fileLabel_ = new QLabel(tr("No file open"), left);
  fileLabel_->setWordWrap(true);
  fileLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  findBox_ = new QLineEdit(left);
  findBox_->setPlaceholderText(tr("Find header (name or words of its long name)"));
  findBox_->setClearButtonEnabled(true);
  headerView_ = new QTableView(left);
  headingModel_ = new HarHeadingModel(this);
  headerView_->setModel(headingModel_);
  headerView_->setSelectionBehavior(QAbstractItemView::SelectRows);
  headerView_->setSelectionMode(QAbstractItemView::SingleSelection);
  headerView_->verticalHeader()->hide();
  headerView_->verticalHeader()->setDefaultSectionSize(headerView_->fontMetrics().height() + 6);
  headerView_->horizontalHeader()->setStretchLastSection(true);
  // Long names run past the pane: a centred caption over them would sit out of sight.
  headerView_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  leftLayout->addWidget(fileLabel_);
  leftLayout->addWidget(findBox_);
  leftLayout->addWidget(headerView_, 1);

  panel_ = new HarArrayPanel(splitter);
  panel_->setContentsMargins(0, 4, 4, 4);
  splitter->addWidget(left);
  splitter->addWidget(panel_);
  splitter->setStretchFactor(0, 2);
  splitter->setStretchFactor(1, 3);
  splitter->setSizes({470, 630});
  setCentralWidget(splitter);

  connect(headerView_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& index) {
            if (!selecting_ && index.isValid()) {
              ShowHeader(index.row());
            }
          });
  connect(findBox_, &QLineEdit::returnPressed, this, [this] { FindHeader(findBox_->text()); });
  BuildMenus();
  statusBar();
  resize(1100, 700);
}

LumarixWindow::~LumarixWindow() = default;

void LumarixWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* open = file->addAction(tr("&Open..."), this, [this] {
    ChooseFile(list_.fileName.empty() ? QString() : QFileInfo(Text(list_.fileName)).absolutePath());
  });
  open->setShortcut(QKeySequence::Open);
  file->addAction(tr("E&xport header as CSV..."), this, [this] { ExportCsv(); });
  file->addSeparator();
  QAction* quit = file->addAction(tr("&Quit"), this, [this] { close(); });
  quit->setShortcut(QKeySequence::Quit);
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* copy = edit->addAction(tr("&Copy"), this, [this] { CopySelection(); });
  copy->setShortcut(QKeySequence::Copy);
  QAction* find = edit->addAction(tr("&Find header"), this, [this] {
    findBox_->setFocus();
    findBox_->selectAll();
  });
  find->setShortcut(QKeySequence::Find);
}

void LumarixWindow::ShowStatus(const QString& text) {
  statusBar()->showMessage(text);
}

void LumarixWindow::StartWith(const QString& argument) {
  const ViewerArgument parsed = ParseViewerArgument(Bytes(argument));
  switch (parsed.kind) {
  case ViewerArgumentKind::None:
    break;
  case ViewerArgumentKind::File:
  case ViewerArgumentKind::ReadOnlyFile:
    OpenFile(Text(parsed.path), parsed.kind == ViewerArgumentKind::ReadOnlyFile);
    break;
  case ViewerArgumentKind::Folder:
    ChooseFile(Text(parsed.path));
    break;
  }
}

void LumarixWindow::ChooseFile(const QString& folder) {
  const QString file = services_.chooseOpenFile(this, tr("Open Header Array file"), folder, kFilters);
  if (!file.isEmpty()) {
    OpenFile(file, false);
  }
}

bool LumarixWindow::OpenFile(const QString& path, bool readOnly) {
  HarHeadingList list;
  ErrorText errorText;
  if (!ReadHarHeadings(Bytes(path), list, errorText)) {
    services_.showError(this, tr("Lumarix"), tr("Cannot read the file\n%1\n\n%2").arg(path, Text(errorText)));
    return false;
  }
  selecting_ = true;
  headingModel_->SetList(nullptr);
  list_ = std::move(list);
  headingModel_->SetList(&list_);
  selecting_ = false;
  readOnly_ = readOnly;
  current_ = -1;
  panel_->SetHeader(nullptr);
  const QString name = QFileInfo(path).fileName();
  setWindowTitle(QStringLiteral("Lumarix - %1%2").arg(name, readOnly ? tr(" (view only)") : QString()));
  fileLabel_->setText(QStringLiteral("%1\n%2 headers, %3 flavour, %4")
                          .arg(QFileInfo(path).absoluteFilePath())
                          .arg(list_.headings.size())
                          .arg(list_.isLahey ? tr("Lahey") : tr("Fujitsu"))
                          .arg(QLocale().formattedDataSize(list_.fileSize)));
  headerView_->resizeColumnsToContents();
  // The first ordinary header: the bookkeeping ones say little.
  int first = 0;
  while (first < static_cast<int>(list_.headings.size()) &&
         list_.headings[static_cast<std::size_t>(first)].head->name.rfind("XX", 0) == 0) {
    ++first;
  }
  if (!list_.headings.empty()) {
    ShowHeader(first < static_cast<int>(list_.headings.size()) ? first : 0);
  } else {
    ShowStatus(tr("The file holds no headers"));
  }
  return true;
}

bool LumarixWindow::ShowHeader(int index) {
  if (index < 0 || index >= static_cast<int>(list_.headings.size())) {
    return false;
  }
  current_ = index;
  selecting_ = true;
  headerView_->selectRow(index);
  headerView_->scrollTo(headingModel_->index(index, 0));
  selecting_ = false;
  std::unique_ptr<THeadRecz> head;
  ErrorText errorText;
  const HarHeading& heading = list_.headings[static_cast<std::size_t>(index)];
  if (!ReadHarHeaderAt(list_.fileName, heading, head, errorText)) {
    panel_->SetHeader(nullptr);
    services_.showError(
        this, tr("Lumarix"),
        tr("Cannot read header %1\n\n%2").arg(Text(TrimRight(heading.head->name)), Text(errorText)));
    return false;
  }
  panel_->SetHeader(std::shared_ptr<const THeadRecz>(std::move(head)));
  const auto count = HeaderValueCount(*heading.head);
  ShowStatus((count == 1 ? tr("%1: %2 value") : tr("%1: %2 values"))
                 .arg(Text(TrimRight(heading.head->name)))
                 .arg(count));
  return true;
}

bool LumarixWindow::FindHeader(const QString& text) {
  const int found = FindHeading(list_, Bytes(text), current_);
  if (found < 0) {
    ShowStatus(tr("No header matches \"%1\"").arg(text));
    return false;
  }
  return ShowHeader(found);
}

void LumarixWindow::CopySelection() {
  const QString text = panel_->SelectionText();
  if (text.isEmpty()) {
    ShowStatus(tr("Nothing to copy"));
    return;
  }
  services_.setClipboardText(text);
  ShowStatus(tr("Copied"));
}

void LumarixWindow::ExportCsv() {
  const HarGrid& grid = panel_->Grid();
  if (grid.Header() == nullptr) {
    ShowStatus(tr("No header to export"));
    return;
  }
  const QString proposed = QFileInfo(Text(list_.fileName)).absolutePath() + "/" +
                           Text(TrimRight(grid.Header()->name)).toLower() + ".csv";
  const QString path = services_.chooseSaveFile(this, tr("Export header as CSV"), proposed,
                                                tr("CSV files (*.csv);;All files (*)"));
  if (path.isEmpty()) {
    return;
  }
  QString error;
  if (!WriteTextFile(path, Text(grid.CsvText()), error)) {
    services_.showError(this, tr("Lumarix"), error);
    return;
  }
  ShowStatus(tr("Written %1").arg(path));
}

} // namespace pelorin
