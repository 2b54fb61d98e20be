#include "ui/acc_summary_dlg.h"

#include "results/acc_summary_dialog.h"
#include "ui/accuracy_faces.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QTabBar>

namespace pelorin {

namespace {

constexpr int kWidth = 437;
constexpr int kChartHeight = kAccDialogHeight - kAccStripHeight;
constexpr int kFontPixels = 13; // the dialog's font height of 16, as a font's em
constexpr int kSmallFontPixels = 10;
constexpr int kItemHeight = 22;
constexpr int kFace = 20;
constexpr int kListLeft = 117;
constexpr int kListWidth = 252;
// The data's face follows the variables' face by more than the 55 pixels of old, so that a grade with
// " worst" fits between them; the "Data accuracy" heading moves with it.
constexpr int kVariablesFace = 97;
constexpr int kDataFace = kVariablesFace + 70;

QColor BinColour(int k) {
  const auto& rgb = kAccBinColours[static_cast<std::size_t>(k)];
  return QColor(rgb[0], rgb[1], rgb[2]);
}

QFont PixelFont(const QFont& base, int pixels) {
  QFont font(base);
  font.setPixelSize(pixels);
  return font;
}

// The bar chart: "Figures" and "Count" above seven bars in the bin colours, the number of figures left of
// each bar and its count at the right edge.
class BarChart : public QWidget {
public:
  BarChart(const AccSummaryDialog& logic, QWidget* parent) : QWidget(parent), logic_(logic) {}

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const AccDialogState& state = logic_.State();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(2, 2, 120, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Figures"));
    painter.drawText(QRect(width() - 124, 2, 120, 20), Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("Count"));
    for (int k = 0; k < 7; ++k) {
      const int y = 25 + 20 * k;
      const int length = state.bars[static_cast<std::size_t>(k)];
      if (length > 0) {
        painter.fillRect(QRect(12, y, length, 17), BinColour(k));
      }
      painter.drawText(QRect(0, y, 8, 17), Qt::AlignRight | Qt::AlignVCenter, QString::number(k));
      painter.drawText(QRect(width() - 4 - 80, y, 80, 17), Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(state.counts[static_cast<std::size_t>(k)]));
    }
  }

private:
  const AccSummaryDialog& logic_;
};

// A list item: the summary's name, then the face and grade for the variables and for the data.
class SummaryDelegate : public QStyledItemDelegate {
public:
  SummaryDelegate(const AccSummaryDialog& logic, QObject* parent)
      : QStyledItemDelegate(parent), logic_(logic) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const AccListItem item = logic_.ItemText(index.row() + 1);
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect& r = option.rect;
    const int x = r.left();
    const int faceTop = r.top() + (r.height() - kFace) / 2;
    const qreal ratio = painter->device()->devicePixelRatioF();
    painter->drawText(QRect(x + 2, r.top(), 93, r.height()), Qt::AlignLeft | Qt::AlignVCenter,
                      QString::fromStdString(item.name));
    painter->drawPixmap(x + kVariablesFace, faceTop, AccuracyFace(item.variablesFace, kFace, ratio));
    painter->drawText(
        QRect(x + kVariablesFace + kFace + 2, r.top(), kDataFace - kVariablesFace - kFace - 2, r.height()),
        Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(item.variablesText));
    const int data = x + kDataFace;
    int textLeft = data;
    if (item.dataFace >= 0) {
      painter->drawPixmap(data, faceTop, AccuracyFace(item.dataFace, kFace, ratio));
      textLeft += kFace + 2;
    }
    painter->drawText(QRect(textLeft, r.top(), r.right() - textLeft, r.height()),
                      Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(item.dataText));
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {kListWidth, kItemHeight};
  }

private:
  const AccSummaryDialog& logic_;
};

// The legend under the strip's normal height: "Least accurate", the eleven faces with their numbers,
// "Most accurate".
class FaceLegend : public QWidget {
public:
  using QWidget::QWidget;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const int step = 24;
    const int left = (width() - kAccuracyFaces * step) / 2 + (step - kFace) / 2;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(4, 0, left - 8, kFace + 14), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("Least accurate"));
    painter.drawText(QRect(left + kAccuracyFaces * step - 2, 0,
                           width() - (left + kAccuracyFaces * step - 2) - 4, kFace + 14),
                     Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Most accurate"));
    for (int grade = 0; grade < kAccuracyFaces; ++grade) {
      const int x = left + grade * step;
      painter.drawPixmap(x, 7, AccuracyFace(grade, kFace, devicePixelRatioF()));
      painter.drawText(QRect(x - 4, 7 + 24 - 2, kFace + 8, 14), Qt::AlignHCenter | Qt::AlignVCenter,
                       QString::number(grade));
    }
  }
};

QLabel* SmallLabel(const QString& text, int x, int width, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setFont(PixelFont(parent->font(), kSmallFontPixels));
  label->setWordWrap(true);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(x, 1, width, 26);
  return label;
}

} // namespace

