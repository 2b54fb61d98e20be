#include "telvari/telvari_window.h"

#include "results/solution_comparison.h"
#include "shell/viewer_arguments.h"
#include "views/sim_tab_model.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace pelorin {

namespace {

constexpr int kResultsTab = 0;
constexpr int kAccuracyTab = 1;
constexpr int kCompareTab = 2;

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Bytes(const QString& text) {
  return text.toUtf8().toStdString();
}

QTableView* MakeGrid(QWidget* parent, SimTabModel* model) {
  auto* view = new QTableView(parent);
  if (model->HeadingColumnLocked()) {
    // Numbers line up on the right; the contents' words stay on the left.
    model->SetCellStyle(view->font(), Qt::AlignRight | Qt::AlignVCenter);
  }
  view->setModel(model);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(QAbstractItemView::SingleSelection);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
  view->horizontalHeader()->setHighlightSections(false);
  return view;
}

void SetItems(QComboBox* box, const std::vector<std::string>& items, int index) {
  box->clear();
  for (const std::string& item : items) {
    box->addItem(Text(item));
  }
  box->setCurrentIndex(index);
}

void FitColumns(QTableView* view) {
  if (view->model()->columnCount() <= 60) {
    view->resizeColumnsToContents();
  }
}

} // namespace

TelvariWindow::TelvariWindow(ViewerServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)), ui_(services_, this, QStringLiteral("Telvari")) {
  setWindowTitle(QStringLiteral("Telvari"));
  tabs_ = new QTabWidget(this);
  BuildResultsTab();
  BuildAccuracyTab();
  BuildCompareTab();
  setCentralWidget(tabs_);
  BuildMenus();
  statusBar();
  resize(1100, 720);
  Refresh();
}

TelvariWindow::~TelvariWindow() {
  contentsModel_->SetTable(nullptr);
  dataModel_->SetTable(nullptr);
  accuracyModel_->SetTable(nullptr);
  compareModel_->SetTable(nullptr);
}

void TelvariWindow::BuildResultsTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  auto* bar = new QHBoxLayout;
  simulationLabel_ = new QLabel(tr("S&imulation:"), page);
  simulationBox_ = new QComboBox(page);
  simulationBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  simulationLabel_->setBuddy(simulationBox_);
  auto* filterLabel = new QLabel(tr("&Filter:"), page);
  filterBox_ = new QComboBox(page);
  filterBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  filterLabel->setBuddy(filterBox_);
  solutionLabel_ = new QLabel(tr("&Solution:"), page);
  solutionBox_ = new QComboBox(page);
  solutionBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  solutionLabel_->setBuddy(solutionBox_);
  auto* decimalsLabel = new QLabel(tr("&Decimals:"), page);
  decimalsBox_ = new QSpinBox(page);
  decimalsBox_->setRange(0, 6);
  decimalsLabel->setBuddy(decimalsBox_);
  contentsButton_ = new QPushButton(tr("&Contents"), page);
  descriptionButton_ = new QPushButton(tr("D&escription"), page);
  for (QWidget* w : std::initializer_list<QWidget*>{simulationLabel_, simulationBox_, filterLabel, filterBox_,
                                                    solutionLabel_, solutionBox_, decimalsLabel, decimalsBox_,
                                                    contentsButton_, descriptionButton_}) {
    bar->addWidget(w);
  }
  bar->addStretch(1);
  layout->addLayout(bar);
  status_ = new QLabel(page);
  status_->setWordWrap(true);
  status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(status_);
  grids_ = new QStackedWidget(page);
  contentsModel_ = new SimTabModel(SimTabModel::LockedHeadings::Row, this);
  dataModel_ = new SimTabModel(SimTabModel::LockedHeadings::RowAndColumn, this);
  contentsView_ = MakeGrid(grids_, contentsModel_);
  contentsView_->verticalHeader()->hide();
  contentsView_->horizontalHeader()->setStretchLastSection(true);
  dataView_ = MakeGrid(grids_, dataModel_);
  dataView_->setSelectionBehavior(QAbstractItemView::SelectItems);
  dataView_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  grids_->addWidget(contentsView_);
  grids_->addWidget(dataView_);
  layout->addWidget(grids_, 1);
  tabs_->addTab(page, tr("&Results"));

  connect(simulationBox_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!updating_) {
      ShowSimulation(i);
    }
  });
  connect(filterBox_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!updating_ && Page() != nullptr && i >= 0) {
      Page()->ElementFilterChange(i);
      Refresh();
    }
  });
  connect(solutionBox_, &QComboBox::currentIndexChanged, this, [this](int i) {
    if (!updating_ && Page() != nullptr && i >= 0) {
      Page()->SolutionChooserChange(i);
      Refresh();
    }
  });
  connect(decimalsBox_, &QSpinBox::valueChanged, this, [this](int d) {
    if (!updating_ && Page() != nullptr) {
      Page()->DecimalsChange(d);
      Refresh();
    }
  });
  connect(contentsButton_, &QPushButton::clicked, this, [this] {
    if (Page() != nullptr) {
      Page()->ContentsButtonClick();
      Refresh();
    }
  });
  connect(descriptionButton_, &QPushButton::clicked, this, [this] {
    if (Page() != nullptr) {
      Page()->DescriptionButtonClick();
    }
  });
  connect(contentsView_, &QTableView::activated, this,
          [this](const QModelIndex& index) { OpenContentsLine(index.row()); });
}

