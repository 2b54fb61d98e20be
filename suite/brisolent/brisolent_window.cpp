#include "brisolent/brisolent_window.h"

#include "brisolent/term_table_model.h"
#include "explorer/expression_text.h"
#include "shell/viewer_arguments.h"
#include "viewkit/har_array_panel.h"

#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace pelorin {

namespace {

using explore::NameKind;
using explore::NameRef;

QString Text(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Bytes(const QString& text) {
  return text.toUtf8().toStdString();
}

constexpr char kSolutionVariablePrefix[] = "solution:";

} // namespace

BrisolentWindow::BrisolentWindow(ViewerServices services, QWidget* parent)
    : QMainWindow(parent), services_(std::move(services)) {
  setWindowTitle(QStringLiteral("Brisolent"));
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(4, 4, 4, 4);

  notes_ = new QLabel(central);
  notes_->setWordWrap(true);
  notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  notes_->setStyleSheet(QStringLiteral(
      "QLabel { background: #fff4d6; color: #4a3500; border: 1px solid #e0c070; padding: 6px; }"));
  notes_->hide();
  layout->addWidget(notes_);

  auto* splitter = new QSplitter(central);
  source_ = new QTextBrowser(splitter);
  source_->setOpenLinks(false);
  source_->setLineWrapMode(QTextEdit::NoWrap);

  auto* right = new QWidget(splitter);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(4, 0, 0, 0);
  auto* chooser = new QHBoxLayout;
  auto* showLabel = new QLabel(tr("S&how:"), right);
  nameBox_ = new QComboBox(right);
  nameBox_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  showLabel->setBuddy(nameBox_);
  chooser->addWidget(showLabel);
  chooser->addWidget(nameBox_);
  chooser->addStretch(1);
  rightLayout->addLayout(chooser);
  heading_ = new QLabel(right);
  heading_->setWordWrap(true);
  heading_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont headingFont = heading_->font();
  headingFont.setBold(true);
  heading_->setFont(headingFont);
  rightLayout->addWidget(heading_);

  pages_ = new QStackedWidget(right);
  panel_ = new HarArrayPanel(pages_);
  pages_->addWidget(panel_);

  auto* equationPage = new QWidget(pages_);
  auto* equationLayout = new QVBoxLayout(equationPage);
  equationLayout->setContentsMargins(0, 0, 0, 0);
  elementBar_ = new QWidget(equationPage);
  elementLayout_ = new QHBoxLayout(elementBar_);
  elementLayout_->setContentsMargins(0, 0, 0, 0);
  equationLayout->addWidget(elementBar_);
  termView_ = new QTableView(equationPage);
  terms_ = new TermTableModel(this);
  termView_->setModel(terms_);
  termView_->verticalHeader()->hide();
  termView_->verticalHeader()->setDefaultSectionSize(termView_->fontMetrics().height() + 6);
  termView_->setWordWrap(true);
  termView_->setTextElideMode(Qt::ElideNone);
  termView_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  // Long terms wrap inside their column: the rows follow its width whenever the view changes size or the
  // stretched column settles (it does so late, after the other columns were fitted to new terms).
  termView_->viewport()->installEventFilter(this);
  connect(termView_->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
    if (column == 1) {
      FitTermRowsLater();
    }
  });
  equationLayout->addWidget(termView_, 1);
  termNote_ =
      new QLabel(tr("Before: the initial data. After: the variables at their post-simulation levels; the "
                    "coefficients keep the values the simulation held them at. The term that moved most "
                    "on each side is in bold; the two sides move alike."),
                 equationPage);
  termNote_->setWordWrap(true);
  equationLayout->addWidget(termNote_);
  pages_->addWidget(equationPage);

  message_ = new QLabel(pages_);
  message_->setWordWrap(true);
  message_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  pages_->addWidget(message_);
  rightLayout->addWidget(pages_, 1);

