#include "ui/inspectr_dlg.h"

#include "platform/user_interface.h"
#include "views/view_text.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

namespace pelorin {

namespace {

constexpr int kWidth = 740;
constexpr int kHeight = 466;
constexpr int kButtonBar = 41;
// The space a column of the variable list leaves after its widest text.
constexpr int kColumnGap = 14;
constexpr int kTextMargin = 3;

// The dialog's font height in pixels, whatever unit the owner's font was given in.
int FontPixels(const QFont& font) {
  if (font.pixelSize() > 0) {
    return font.pixelSize();
  }
  return std::max(1, static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0)));
}

// A variable line drawn in three columns: the name, its argument sets and its description, at the widths the
// inspector measured.
class VariableDelegate : public QStyledItemDelegate {
public:
  VariableDelegate(const Inspector& logic, int itemHeight, QObject* parent)
      : QStyledItemDelegate(parent), logic_(logic), itemHeight_(itemHeight) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const auto& items = logic_.VariableItems();
    if (index.row() < 0 || index.row() >= static_cast<int>(items.size())) {
      return;
    }
    const std::string& text = items[static_cast<std::size_t>(index.row())].text;
    const std::size_t tab1 = text.find('\t');
    const std::size_t tab2 = tab1 == std::string::npos ? std::string::npos : text.find('\t', tab1 + 1);
    const std::string_view all(text);
    const std::string_view name = all.substr(0, tab1);
    const std::string_view args =
        tab1 == std::string::npos ? std::string_view() : all.substr(tab1 + 1, tab2 - tab1 - 1);
    const std::string_view description =
        tab2 == std::string::npos ? std::string_view() : all.substr(tab2 + 1);
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->fillRect(option.rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect& r = option.rect;
    const int x = r.left() + kTextMargin;
    const int w1 = logic_.NameWidth();
    const int w2 = logic_.ArgsWidth();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    painter->drawText(QRect(x, r.top(), w1, r.height()), flags, ViewText(name));
    painter->drawText(QRect(x + w1, r.top(), w2, r.height()), flags, ViewText(args));
    painter->drawText(QRect(x + w1 + w2, r.top(), logic_.DescriptionWidth(), r.height()), flags,
                      ViewText(description));
    painter->restore();
  }
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return {logic_.VariableScrollRange() + 2 * kTextMargin, itemHeight_};
  }

private:
  const Inspector& logic_;
  int itemHeight_;
};

// Items of the lists' common height.
class ItemHeightDelegate : public QStyledItemDelegate {
public:
  ItemHeightDelegate(int itemHeight, QObject* parent)
      : QStyledItemDelegate(parent), itemHeight_(itemHeight) {}
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    return {QStyledItemDelegate::sizeHint(option, index).width(), itemHeight_};
  }

private:
  int itemHeight_;
};

QListWidget* MakeList(const char* name, int itemHeight, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setUniformItemSizes(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setItemDelegate(new ItemHeightDelegate(itemHeight, list));
  return list;
}

void Fill(QListWidget* list, const std::vector<std::string>& texts) {
  list->clear();
  for (const std::string& text : texts) {
    list->addItem(ViewText(text));
  }
}

QLabel* Caption(const char* text, QWidget* parent) {
  return new QLabel(QString::fromLatin1(text), parent);
}

} // namespace

