#include "ui/orf_edit_dlg.h"

#include "ui/plain_text_buffer.h"
#include "ui/qt_text.h"
#include "ui/srch_dlg.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

namespace pelorin {

namespace {

OrfEditorOptions OptionsOf(const TextEditorRequest& request) {
  OrfEditorOptions options;
  options.file = request.file;
  options.captionPrefix = request.title;
  options.editable = request.editable;
  options.fileHelp = request.helpTopic;
  options.closeCaption = request.returnCaption;
  return options;
}

// A large file goes into the editing widget in slices of about this many characters: the first before the
// window shows, the rest while it works (the widget takes roughly 40 ms per million characters).
constexpr qsizetype kLoadSlice = 1 << 19;

// The end of a slice of `text` from `from`: just after the first line break at or beyond a slice's length,
// so that no slice ends inside a character.
qsizetype SliceEnd(const QString& text, qsizetype from) {
  if (text.size() - from <= kLoadSlice) {
    return text.size();
  }
  const qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), from + kLoadSlice);
  return lineEnd < 0 ? text.size() : lineEnd + 1;
}

// The editor's font: the system's fixed-width font at the size of the window's text.
QFont EditorFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  const int points = QApplication::font().pointSize();
  if (points > 0) {
    font.setPointSize(std::max(points - 1, 8));
  }
  font.setStyleHint(QFont::Monospace);
  return font;
}

} // namespace

TOrfEditDlg::TOrfEditDlg(UserInterface& ui, const TextEditorRequest& request,
                         std::function<void(int topic)> showHelp, QWidget* owner)
    : QDialog(owner), core_(ui, OptionsOf(request)), showHelp_(std::move(showHelp)),
      fileHelp_(request.helpTopic) {
  setObjectName(QStringLiteral("TOrfEditDlg"));
  setSizeGripEnabled(true);
  if (owner != nullptr) {
    setGeometry(owner->geometry());
  } else {
    resize(900, 650);
  }

  edit_ = new QPlainTextEdit;
  edit_->setObjectName(QStringLiteral("Editor"));
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setFont(EditorFont());
  edit_->setTabStopDistance(8 * QFontMetricsF(edit_->font()).horizontalAdvance(QLatin1Char(' ')));
  edit_->setOverwriteMode(false);
  buffer_ = std::make_unique<PlainTextBuffer>(*edit_);

  note_ = new QLabel;
  note_->setObjectName(QStringLiteral("Note"));
  note_->setWordWrap(true);
  note_->setMargin(6);
  note_->setStyleSheet(QStringLiteral("background: #fff4c2; color: black;"));
  note_->hide();

  // The status bar, right to left: the position, the state, the hints of the menu items.
  auto* status = new QStatusBar;
  status->setSizeGripEnabled(false);
  hintField_ = new QLabel;
  hintField_->setObjectName(QStringLiteral("HintField"));
  stateField_ = new QLabel;
  stateField_->setObjectName(QStringLiteral("StateField"));
  stateField_->setToolTip(QStringLiteral("Shows if the file is modified."));
  stateField_->setMinimumWidth(10 * fontMetrics().averageCharWidth());
  positionField_ = new QLabel;
  positionField_->setObjectName(QStringLiteral("PositionField"));
  positionField_->setToolTip(QStringLiteral("Shows the current line and column."));
  positionField_->setMinimumWidth(12 * fontMetrics().averageCharWidth());
  status->addWidget(hintField_, 1);
  status->addPermanentWidget(stateField_);
  status->addPermanentWidget(positionField_);

  menuBar_ = new QMenuBar(this);
  BuildMenus(request.returnCaption);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setMenuBar(menuBar_);
  layout->addWidget(note_);
  layout->addWidget(edit_, 1);
  layout->addWidget(status);
  setWindowTitle(ToQString(core_.Caption()));
}

TOrfEditDlg::~TOrfEditDlg() = default;

QAction* TOrfEditDlg::AddItem(QMenu* menu, const QString& caption, const char* name, const QString& hint,
                              const QKeySequence& shortcut) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setStatusTip(hint);
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    addAction(action); // the shortcut works wherever the focus is in the window
  }
  return action;
}