  splitter->addWidget(source_);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 1);
  layout->addWidget(splitter, 1);
  setCentralWidget(central);

  connect(source_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    NameRef ref;
    if (explore::ParseNameLink(Bytes(url.toString()), ref)) {
      ShowName(ref);
    }
  });
  connect(nameBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (updating_ || index < 0) {
      return;
    }
    const QString link = nameBox_->itemData(index).toString();
    NameRef ref;
    if (link.startsWith(kSolutionVariablePrefix)) {
      ShowSolutionVariable(link.mid(static_cast<int>(sizeof kSolutionVariablePrefix) - 1).toInt());
    } else if (explore::ParseNameLink(Bytes(link), ref)) {
      ShowName(ref);
    }
  });
  BuildMenus();
  statusBar();
  ShowMessage(QString(), tr("No solution is open."));
  resize(1200, 760);
}

BrisolentWindow::~BrisolentWindow() = default;

bool BrisolentWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == termView_->viewport() && event->type() == QEvent::Resize) {
    FitTermRowsLater();
  }
  return QMainWindow::eventFilter(watched, event);
}

void BrisolentWindow::FitTermRowsLater() {
  if (termRowsPending_) {
    return;
  }
  termRowsPending_ = true;
  QTimer::singleShot(0, termView_, [this] {
    termRowsPending_ = false;
    termView_->resizeRowsToContents();
  });
}