TInspectrDlg::TInspectrDlg(const SolInfoRec& info, std::string_view caption, int helpContext,
                           UserInterface& ui, std::function<void()> help, QWidget* owner)
    : QDialog(owner), ui_(ui) {
  setObjectName(QStringLiteral("InspectrDlg"));
  if (owner) {
    QFont ownFont = font();
    ownFont.setFamily(owner->font().family());
    setFont(ownFont);
  }
  const int h = FontPixels(font());
  const int itemHeight = 4 * h / 3;
  QFont listFont = font();
  const QFontMetrics metrics(listFont);
  logic_ = std::make_unique<Inspector>(info, caption, helpContext, h, [&metrics](std::string_view text) {
    return text.empty() ? 0 : metrics.horizontalAdvance(ViewText(text)) + kColumnGap;
  });
  setWindowTitle(ViewText(logic_->Caption()));
  resize(kWidth, kHeight);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("InspectorPages"));
  QFont selectorFont = font();
  selectorFont.setPixelSize(itemHeight);
  pages_->tabBar()->setFont(selectorFont);

  // Sets: the sorted list at the left, the chosen set's members beside it, its subsets and supersets at the
  // far right.
  auto* setsPage = new QWidget(pages_);
  sets_ = MakeList("SetList", itemHeight, setsPage);
  members_ = MakeList("MemberList", itemHeight, setsPage);
  subsets_ = MakeList("SubsetList", itemHeight, setsPage);
  supersets_ = MakeList("SupersetList", itemHeight, setsPage);
  auto* setsLayout = new QGridLayout(setsPage);
  setsLayout->addWidget(Caption("Pick a set below - details will show at right", setsPage), 0, 0);
  setsLayout->addWidget(sets_, 1, 0, 3, 1);
  setsLayout->addWidget(Caption("Members", setsPage), 0, 1);
  setsLayout->addWidget(members_, 1, 1, 3, 1);
  setsLayout->addWidget(Caption("Subsets", setsPage), 0, 2);
  setsLayout->addWidget(subsets_, 1, 2);
  setsLayout->addWidget(Caption("Supersets", setsPage), 2, 2);
  setsLayout->addWidget(supersets_, 3, 2);
  setsLayout->setColumnStretch(0, 5);
  setsLayout->setColumnStretch(1, 3);
  setsLayout->setColumnStretch(2, 3);
  pages_->addTab(setsPage, QStringLiteral("Sets"));

  variables_ = MakeList("VariableList", itemHeight, pages_);
  variables_->setItemDelegate(new VariableDelegate(*logic_, itemHeight, variables_));
  variables_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  variables_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  pages_->addTab(variables_, QStringLiteral("Variables"));

  coefficients_ = MakeList("CoefficientList", itemHeight, pages_);
  pages_->addTab(coefficients_, QStringLiteral("Coefficients"));

  exit_ = new QPushButton(QStringLiteral("&Exit"), this);
  exit_->setObjectName(QStringLiteral("ExitButton"));
  help_ = new QPushButton(QStringLiteral("Help"), this);
  help_->setObjectName(QStringLiteral("HelpButton"));
  help_->setVisible(logic_->HelpVisible());
  copy_ = new QPushButton(QStringLiteral("&Copy"), this);
  copy_->setObjectName(QStringLiteral("CopyButton"));
  for (QPushButton* button : {exit_, help_, copy_}) {
    button->setAutoDefault(false);
  }
  auto* buttons = new QWidget(this);
  buttons->setFixedHeight(kButtonBar);
  auto* buttonLayout = new QHBoxLayout(buttons);
  buttonLayout->setContentsMargins(8, 4, 8, 4);
  buttonLayout->addWidget(exit_);
  buttonLayout->addWidget(help_);
  buttonLayout->addStretch(1);
  buttonLayout->addWidget(copy_);
  exit_->setParent(buttons);
  help_->setParent(buttons);
  copy_->setParent(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(pages_, 1);
  layout->addWidget(buttons);

  for (const InspectorItem& item : logic_->SetItems()) {
    sets_->addItem(ViewText(item.text));
  }
  for (const InspectorItem& item : logic_->VariableItems()) {
    variables_->addItem(ViewText(item.text));
  }
  for (const InspectorItem& item : logic_->CoefficientItems()) {
    coefficients_->addItem(ViewText(item.text));
  }
  if (sets_->count() > 0) {
    sets_->setCurrentRow(0);
  }
  ShowChosenSet();

  connect(sets_, &QListWidget::currentRowChanged, this, [this](int row) {
    logic_->ChooseSet(row);
    ShowChosenSet();
  });
  connect(exit_, &QPushButton::clicked, this, &QDialog::accept);
  connect(help_, &QPushButton::clicked, this, [help = std::move(help)] {
    if (help) {
      help();
    }
  });
  connect(copy_, &QPushButton::clicked, this,
          [this] { logic_->Copy(static_cast<InspectorPage>(pages_->currentIndex()), ui_); });
}

TInspectrDlg::~TInspectrDlg() = default;

void TInspectrDlg::ShowChosenSet() {
  Fill(members_, logic_->Members());
  Fill(subsets_, logic_->Subsets());
  Fill(supersets_, logic_->Supersets());
}

} // namespace pelorin
