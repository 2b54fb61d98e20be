#include "ui/results_grid.h"

#include "results/results_page.h"
#include "views/sim_tab_model.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>

namespace pelorin {

namespace {

// The margin between a cell's edge and its text.
constexpr int kCellMargin = 4;

// Draws a cell straight from the table: its text with the grid's font and alignment, marked cells in the
// marked colour. Asking the table directly keeps painting a screen of cells cheap.
class SimTabDelegate : public QStyledItemDelegate {
public:
  SimTabDelegate(const SimTabModel& model, QObject* parent) : QStyledItemDelegate(parent), model_(model) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const int row = model_.TableRow(index.row());
    const int col = model_.TableColumn(index.column());
    const bool selected = option.state & QStyle::State_Selected;
    if (selected) {
      painter->fillRect(option.rect, option.palette.brush(QPalette::Highlight));
    }
    QColor colour = option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    if (model_.CellMarked(row, col)) {
      colour = SimTabModel::MarkedColour();
    }
    if (!(option.state & QStyle::State_Enabled)) {
      colour = option.palette.color(QPalette::Disabled, QPalette::Text);
    }
    painter->save();
    painter->setFont(model_.CellFont());
    painter->setPen(colour);
    const QRect text = option.rect.adjusted(kCellMargin, 0, -kCellMargin, 0);
    painter->drawText(text, static_cast<int>(model_.CellAlignment()), model_.CellText(row, col));
    if ((option.state & QStyle::State_HasFocus) && !selected) {
      painter->setPen(QPen(option.palette.color(QPalette::Highlight), 1, Qt::DotLine));
      painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
  }

private:
  const SimTabModel& model_;
};

bool IsPress(const QEvent* event) {
  return event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
}

} // namespace

GridHeader::GridHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
  setSectionResizeMode(QHeaderView::Fixed);
  setMinimumSectionSize(1);
  setHighlightSections(false);
  setSectionsClickable(false);
  setSectionsMovable(false);
}

void GridHeader::SetThickness(int pixels) {
  if (pixels != thickness_) {
    thickness_ = pixels;
    updateGeometry();
  }
}

QSize GridHeader::sizeHint() const {
  // Qt's own hint measures the sections' texts, which for thousands of sections is slow and not what we want.
  return orientation() == Qt::Horizontal ? QSize(length(), thickness_) : QSize(thickness_, length());
}

ResultsGrid::ResultsGrid(Kind kind, QWidget* parent)
    : QTableView(parent), kind_(kind),
      model_(new SimTabModel(kind == Kind::Data ? SimTabModel::LockedHeadings::RowAndColumn
                                                : SimTabModel::LockedHeadings::Row,
                             this)),
      horizontal_(new GridHeader(Qt::Horizontal, this)), vertical_(new GridHeader(Qt::Vertical, this)) {
  setObjectName(kind == Kind::Data ? QStringLiteral("DataGrid") : QStringLiteral("ContentsGrid"));
  setHorizontalHeader(horizontal_);
  setVerticalHeader(vertical_);
  setModel(model_);
  setItemDelegate(new SimTabDelegate(*model_, this));
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  if (kind == Kind::Contents) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    vertical_->hide();
    viewport()->installEventFilter(this);
  } else {
    setSelectionMode(QAbstractItemView::NoSelection);
    viewport()->installEventFilter(this);
    horizontal_->viewport()->installEventFilter(this);
    vertical_->viewport()->installEventFilter(this);
  }
  // The corner holds the table's corner label; Qt's corner button would select everything.
  setCornerButtonEnabled(false);
  corner_ = findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
  if (corner_) {
    corner_->installEventFilter(this);
  }
}

void ResultsGrid::ApplyGeometry(const GridGeometry& geometry) {
  const auto& widths = geometry.colWidths;
  const int first = kind_ == Kind::Data ? 1 : 0;
  vertical_->setDefaultSectionSize(std::max(geometry.rowHeight, 1));
  horizontal_->SetThickness(geometry.rowHeight);
  if (kind_ == Kind::Data) {
    vertical_->SetThickness(widths.empty() ? 0 : widths.front());
  }
  const int sections = horizontal_->count();
  for (int s = 0; s < sections; ++s) {
    const std::size_t j = static_cast<std::size_t>(s + first);
    const int width = j < widths.size() ? widths[j] : horizontal_->defaultSectionSize();
    if (horizontal_->sectionSize(s) != width) {
      horizontal_->resizeSection(s, width);
    }
  }
  updateGeometries();
}

void ResultsGrid::SetCellStyle(const QFont& font, Qt::Alignment alignment) {
  model_->SetCellStyle(font, alignment);
  horizontal_->setFont(font);
  vertical_->setFont(font);
  horizontal_->setDefaultAlignment(alignment);
  vertical_->setDefaultAlignment(alignment);
  viewport()->update();
}

void ResultsGrid::TableRebuilt() {
  const int line = kind_ == Kind::Contents ? currentIndex().row() : -1;
  model_->TableRebuilt();
  if (line >= 0 && model_->rowCount() > 0) {
    SetActiveCell(std::min(line, model_->rowCount() - 1) + 1, 1);
  }
}