void TelvariWindow::BuildAccuracyTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  accuracyLabel_ = new QLabel(page);
  accuracyLabel_->setWordWrap(true);
  layout->addWidget(accuracyLabel_);
  accuracyModel_ = new SimTabModel(SimTabModel::LockedHeadings::RowAndColumn, this);
  accuracyView_ = MakeGrid(page, accuracyModel_);
  layout->addWidget(accuracyView_, 1);
  tabs_->addTab(page, tr("&Accuracy"));
}

void TelvariWindow::BuildCompareTab() {
  auto* page = new QWidget(tabs_);
  auto* layout = new QVBoxLayout(page);
  auto* bar = new QHBoxLayout;
  auto* variableLabel = new QLabel(tr("&Variable:"), page);
  compareVariable_ = new QComboBox(page);
  compareVariable_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  variableLabel->setBuddy(compareVariable_);
  auto* solutionLabel = new QLabel(tr("S&olution:"), page);
  compareSolution_ = new QComboBox(page);
  compareSolution_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  solutionLabel->setBuddy(compareSolution_);
  auto* decimalsLabel = new QLabel(tr("Deci&mals:"), page);
  compareDecimals_ = new QSpinBox(page);
  compareDecimals_->setRange(0, 6);
  compareDecimals_->setValue(4);
  decimalsLabel->setBuddy(compareDecimals_);
  for (QWidget* w : std::initializer_list<QWidget*>{variableLabel, compareVariable_, solutionLabel,
                                                    compareSolution_, decimalsLabel, compareDecimals_}) {
    bar->addWidget(w);
  }
  bar->addStretch(1);
  layout->addLayout(bar);
  compareTitle_ = new QLabel(page);
  compareTitle_->setWordWrap(true);
  layout->addWidget(compareTitle_);
  compareModel_ = new SimTabModel(SimTabModel::LockedHeadings::RowAndColumn, this);
  compareView_ = MakeGrid(page, compareModel_);
  compareView_->setSelectionBehavior(QAbstractItemView::SelectItems);
  layout->addWidget(compareView_, 1);
  tabs_->addTab(page, tr("Side &by side"));
  auto compare = [this] {
    if (!updating_ && compareVariable_->currentIndex() >= 0) {
      CompareVariable(compareVariable_->currentText(), compareSolution_->currentIndex() + 1);
    }
  };
  connect(compareVariable_, &QComboBox::currentIndexChanged, this, compare);
  connect(compareSolution_, &QComboBox::currentIndexChanged, this, [this, compare] {
    if (!updating_) {
      RefreshCompareChoices();
      compare();
    }
  });
  connect(compareDecimals_, &QSpinBox::valueChanged, this, compare);
}

void TelvariWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* open = file->addAction(tr("&Open solutions..."), this, [this] {
    const QString folder = simulations_.empty()
                               ? QString()
                               : QFileInfo(Text(simulations_.back()->SolutionFile())).absolutePath();
    for (const QString& path : services_.chooseOpenFiles(this, tr("Open solution files"), folder,
                                                         tr("Solution files (*.sl4 *.SL4);;All files (*)"))) {
      OpenSolution(path);
    }
  });
  open->setShortcut(QKeySequence::Open);
  file->addSeparator();
  QAction* quit = file->addAction(tr("&Quit"), this, [this] { close(); });
  quit->setShortcut(QKeySequence::Quit);
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  QAction* copy = edit->addAction(tr("&Copy"), this, [this] { CopyShown(); });
  copy->setShortcut(QKeySequence::Copy);
}

ResultsPage* TelvariWindow::Page() {
  return current_ >= 0 ? &simulations_[static_cast<std::size_t>(current_)]->Page() : nullptr;
}

void TelvariWindow::StartWith(const QStringList& arguments) {
  for (const QString& argument : arguments) {
    const ViewerArgument parsed = ParseViewerArgument(Bytes(argument));
    if (parsed.kind == ViewerArgumentKind::File || parsed.kind == ViewerArgumentKind::ReadOnlyFile) {
      OpenSolution(Text(parsed.path));
    } else if (parsed.kind == ViewerArgumentKind::Folder) {
      for (const QString& path :
           services_.chooseOpenFiles(this, tr("Open solution files"), Text(parsed.path),
                                     tr("Solution files (*.sl4 *.SL4);;All files (*)"))) {
        OpenSolution(path);
      }
    }
  }
}

bool TelvariWindow::OpenSolution(const QString& path) {
  auto simulation = std::make_unique<telv::TelvariSimulation>(ui_);
  const QString scratch = scratch_.path() + QStringLiteral("/%1").arg(simulations_.size() + 1);
  ErrorText errorText;
  if (!scratch_.isValid() || !simulation->Open(Bytes(path), Bytes(scratch), errorText)) {
    services_.showError(
        this, tr("Telvari"),
        tr("Cannot open the solution\n%1\n\n%2").arg(path, Text(errorText).replace("\r\n", "\n")));
    return false;
  }
  simulations_.push_back(std::move(simulation));
  updating_ = true;
  simulationBox_->addItem(Text(simulations_.back()->Label()) + " - " + path);
  updating_ = false;
  ShowSimulation(static_cast<int>(simulations_.size()) - 1);
  RefreshCompareChoices();
  if (simulations_.size() >= 2 && compareVariable_->count() > 0) {
    CompareVariable(compareVariable_->currentText(), compareSolution_->currentIndex() + 1);
  }
  return true;
}

void TelvariWindow::ShowSimulation(int i) {
  if (i < 0 || i >= NumSimulations()) {
    return;
  }
  current_ = i;
  telv::TelvariSimulation& sim = Simulation(i);
  contentsModel_->SetTable(&sim.Page().ContentsTable());
  dataModel_->SetTable(&sim.Page().DataTable());
  accuracyModel_->SetTable(&sim.AccuracyTable());
  accuracyLabel_->setText(tr("Figures of accuracy of the results of %1 (%2 solutions of the %3 method "
                             "extrapolated): how many components of each variable are accurate to 0 ... 6 "
                             "significant figures.")
                              .arg(Text(sim.Label()))
                              .arg(sim.Solution().method[1])
                              .arg(Text(sim.Solution().methodName)));
  FitColumns(accuracyView_);
  setWindowTitle(QStringLiteral("Telvari - %1").arg(QFileInfo(Text(sim.SolutionFile())).fileName()));
  Refresh();
}

void TelvariWindow::OpenContentsLine(int row) {
  if (Page() == nullptr) {
    return;
  }
  Page()->OpenContentsLine(row + 1);
  Refresh();
}