void TOrfEditDlg::BuildMenus(const std::string& closeCaption) {
  QAction* close = menuBar_->addAction(ToQString(closeCaption));
  close->setObjectName(QStringLiteral("Close1"));
  connect(close, &QAction::triggered, this, &QWidget::close);
  QAction* saveAs = menuBar_->addAction(QStringLiteral("Save &As"));
  saveAs->setObjectName(QStringLiteral("SaveAs1"));
  connect(saveAs, &QAction::triggered, this, &TOrfEditDlg::SaveAs1Click);

  QMenu* edit = menuBar_->addMenu(QStringLiteral("&Edit"));
  edit->setObjectName(QStringLiteral("Edit1"));
  connect(edit, &QMenu::aboutToShow, this, &TOrfEditDlg::Edit1Click);
  connect(AddItem(edit, QStringLiteral("&Undo"), "Undo1", QStringLiteral("Undoes your last editing action."),
                  QKeySequence(Qt::CTRL | Qt::Key_Z)),
          &QAction::triggered, edit_, &QPlainTextEdit::undo);
  connect(
      AddItem(edit, QStringLiteral("&Redo"), "Redo1", QStringLiteral("Restores editing undone by \"Undo\".")),
      &QAction::triggered, edit_, &QPlainTextEdit::redo);
  editSeparator_ = edit->addSeparator();
  editSeparator_->setObjectName(QStringLiteral("EditSeparator"));
  connect(AddItem(edit, QStringLiteral("Cu&t"), "Cut1",
                  QStringLiteral("Deletes selection and puts it in the clipboard."),
                  QKeySequence(Qt::CTRL | Qt::Key_X)),
          &QAction::triggered, edit_, &QPlainTextEdit::cut);
  connect(AddItem(edit, QStringLiteral("&Copy"), "Copy1",
                  QStringLiteral("Copies selection to the clipboard."), QKeySequence(Qt::CTRL | Qt::Key_C)),
          &QAction::triggered, edit_, &QPlainTextEdit::copy);
  connect(AddItem(edit, QStringLiteral("&Paste"), "Paste1",
                  QStringLiteral("Inserts the text in the clipboard."), QKeySequence(Qt::CTRL | Qt::Key_V)),
          &QAction::triggered, edit_, &QPlainTextEdit::paste);

  QMenu* search = menuBar_->addMenu(QStringLiteral("&Search"));
  search->setObjectName(QStringLiteral("Search1"));
  connect(AddItem(search, QStringLiteral("&Find..."), "Find1", QStringLiteral("Shows the \"Find\" window."),
                  QKeySequence(Qt::CTRL | Qt::Key_F)),
          &QAction::triggered, this, &TOrfEditDlg::Find1Click);
  connect(AddItem(search, QStringLiteral("&Replace..."), "Replace1",
                  QStringLiteral("Shows the \"Find and replace\" window."),
                  QKeySequence(Qt::CTRL | Qt::Key_R)),
          &QAction::triggered, this, &TOrfEditDlg::Replace1Click);
  QAction* again =
      AddItem(search, QStringLiteral("Search &again"), "SearchAgain1",
              QStringLiteral("Repeat last find or replace operation."), QKeySequence(Qt::Key_F3));
  again->setEnabled(false);
  connect(again, &QAction::triggered, this, &TOrfEditDlg::SearchAgain1Click);

  QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
  help->setObjectName(QStringLiteral("Help1"));
  QAction* editing = help->addAction(QStringLiteral("&Editing"));
  editing->setObjectName(QStringLiteral("Editing1"));
  connect(editing, &QAction::triggered, this, [this] {
    if (showHelp_) {
      showHelp_(0);
    }
  });
  QAction* thisFile = help->addAction(QStringLiteral("This &File"));
  thisFile->setObjectName(QStringLiteral("ThisFile1"));
  connect(thisFile, &QAction::triggered, this, [this] {
    if (showHelp_) {
      showHelp_(fileHelp_);
    }
  });
}

QAction* TOrfEditDlg::Action(const QString& name) const {
  return findChild<QAction*>(name);
}