void ResultsGrid::SetActiveCell(int row, int col) {
  const int modelCol = model_->HeadingColumnLocked() ? col - 1 : col;
  const QModelIndex index = model_->index(row - 1, modelCol);
  if (index.isValid() && index != currentIndex()) {
    if (kind_ == Kind::Contents) {
      selectionModel()->setCurrentIndex(index,
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    } else {
      setCurrentIndex(index);
    }
  }
}

int ResultsGrid::ActiveLine() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? model_->TableRow(index.row()) : 0;
}

bool ResultsGrid::CellAt(const QPoint& viewportPoint, int& row, int& col) const {
  const QModelIndex index = indexAt(viewportPoint);
  if (!index.isValid()) {
    return false;
  }
  row = model_->TableRow(index.row());
  col = model_->TableColumn(index.column());
  return true;
}

QRect ResultsGrid::CellRect(int row, int col) const {
  const int first = model_->HeadingColumnLocked() ? 1 : 0;
  const int x0 = viewport()->geometry().left();
  const int y0 = viewport()->geometry().top();
  QRect rect;
  if (col < first) {
    rect.setLeft(vertical_->geometry().left());
    rect.setWidth(vertical_->width());
  } else {
    const int section = col - first;
    rect.setLeft(x0 + horizontal_->sectionViewportPosition(section));
    rect.setWidth(horizontal_->sectionSize(section));
  }
  if (row == 0) {
    rect.setTop(horizontal_->geometry().top());
    rect.setHeight(horizontal_->height());
  } else {
    rect.setTop(y0 + vertical_->sectionViewportPosition(row - 1));
    rect.setHeight(vertical_->sectionSize(row - 1));
  }
  return rect;
}

void ResultsGrid::PressOn(int row, int col, QEvent* event) {
  Q_EMIT CellPressed(row, col, static_cast<QMouseEvent*>(event)->button());
}

bool ResultsGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == corner_) {
    if (event->type() == QEvent::Paint) {
      return PaintCorner(corner_);
    }
    if (IsPress(event)) {
      if (kind_ == Kind::Data) {
        PressOn(0, 0, event);
      }
      return true;
    }
    return false;
  }
  if (kind_ == Kind::Contents) {
    // A double click on a line opens it (the press before it has made it the active line).
    if (watched == viewport() && event->type() == QEvent::MouseButtonDblClick) {
      int row = 0;
      int col = 0;
      if (CellAt(static_cast<QMouseEvent*>(event)->position().toPoint(), row, col)) {
        SetActiveCell(row, 1);
        Q_EMIT LineOpened(row);
      }
      return true;
    }
    return QTableView::eventFilter(watched, event);
  }
  if (!IsPress(event)) {
    return QTableView::eventFilter(watched, event);
  }
  const QPoint point = static_cast<QMouseEvent*>(event)->position().toPoint();
  if (watched == viewport()) {
    int row = 0;
    int col = 0;
    if (CellAt(point, row, col)) {
      PressOn(row, col, event);
    }
    return true;
  }
  if (watched == horizontal_->viewport()) {
    const int section = horizontal_->logicalIndexAt(point);
    if (section >= 0) {
      PressOn(0, model_->TableColumn(section), event);
    }
    return true;
  }
  if (watched == vertical_->viewport()) {
    const int section = vertical_->logicalIndexAt(point);
    if (section >= 0) {
      PressOn(model_->TableRow(section), 0, event);
    }
    return true;
  }
  return QTableView::eventFilter(watched, event);
}

bool ResultsGrid::PaintCorner(QWidget* corner) {
  QPainter painter(corner);
  QStyleOptionHeader option;
  option.initFrom(corner);
  // Qt's corner button is switched off, but the corner label reads as a heading like the others.
  option.state = (option.state | QStyle::State_Enabled) & ~QStyle::State_Sunken;
  if (!isEnabled()) {
    option.state &= ~QStyle::State_Enabled;
  }
  option.palette = palette();
  option.rect = corner->rect();
  option.position = QStyleOptionHeader::OnlyOneSection;
  option.text = model_->CellText(0, 0);
  option.textAlignment = model_->CellAlignment();
  painter.setFont(model_->CellFont());
  option.fontMetrics = painter.fontMetrics();
  style()->drawControl(QStyle::CE_Header, &option, &painter, corner);
  return true;
}

void ResultsGrid::keyPressEvent(QKeyEvent* event) {
  if (kind_ == Kind::Contents &&
      (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    if (const int line = ActiveLine(); line > 0) {
      Q_EMIT LineOpened(line);
    }
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

QModelIndex ResultsGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
  const QModelIndex moved = QTableView::moveCursor(action, modifiers);
  // Browsing the contents moves by lines; the active column stays at 1.
  if (kind_ == Kind::Contents && moved.isValid() && model_->columnCount() > 1) {
    return model_->index(moved.row(), 1);
  }
  return moved;
}

} // namespace pelorin