void TelvariWindow::Refresh() {
  updating_ = true;
  const bool several = simulations_.size() > 1;
  simulationLabel_->setVisible(several);
  simulationBox_->setVisible(several);
  simulationBox_->setCurrentIndex(current_);
  tabs_->setTabEnabled(kCompareTab, several);
  ResultsPage* page = Page();
  for (QWidget* w : std::initializer_list<QWidget*>{filterBox_, solutionBox_, decimalsBox_, contentsButton_,
                                                    descriptionButton_}) {
    w->setEnabled(page != nullptr);
  }
  if (page == nullptr) {
    status_->setText(tr("No solution is open. File > Open solutions..."));
    updating_ = false;
    return;
  }
  const ResultsPageState& state = page->State();
  SetItems(filterBox_, state.filterItems, state.filterIndex);
  SetItems(solutionBox_, state.solutionItems, state.solutionIndex);
  solutionLabel_->setVisible(state.solutionChooserVisible);
  solutionBox_->setVisible(state.solutionChooserVisible);
  decimalsBox_->setValue(state.decimals);
  contentsButton_->setVisible(state.contentsButtonVisible);
  status_->setText(Text(state.statusText).replace("\r\n", " ").trimmed());
  contentsModel_->TableRebuilt();
  dataModel_->TableRebuilt();
  grids_->setCurrentWidget(state.view == ResultsView::Data ? dataView_ : contentsView_);
  FitColumns(state.view == ResultsView::Data ? dataView_ : contentsView_);
  updating_ = false;
}

void TelvariWindow::RefreshCompareChoices() {
  if (simulations_.empty()) {
    return;
  }
  updating_ = true;
  const QString variable = compareVariable_->currentText();
  if (compareSolution_->count() == 0 || compareSolution_->count() != simulations_.front()->Model().Nsol()) {
    const int keep = std::max(0, compareSolution_->currentIndex());
    compareSolution_->clear();
    const ResultsModel& first = simulations_.front()->Model();
    for (int s = 1; s <= first.Nsol(); ++s) {
      compareSolution_->addItem(QStringLiteral("%1 %2").arg(s).arg(Text(first.Sol(s).SolLabel)));
    }
    compareSolution_->setCurrentIndex(std::min(keep, compareSolution_->count() - 1));
  }
  std::vector<ComparedSimulation> sims;
  for (const auto& sim : simulations_) {
    sims.push_back({&sim->Model(), sim->Label()});
  }
  compareVariable_->clear();
  for (const std::string& name : ComparableVariables(sims, compareSolution_->currentIndex() + 1)) {
    compareVariable_->addItem(Text(name));
  }
  compareVariable_->setCurrentIndex(std::max(0, compareVariable_->findText(variable)));
  updating_ = false;
}

bool TelvariWindow::CompareVariable(const QString& name, int s) {
  std::vector<ComparedSimulation> sims;
  for (const auto& sim : simulations_) {
    sims.push_back({&sim->Model(), sim->Label()});
  }
  std::string title;
  ErrorText errorText;
  compareModel_->SetTable(nullptr);
  if (!BuildComparisonTable(sims, Bytes(name), s, compareDecimals_->value(), comparison_, title, errorText)) {
    compareTitle_->setText(Text(errorText));
    return false;
  }
  compareModel_->SetTable(&comparison_);
  compareTitle_->setText(Text(title));
  updating_ = true;
  compareVariable_->setCurrentIndex(std::max(0, compareVariable_->findText(name, Qt::MatchFixedString)));
  updating_ = false;
  FitColumns(compareView_);
  return true;
}

void TelvariWindow::CopyShown() {
  ErrorText errorText;
  const int tab = tabs_->currentIndex();
  if (tab == kResultsTab) {
    if (Page() == nullptr || !Page()->Copy(errorText)) {
      statusBar()->showMessage(tr("Nothing to copy"));
    }
    return;
  }
  const SimTab* table =
      tab == kAccuracyTab ? (current_ >= 0 ? &Simulation(current_).AccuracyTable() : nullptr) : &comparison_;
  std::string text;
  if (table == nullptr || !table->HasContents() ||
      !CopySimTabToString(*table, kSimTabWholeTable, text, errorText)) {
    statusBar()->showMessage(tr("Nothing to copy"));
    return;
  }
  if (!text.empty() && text.back() == '\0') {
    text.pop_back();
  }
  services_.setClipboardText(Text(text));
}

} // namespace pelorin