QMenu* TOrfEditDlg::Menu(const QString& name) const {
  return findChild<QMenu*>(name);
}

void TOrfEditDlg::ApplyMenus() {
  const OrfEditorMenus menus = core_.Menus();
  for (const char* name : {"Cut1", "Paste1", "Undo1", "Redo1", "Replace1", "SaveAs1"}) {
    Action(QString::fromLatin1(name))->setVisible(menus.editingItems);
  }
  editSeparator_->setVisible(menus.editingItems);
  Menu(QStringLiteral("Help1"))->menuAction()->setVisible(menus.helpMenu);
  Action(QStringLiteral("Editing1"))->setVisible(menus.editingHelp);
  Action(QStringLiteral("ThisFile1"))->setVisible(menus.fileHelp);
}

bool TOrfEditDlg::Open(ErrorText& errorText) {
  if (!core_.Open(errorText)) {
    return false;
  }
  EditorFile& file = core_.Document();
  {
    // The text arrives without undo steps. A large one goes in slices, the first now and the rest from the
    // event loop, so that the window shows at once and goes on working while the widget takes the rest.
    QString text = file.validText
                       ? QString::fromUtf8(file.text.data(), static_cast<qsizetype>(file.text.size()))
                       : ToQString(file.text);
    std::string().swap(file.text); // the widget holds the text from now on
    edit_->setUndoRedoEnabled(false);
    const qsizetype firstEnd = SliceEnd(text, 0);
    if (firstEnd == text.size()) {
      edit_->setPlainText(text);
      edit_->setUndoRedoEnabled(true);
    } else {
      edit_->setPlainText(text.left(firstEnd));
      pending_ = std::move(text);
      pendingFrom_ = firstEnd;
    }
  }
  edit_->setReadOnly(core_.ReadOnly());
  if (core_.ReadOnly()) {
    // A caret that moves, so the position field follows the reader.
    edit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  }
  edit_->document()->setModified(false);
  if (!core_.Note().empty()) {
    note_->setText(ToQString(core_.Note()));
    note_->show();
  }
  ApplyMenus();
  Edit1Click();
  stateField_->setText(ToQString(core_.InitialStateField()));
  hintField_->clear();
  UpdatePosition();
  connect(edit_, &QPlainTextEdit::cursorPositionChanged, this, [this] {
    UpdatePosition();
    UpdateState();
  });
  connect(edit_, &QPlainTextEdit::modificationChanged, this, &TOrfEditDlg::UpdateState);
  if (Loading()) {
    SetLoadingState(true);
    loadTimer_ = new QTimer(this);
    loadTimer_->setInterval(0);
    connect(loadTimer_, &QTimer::timeout, this, &TOrfEditDlg::LoadNextSlice);
    loadTimer_->start();
  }
  return true;
}

void TOrfEditDlg::SetLoadingState(bool loading) {
  const bool editable = !core_.ReadOnly();
  edit_->setReadOnly(loading || !editable);
  if (editable) {
    edit_->setTextInteractionFlags(loading ? Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard
                                           : Qt::TextEditorInteraction);
  }
  for (const char* name : {"SaveAs1", "Find1", "Replace1"}) {
    Action(QString::fromLatin1(name))->setEnabled(!loading);
  }
  Action(QStringLiteral("SearchAgain1"))->setEnabled(!loading && core_.SearchAgainEnabled());
}