TAccSummaryDlg::TAccSummaryDlg(AccSummaryDialog& logic, std::function<void()> help, QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      logic_(logic) {
  setObjectName(QStringLiteral("AccSummaryDlg"));
  setFont(PixelFont(font(), kFontPixels));
  setModal(true);

  chart_ = new BarChart(logic_, this);
  chart_->setObjectName(QStringLiteral("AccBarChart"));
  chart_->setGeometry(0, 0, kWidth, kChartHeight);

  strip_ = new QWidget(this);
  strip_->setObjectName(QStringLiteral("AccSelectorStrip"));
  strip_->setAutoFillBackground(true);
  QPalette stripPalette = strip_->palette();
  stripPalette.setColor(QPalette::Window, stripPalette.color(QPalette::Window).darker(106));
  strip_->setPalette(stripPalette);
  strip_->setGeometry(0, kChartHeight, kWidth, kAccStripHeight);

  selector_ = new QTabBar(strip_);
  selector_->setObjectName(QStringLiteral("AccSideSelector"));
  selector_->setShape(QTabBar::RoundedSouth);
  selector_->setDrawBase(false);
  // Both choices must show in the strip's corner left of the list: a smaller font and narrow tabs.
  selector_->setFont(PixelFont(font(), 11));
  selector_->setUsesScrollButtons(false);
  selector_->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 8px; }"));
  selector_->addTab(QStringLiteral("Variables"));
  selector_->addTab(QStringLiteral("Data"));
  selector_->setGeometry(2, 0, kListLeft - 4, selector_->sizeHint().height());

  SmallLabel(QStringLiteral("Variables accuracy"), 195, 72, strip_);
  SmallLabel(QStringLiteral("Data accuracy"), kListLeft + kDataFace - 2, 60, strip_);

  hold_ = new QLabel(strip_);
  hold_->setObjectName(QStringLiteral("ClickAndHold"));
  hold_->setToolTip(QStringLiteral("Click and hold"));
  hold_->setPixmap(ClickAndHoldPicture(24, devicePixelRatioF()));
  hold_->setGeometry(50, 32, 24, 24);
  hold_->setCursor(Qt::PointingHandCursor);
  hold_->installEventFilter(this);

  list_ = new QListWidget(strip_);
  list_->setObjectName(QStringLiteral("AccSummaryList"));
  list_->setFrameShape(QFrame::NoFrame);
  list_->setUniformItemSizes(true);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->setFont(PixelFont(font(), 12));
  list_->setItemDelegate(new SummaryDelegate(logic_, list_));
  list_->setGeometry(kListLeft, kAccStripHeight - 2 * kItemHeight, kListWidth, 2 * kItemHeight);
  for (int i = 1; i <= logic_.Count(); ++i) {
    list_->addItem(QString::fromStdString(logic_.ItemText(i).name));
  }

  legend_ = new FaceLegend(strip_);
  legend_->setObjectName(QStringLiteral("AccLegend"));
  legend_->setFont(PixelFont(font(), 11));
  legend_->setGeometry(0, 78, kWidth, 47);

  ok_ = new QPushButton(QStringLiteral("OK"), strip_);
  ok_->setObjectName(QStringLiteral("OkButton"));
  ok_->setDefault(true);
  ok_->setGeometry(kWidth - 62, 6, 56, 26);
  help_ = new QPushButton(QStringLiteral("Help"), strip_);
  help_->setObjectName(QStringLiteral("HelpButton"));
  help_->setAutoDefault(false);
  help_->setGeometry(kWidth - 62, 38, 56, 26);

  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(help_, &QPushButton::clicked, this, [help = std::move(help)] {
    if (help) {
      help();
    }
  });
  connect(selector_, &QTabBar::currentChanged, this, [this](int index) {
    if (index >= 0) {
      logic_.SideChange(index == 1 ? AccSide::Data : AccSide::Variables);
      Refresh();
    }
  });
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    logic_.ListClick(list_->row(item));
    Refresh();
  });
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0 && row != logic_.State().listIndex) {
      logic_.ListClick(row);
      Refresh();
    }
  });
  Refresh();
}

QRect TAccSummaryDlg::BarRect(int k) const {
  return QRect(12, 25 + 20 * k, logic_.State().bars[static_cast<std::size_t>(k)], 17);
}

void TAccSummaryDlg::Refresh() {
  const AccDialogState& state = logic_.State();
  setWindowTitle(QString::fromStdString(state.caption));
  {
    const QSignalBlocker blockSelector(selector_);
    selector_->setCurrentIndex(state.side == AccSide::Data ? 1 : 0);
  }
  {
    const QSignalBlocker blockList(list_);
    if (list_->currentRow() != state.listIndex) {
      list_->setCurrentRow(state.listIndex);
    }
  }
  list_->viewport()->update();
  setFixedSize(kWidth, state.dialogHeight);
  strip_->setFixedHeight(state.stripHeight);
  chart_->update();
}

bool TAccSummaryDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == hold_ &&
      (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick ||
       event->type() == QEvent::MouseButtonRelease)) {
    logic_.HoldLegend(event->type() != QEvent::MouseButtonRelease);
    Refresh();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TAccSummaryDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

} // namespace pelorin