void BrisolentWindow::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* open = file->addAction(tr("&Open solution..."), this, [this] {
    const QString path = services_.chooseOpenFile(this, tr("Open solution file"), QString(),
                                                  tr("Solution files (*.sl4 *.SL4);;All files (*)"));
    if (!path.isEmpty()) {
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

void BrisolentWindow::StartWith(const QString& argument) {
  const ViewerArgument parsed = ParseViewerArgument(Bytes(argument));
  if (parsed.kind == ViewerArgumentKind::File || parsed.kind == ViewerArgumentKind::ReadOnlyFile) {
    OpenSolution(Text(parsed.path));
  }
}

bool BrisolentWindow::OpenSolution(const QString& path) {
  ErrorText errorText;
  if (!explorer_.Open(Bytes(path), errorText)) {
    services_.showError(this, tr("Brisolent"),
                        tr("Cannot open the solution\n%1\n\n%2").arg(path, Text(errorText)));
    FillNameBox();
    source_->clear();
    notes_->hide();
    ShowMessage(QString(), tr("No solution is open."));
    return false;
  }
  setWindowTitle(QStringLiteral("Brisolent - %1").arg(QFileInfo(path).fileName()));
  QStringList notes;
  for (const std::string& note : explorer_.Notes()) {
    notes << Text(note);
  }
  notes_->setText(notes.join("\n"));
  notes_->setVisible(!notes.isEmpty());
  if (explorer_.HasSource()) {
    source_->setHtml(Text(explore::SourceHtml(explorer_.SourceText(), explorer_.Spans())));
  } else {
    source_->setHtml(
        QStringLiteral("<p style=\"color:#606060\">%1</p>")
            .arg(tr("The model source is not available. The variables of the solution can still be "
                    "chosen above.")));
  }
  FillNameBox();
  const conv::Solution& solution = explorer_.Solution();
  statusBar()->showMessage(tr("%1: model %2, %3 variables, method %4")
                               .arg(path, Text(solution.modelName))
                               .arg(solution.variables.size())
                               .arg(Text(solution.methodName)));
  ShowMessage(QString(), explorer_.HasModel() ? tr("Choose a name in the model's text, or in the list above.")
                                              : tr("Choose a variable in the list above."));
  return true;
}

void BrisolentWindow::FillNameBox() {
  updating_ = true;
  nameBox_->clear();
  nameBox_->addItem(tr("(choose a name)"));
  if (explorer_.HasModel()) {
    const mrk::Model& model = explorer_.Model();
    auto add = [this](const QString& caption, NameKind kind, int index) {
      nameBox_->addItem(caption, Text(explore::NameLink({kind, index})));
    };
    for (std::size_t i = 0; i < model.equations.size(); ++i) {
      add(tr("Equation %1").arg(Text(model.equations[i].name)), NameKind::Equation, static_cast<int>(i));
    }
    for (std::size_t i = 0; i < model.variables.size(); ++i) {
      add(tr("Variable %1").arg(Text(model.variables[i].name)), NameKind::Variable, static_cast<int>(i));
    }
    for (std::size_t i = 0; i < model.coefficients.size(); ++i) {
      add(tr("Coefficient %1").arg(Text(model.coefficients[i].name)), NameKind::Coefficient,
          static_cast<int>(i));
    }
    for (std::size_t i = 0; i < model.sets.size(); ++i) {
      add(tr("Set %1").arg(Text(model.sets[i].name)), NameKind::Set, static_cast<int>(i));
    }
  } else {
    const conv::Solution& solution = explorer_.Solution();
    for (std::size_t k = 0; k < solution.variables.size(); ++k) {
      nameBox_->addItem(tr("Variable %1").arg(Text(solution.variables[k].name)),
                        QString(kSolutionVariablePrefix) + QString::number(k));
    }
  }
  updating_ = false;
}

void BrisolentWindow::ShowMessage(const QString& heading, const QString& text) {
  heading_->setText(heading);
  heading_->setVisible(!heading.isEmpty());
  message_->setText(text);
  pages_->setCurrentWidget(message_);
}

int BrisolentWindow::PageShown() const {
  return pages_->currentIndex();
}

QComboBox* BrisolentWindow::ElementBox(int d) const {
  return d >= 0 && static_cast<std::size_t>(d) < elementBoxes_.size() ? elementBoxes_[d] : nullptr;
}

bool BrisolentWindow::ShowName(const NameRef& ref) {
  if (!explorer_.HasModel()) {
    return false;
  }
  updating_ = true;
  nameBox_->setCurrentIndex(std::max(0, nameBox_->findData(Text(explore::NameLink(ref)))));
  updating_ = false;
  shown_ = ref;
  const QString description = Text(explorer_.Describe(ref));
  ErrorText errorText;
  std::shared_ptr<const THeadRecz> head;
  switch (ref.kind) {
  case NameKind::Set:
    if (!explorer_.SetHeader(ref.index, head, errorText)) {
      break;
    }
    panel_->SetHeader(head);
    heading_->setText(description);
    heading_->show();
    pages_->setCurrentWidget(panel_);
    return true;
  case NameKind::Coefficient:
  case NameKind::Variable: {
    const bool coefficient = ref.kind == NameKind::Coefficient;
    const bool ok = coefficient ? explorer_.CoefficientHeader(ref.index, head, errorText)
                                : explorer_.VariableHeader(ref.index, head, errorText);
    if (!ok) {
      break;
    }
    panel_->SetHeader(head);
    // Elements down the side, before and after (or results and levels) across.
    const int last = panel_->Grid().NumDims() - 1;
    if (last > 0) {
      panel_->SetAxes(0, last);
    }
    heading_->setText(description);
    heading_->show();
    pages_->setCurrentWidget(panel_);
    return true;
  }
  case NameKind::Equation: {
    heading_->setText(description + "\n" + Text(explore::EquationText(explorer_.Model(), ref.index)));
    heading_->show();
    const mrk::Equation& equation = explorer_.Model().equations[static_cast<std::size_t>(ref.index)];
    while (QLayoutItem* item = elementLayout_->takeAt(0)) {
      delete item->widget();
      delete item;
    }
    elementBoxes_.clear();
    const std::vector<std::string> indexes = explore::SlotNames(explorer_.Model(), equation.lhs);
    for (std::size_t d = 0; d < equation.lhs.domain.size(); ++d) {
      const int set = equation.lhs.domain[d];
      const QString setName = Text(explorer_.Model().sets[static_cast<std::size_t>(set)].name);
      auto* label = new QLabel(QStringLiteral("%1 in %2:").arg(Text(indexes[d]), setName), elementBar_);
      auto* box = new QComboBox(elementBar_);
      for (const std::string& element : explorer_.SetElements(set)) {
        box->addItem(Text(element));
      }
      label->setBuddy(box);
      elementLayout_->addWidget(label);
      elementLayout_->addWidget(box);
      connect(box, &QComboBox::currentIndexChanged, this, [this] {
        if (!updating_) {
          ComputeTerms();
        }
      });
      elementBoxes_.push_back(box);
    }
    elementLayout_->addStretch(1);
    elementBar_->setVisible(!elementBoxes_.empty());
    pages_->setCurrentIndex(1);
    ComputeTerms();
    return true;
  }
  case NameKind::File:
    ShowMessage(description,
                tr("A logical file of the model: its data are shown through the names read from it."));
    return true;
  case NameKind::None:
    return false;
  }
  ShowMessage(description, Text(errorText));
  return false;
}

bool BrisolentWindow::ShowSolutionVariable(int k) {
  ErrorText errorText;
  std::shared_ptr<const THeadRecz> head;
  if (!explorer_.SolutionVariableHeader(k, head, errorText)) {
    ShowMessage(QString(), Text(errorText));
    return false;
  }
  panel_->SetHeader(head);
  const int last = panel_->Grid().NumDims() - 1;
  if (last > 0) {
    panel_->SetAxes(0, last);
  }
  const conv::SolutionVariable& variable = explorer_.Solution().variables[static_cast<std::size_t>(k)];
  heading_->setText(tr("Variable %1: %2").arg(Text(variable.name), Text(variable.description)));
  heading_->show();
  pages_->setCurrentWidget(panel_);
  return true;
}

bool BrisolentWindow::ChooseElement(int d, int element) {
  QComboBox* box = ElementBox(d);
  if (box == nullptr || element < 0 || element >= box->count()) {
    return false;
  }
  box->setCurrentIndex(element);
  return true;
}

void BrisolentWindow::ComputeTerms() {
  std::vector<int> elements;
  for (QComboBox* box : elementBoxes_) {
    elements.push_back(box->currentIndex());
  }
  explore::EquationValues values;
  ErrorText errorText;
  if (!explorer_.Equation(shown_.index, elements, values, errorText)) {
    terms_->SetValues({});
    termNote_->setText(Text(errorText));
    return;
  }
  terms_->SetValues(values);
  termView_->resizeColumnToContents(0);
  for (int c = 2; c < 5; ++c) {
    termView_->resizeColumnToContents(c);
  }
  termView_->resizeRowsToContents();
  termNote_->setText(
      tr("%1. Before: the initial data. After: the variables at their post-simulation levels; the "
         "coefficients "
         "keep the values the simulation held them at. The term that moved most on each side is in bold.")
          .arg(Text(values.heading)));
}

void BrisolentWindow::CopyShown() {
  QString text;
  if (pages_->currentIndex() == 0) {
    text = panel_->SelectionText();
  } else if (pages_->currentIndex() == 1) {
    for (int r = -1; r < terms_->rowCount(); ++r) {
      QStringList cells;
      for (int c = 0; c < terms_->columnCount(); ++c) {
        cells << (r < 0 ? terms_->headerData(c, Qt::Horizontal).toString()
                        : terms_->data(terms_->index(r, c)).toString());
      }
      text += cells.join('\t') + '\n';
    }
  }
  if (text.isEmpty()) {
    statusBar()->showMessage(tr("Nothing to copy"));
    return;
  }
  services_.setClipboardText(text);
  statusBar()->showMessage(tr("Copied"));
}

} // namespace pelorin