void TOrfEditDlg::LoadNextSlice() {
  const qsizetype end = SliceEnd(pending_, pendingFrom_);
  QTextCursor cursor(edit_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(pending_.mid(pendingFrom_, end - pendingFrom_));
  edit_->document()->setModified(false);
  pendingFrom_ = end;
  if (end < pending_.size()) {
    hintField_->setText(
        QStringLiteral("Reading the file: %1%")
            .arg(static_cast<int>(100.0 * static_cast<double>(end) / static_cast<double>(pending_.size()))));
    return;
  }
  loadTimer_->stop();
  QString().swap(pending_);
  pendingFrom_ = 0;
  edit_->setUndoRedoEnabled(true);
  SetLoadingState(false);
  hintField_->clear();
  UpdateState();
}

void TOrfEditDlg::UpdatePosition() {
  const QTextCursor cursor = edit_->textCursor();
  positionField_->setText(
      ToQString(OrfEditor::PositionField(cursor.blockNumber() + 1, cursor.positionInBlock() + 1)));
}

void TOrfEditDlg::UpdateState() {
  if (Loading()) {
    return; // each slice marks the document modified for a moment
  }
  stateField_->setText(ToQString(core_.StateField(edit_->document()->isModified())));
}

std::string TOrfEditDlg::Text() const {
  // The raw text keeps every character as it was read (the plain text would turn no-break spaces into
  // blanks); only the line breaks between blocks become line feeds again.
  QString text = edit_->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return ToStdString(text);
}

void TOrfEditDlg::Edit1Click() {
  const bool editable = !core_.ReadOnly() && !Loading();
  const bool selection = edit_->textCursor().hasSelection();
  const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
  Action(QStringLiteral("Undo1"))->setEnabled(editable && edit_->document()->isUndoAvailable());
  Action(QStringLiteral("Redo1"))->setEnabled(editable && edit_->document()->isRedoAvailable());
  Action(QStringLiteral("Copy1"))->setEnabled(selection);
  Action(QStringLiteral("Cut1"))->setEnabled(editable && selection);
  Action(QStringLiteral("Paste1"))->setEnabled(editable && clipboard != nullptr && clipboard->hasText());
}

void TOrfEditDlg::SaveAs1Click() {
  if (core_.SaveAs1Click(Text())) {
    edit_->document()->setModified(false);
    setWindowTitle(ToQString(core_.Caption()));
  }
}

bool TOrfEditDlg::RunSearchDialog(SearchState& state, bool replace) {
  if (searchDialog_ == nullptr) {
    searchDialog_ = new TSrchDlg1(this);
  }
  const bool confirmed = searchDialog_->Execute(state, replace);
  edit_->setFocus();
  return confirmed;
}

ReplaceAnswer TOrfEditDlg::AskReplace() {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), QStringLiteral("Replace this instance?"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  box.setObjectName(QStringLiteral("ReplaceQuestion"));
  QPushButton* all = box.addButton(QStringLiteral("&All"), QMessageBox::YesRole);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (clicked == all) {
    return ReplaceAnswer::All;
  }
  switch (clicked != nullptr ? box.standardButton(clicked) : QMessageBox::Cancel) {
  case QMessageBox::Yes:
    return ReplaceAnswer::Yes;
  case QMessageBox::No:
    return ReplaceAnswer::No;
  default:
    return ReplaceAnswer::Cancel;
  }
}

void TOrfEditDlg::Find1Click() {
  core_.Find1Click(
      *buffer_, [this](SearchState& state, bool replace) { return RunSearchDialog(state, replace); },
      [this] { return AskReplace(); });
  Action(QStringLiteral("SearchAgain1"))->setEnabled(core_.SearchAgainEnabled());
}

void TOrfEditDlg::Replace1Click() {
  core_.Replace1Click(
      *buffer_, [this](SearchState& state, bool replace) { return RunSearchDialog(state, replace); },
      [this] { return AskReplace(); });
  Action(QStringLiteral("SearchAgain1"))->setEnabled(core_.SearchAgainEnabled());
}

void TOrfEditDlg::SearchAgain1Click() {
  core_.SearchAgain1Click(*buffer_, [this] { return AskReplace(); });
}

void TOrfEditDlg::reject() {
  // Escape closes the window the way its close item does.
  close();
}

void TOrfEditDlg::closeEvent(QCloseEvent* event) {
  if (!core_.FormCloseQuery(edit_->document()->isModified(), [this] { return Text(); })) {
    event->ignore();
    return;
  }
  event->accept();
  if (loadTimer_ != nullptr) {
    loadTimer_->stop(); // closed before the whole file was in: nothing of it was changed
  }
  done(QDialog::Rejected);
}

bool TOrfEditDlg::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    hintField_->setText(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QDialog::event(event);
}

} // namespace pelorin
