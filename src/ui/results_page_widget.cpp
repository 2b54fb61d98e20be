#include "ui/results_page_widget.h"

#include "ui/results_grid.h"
#include "ui/up_down_button.h"
#include "views/sim_tab_model.h"
#include "views/view_text.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QVBoxLayout>
#include <cmath>

namespace pelorin {

namespace {

// The page's font height is the height of a line of text; a font's pixel size is its em, a good deal less.
// At 18 this gives 14 pixels, which keeps names in capitals inside the columns the page makes for them.
int CellPixelSize(int fontHeight) {
  return std::max(1, static_cast<int>(std::lround(fontHeight * 0.78)));
}

// A hint as the core writes it (lines joined by CR LF) as a tool tip shows it.
QString Hint(const char* text) {
  return QString::fromLatin1(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QComboBox* MakeCombo(const char* name, const char* hint, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QString::fromLatin1(name));
  combo->setToolTip(Hint(hint));
  combo->setMaxVisibleItems(16);
  combo->setEditable(false);
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return combo;
}

QPushButton* MakeButton(const char* name, const char* caption, const char* hint, QWidget* parent) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(Hint(hint));
  button->setAutoDefault(false);
  return button;
}

// The width a combo box needs to show its longest item whole, as its style measures it.
int ComboWidthForItems(const QComboBox* combo) {
  int text = 0;
  for (int i = 0; i < combo->count(); ++i) {
    text = std::max(text, combo->fontMetrics().horizontalAdvance(combo->itemText(i)));
  }
  QStyleOptionComboBox option;
  option.initFrom(combo);
  return combo->style()
      ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, combo->height()), combo)
      .width();
}

MouseButton CoreButton(Qt::MouseButton button) {
  switch (button) {
  case Qt::RightButton:
    return MouseButton::Right;
  case Qt::MiddleButton:
    return MouseButton::Middle;
  default:
    return MouseButton::Left;
  }
}

bool SameGeometry(const GridGeometry& a, const GridGeometry& b) {
  return a.colCount == b.colCount && a.rowCount == b.rowCount && a.rowHeight == b.rowHeight &&
         a.colWidths == b.colWidths;
}

} // namespace

ResultsPageWidget::ResultsPageWidget(ResultsPage& page, QWidget* parent)
    : QWidget(parent), page_(page), toolBar_(new QWidget(this)),
      filter_(MakeCombo("ElementFilter", "Select one element only", toolBar_)),
      formatButton_(MakeButton("FormatButton", "V", "Change format of contents list", toolBar_)),
      decimals_(MakeCombo("DecimalsChooser", "Set decimal places", toolBar_)),
      contentsButton_(MakeButton(
          "ContentsButton", "Contents",
          "Click here to return to contents screen\r\nor just double-click on the numbers", toolBar_)),
      descriptionButton_(
          MakeButton("DescriptionButton", "Description", "Show description of current solution", toolBar_)),
      solutions_(MakeCombo("SolutionChooser", "Choose which solution to view", toolBar_)),
      grids_(new QStackedWidget(this)), contentsGrid_(new ResultsGrid(ResultsGrid::Kind::Contents, grids_)),
      dataGrid_(new ResultsGrid(ResultsGrid::Kind::Data, grids_)), statusBar_(new QWidget(this)),
      status_(new QLabel(statusBar_)),
      sizeButtons_{new UpDownButton(QStringLiteral("ColumnWidthButton"),
                                    QStringLiteral("Change Column Width"), statusBar_),
                   new UpDownButton(QStringLiteral("RowHeightButton"), QStringLiteral("Change Row Height"),
                                    statusBar_),
                   new UpDownButton(QStringLiteral("FontHeightButton"), QStringLiteral("Change Font Height"),
                                    statusBar_)} {
  setObjectName(QStringLiteral("ResultsTabSheet"));
  toolBar_->setObjectName(QStringLiteral("ResultsToolBar"));
  for (int d = 0; d <= 6; ++d) {
    decimals_->addItem(QString::number(d));
  }
  grids_->addWidget(contentsGrid_);
  grids_->addWidget(dataGrid_);
  contentsGrid_->Model().SetTable(&page_.ContentsTable());
  dataGrid_->Model().SetTable(&page_.DataTable());

  status_->setObjectName(QStringLiteral("StatusLine"));
  status_->setTextFormat(Qt::PlainText);
  status_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  status_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  auto* statusLayout = new QHBoxLayout(statusBar_);
  statusLayout->setContentsMargins(0, 0, 0, 0);
  statusLayout->setSpacing(1);
  statusLayout->addWidget(status_, 1);
  for (UpDownButton* button : sizeButtons_) {
    statusLayout->addWidget(button);
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(toolBar_);
  layout->addWidget(grids_, 1);
  layout->addWidget(statusBar_);

  connect(filter_, &QComboBox::activated, this,
          [this](int index) { Forward([this, index] { page_.ElementFilterChange(index); }); });
  connect(formatButton_, &QPushButton::clicked, this,
          [this] { Forward([this] { page_.FormatButtonClick(); }); });
  connect(decimals_, &QComboBox::activated, this,
          [this](int index) { Forward([this, index] { page_.DecimalsChange(index); }); });
  connect(contentsButton_, &QPushButton::clicked, this,
          [this] { Forward([this] { page_.ContentsButtonClick(); }); });
  connect(descriptionButton_, &QPushButton::clicked, this,
          [this] { Forward([this] { page_.DescriptionButtonClick(); }); });
  connect(solutions_, &QComboBox::activated, this,
          [this](int index) { Forward([this, index] { page_.SolutionChooserChange(index); }); });
  const SizeKind kinds[3] = {SizeKind::ColumnWidth, SizeKind::RowHeight, SizeKind::FontHeight};
  for (int i = 0; i < 3; ++i) {
    connect(sizeButtons_[i], &UpDownButton::Stepped, this, [this, kind = kinds[i]](int step) {
      Forward([this, kind, step] { page_.SizeButtonClick(kind, step); });
    });
  }
  connect(contentsGrid_, &ResultsGrid::LineOpened, this,
          [this](int row) { Forward([this, row] { page_.OpenContentsLine(row); }); });
  connect(dataGrid_, &ResultsGrid::CellPressed, this, [this](int row, int col, Qt::MouseButton button) {
    Forward([this, row, col, button] { page_.DataGridMouseDown(row, col, CoreButton(button)); });
  });

  LayOutBars();
  Refresh();
}

UpDownButton* ResultsPageWidget::SizeButton(SizeKind kind) const {
  switch (kind) {
  case SizeKind::ColumnWidth:
    return sizeButtons_[0];
  case SizeKind::RowHeight:
    return sizeButtons_[1];
  case SizeKind::FontHeight:
    break;
  }
  return sizeButtons_[2];
}

ResultsGrid* ResultsPageWidget::FrontGrid() const {
  return grids_->currentWidget() == dataGrid_ ? dataGrid_ : contentsGrid_;
}

void ResultsPageWidget::Forward(const std::function<void()>& routine) {
  // Building a view lets the window handle pending events; the page is busy then, as if disabled, and a click
  // or key that arrives meanwhile is not handled inside the build.
  if (forwarding_) {
    return;
  }
  forwarding_ = true;
  routine();
  forwarding_ = false;
  Refresh();
  Q_EMIT Changed();
}

void ResultsPageWidget::PageActivated() {
  Forward([this] { page_.PageActivated(); });
}

void ResultsPageWidget::PageDeactivated() {
  page_.PageDeactivated();
}

void ResultsPageWidget::LayOutBars() {
  // Every control is as high as the element filter; the bars are two pixels higher.
  const int height = filter_->sizeHint().height();
  toolBar_->setFixedHeight(height + 2);
  QWidget* controls[6] = {filter_, formatButton_, decimals_, contentsButton_, descriptionButton_, solutions_};
  const std::vector<ToolBarSlot> slots = ToolBarLayout(height);
  for (std::size_t i = 0; i < slots.size() && i < 6; ++i) {
    controls[i]->setGeometry(slots[i].left, 1, slots[i].width, height);
  }
  // The solution chooser is the last control: it grows to show its longest label whole (a subtotal's
  // description takes up to 30 characters); the element filter's list opens as wide as its names.
  solutions_->resize(std::max(slots.back().width, ComboWidthForItems(solutions_)), height);
  filter_->view()->setMinimumWidth(filter_->view()->sizeHintForColumn(0) + 24);
  statusBar_->setFixedHeight(height + 2);
  const int buttonWidth = static_cast<int>(std::lround(0.8 * (height + 2)));
  for (UpDownButton* button : sizeButtons_) {
    button->setFixedSize(buttonWidth, height + 2);
  }
}

void ResultsPageWidget::ApplyCellStyle() {
  QFont cellFont(font().family());
  cellFont.setPixelSize(CellPixelSize(page_.State().fontHeight));
  contentsGrid_->SetCellStyle(cellFont, Qt::AlignLeft | Qt::AlignVCenter);
  dataGrid_->SetCellStyle(cellFont, Qt::AlignRight | Qt::AlignVCenter);
  fontHeight_ = page_.State().fontHeight;
}

void ResultsPageWidget::FillCombo(QComboBox* combo, std::vector<std::string>& shown,
                                  const std::vector<std::string>& items, int index) {
  const QSignalBlocker blocker(combo);
  if (shown != items) {
    combo->clear();
    for (const std::string& item : items) {
      combo->addItem(ViewText(item));
    }
    shown = items;
  }
  if (combo->currentIndex() != index) {
    combo->setCurrentIndex(index);
  }
}

void ResultsPageWidget::Refresh() {
  const ResultsPageState& state = page_.State();
  const std::vector<std::string> filterBefore = filterShown_;
  const std::vector<std::string> solutionsBefore = solutionsShown_;
  FillCombo(filter_, filterShown_, state.filterItems, state.filterIndex);
  FillCombo(solutions_, solutionsShown_, state.solutionItems, state.solutionIndex);
  if (filterShown_ != filterBefore || solutionsShown_ != solutionsBefore) {
    LayOutBars();
  }
  {
    const QSignalBlocker blocker(decimals_);
    decimals_->setCurrentIndex(state.decimals);
  }
  formatButton_->setVisible(state.formatButtonVisible);
  decimals_->setVisible(state.decimalsVisible);
  contentsButton_->setVisible(state.contentsButtonVisible);
  descriptionButton_->setVisible(state.descriptionButtonVisible);
  solutions_->setVisible(state.solutionChooserVisible);

  if (fontHeight_ != state.fontHeight) {
    ApplyCellStyle();
  }
  // A rebuilt table resets its grid's headers to Qt's default sizes, so the geometry goes on again.
  const bool contentsRebuilt = contentsVersion_ != state.contentsVersion;
  if (contentsRebuilt) {
    contentsGrid_->TableRebuilt();
    contentsVersion_ = state.contentsVersion;
  }
  const bool dataRebuilt = dataVersion_ != state.dataVersion;
  if (dataRebuilt) {
    dataGrid_->TableRebuilt();
    dataVersion_ = state.dataVersion;
  }
  if (contentsRebuilt || !SameGeometry(contentsGeometry_, state.contentsGrid)) {
    contentsGrid_->ApplyGeometry(state.contentsGrid);
    contentsGeometry_ = state.contentsGrid;
  }
  if (dataRebuilt || !SameGeometry(dataGeometry_, state.dataGrid)) {
    dataGrid_->ApplyGeometry(state.dataGrid);
    dataGeometry_ = state.dataGrid;
  }
  grids_->setCurrentWidget(state.frontGrid == ResultsView::Data ? dataGrid_ : contentsGrid_);
  contentsGrid_->setEnabled(state.contentsGridEnabled);
  dataGrid_->setEnabled(state.dataGridEnabled);
  if (state.view == ResultsView::Data) {
    dataGrid_->SetActiveCell(state.activeDataRow, state.activeDataCol);
  } else if (state.view == ResultsView::Contents && contentsGrid_->ActiveLine() == 0) {
    contentsGrid_->SetActiveCell(1, 1);
  }
  status_->setText(ViewText(state.statusText));
  for (UpDownButton* button : sizeButtons_) {
    button->setEnabled(state.sizeButtonsEnabled);
  }
  setEnabled(state.pageEnabled);

  if (state.pageActive) {
    ResultsGrid* grid = state.focusedGrid == ResultsView::Data       ? dataGrid_
                        : state.focusedGrid == ResultsView::Contents ? contentsGrid_
                                                                     : nullptr;
    if (grid && grid->isEnabled() && grid == FrontGrid()) {
      grid->setFocus(Qt::OtherFocusReason);
    }
  }
}

void ResultsPageWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    LayOutBars();
    ApplyCellStyle();
  }
}

} // namespace pelorin
