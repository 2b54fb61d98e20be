#include "ui/qt_user_interface.h"

#include "app/application.h"
#include "platform/dialog_filter.h"
#include "ui/cust_chus_form.h"
#include "ui/help_window.h"
#include "ui/orf_edit_dlg.h"
#include "ui/passing_note.h"
#include "ui/qt_text.h"
#include "ui/wait_form.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace pelorin {

namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
  case MessageKind::Error:
    return QMessageBox::Critical;
  case MessageKind::Warning:
    return QMessageBox::Warning;
  case MessageKind::Information:
    return QMessageBox::Information;
  case MessageKind::Confirmation:
    return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QString CaptionOf(MessageKind kind) {
  switch (kind) {
  case MessageKind::Error:
    return QStringLiteral("Error");
  case MessageKind::Warning:
    return QStringLiteral("Warning");
  case MessageKind::Information:
    return QStringLiteral("Information");
  case MessageKind::Confirmation:
    return QStringLiteral("Confirm");
  }
  return QString();
}

struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  bool help;
  QMessageBox::StandardButton escape;
};

ButtonSet ButtonsOf(MessageButtons buttons) {
  switch (buttons) {
  case MessageButtons::Ok:
    return {QMessageBox::Ok, false, QMessageBox::Ok};
  case MessageButtons::OkHelp:
    return {QMessageBox::Ok, true, QMessageBox::Ok};
  case MessageButtons::OkCancel:
    return {QMessageBox::Ok | QMessageBox::Cancel, false, QMessageBox::Cancel};
  case MessageButtons::OkCancelHelp:
    return {QMessageBox::Ok | QMessageBox::Cancel, true, QMessageBox::Cancel};
  case MessageButtons::YesNo:
    return {QMessageBox::Yes | QMessageBox::No, false, QMessageBox::No};
  case MessageButtons::YesNoHelp:
    return {QMessageBox::Yes | QMessageBox::No, true, QMessageBox::No};
  case MessageButtons::YesNoCancel:
    return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, false, QMessageBox::Cancel};
  }
  return {QMessageBox::Ok, false, QMessageBox::Ok};
}

MessageAnswer AnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
  case QMessageBox::Cancel:
    return MessageAnswer::Cancel;
  case QMessageBox::Yes:
    return MessageAnswer::Yes;
  case QMessageBox::No:
    return MessageAnswer::No;
  default:
    return MessageAnswer::Ok;
  }
}

QStringList NameFilters(const std::string& filter) {
  QStringList filters;
  for (const DialogFilter& entry : ParseDialogFilter(filter)) {
    QStringList patterns;
    for (const std::string& pattern : entry.patterns) {
      patterns << ToQString(pattern);
    }
    filters << ToQString(entry.label) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                   QLatin1Char(')');
  }
  return filters;
}

} // namespace

QtUserInterface::QtUserInterface() = default;

QtUserInterface::~QtUserInterface() {
  CloseHelpWindows();
  waitForm_.reset();
  if (busy_) {
    QApplication::restoreOverrideCursor();
  }
}

QWidget* QtUserInterface::DialogParent() const {
  // A question asked from a modal window (the editor's "Save Changes?") belongs over that window, or it
  // would hide behind it; one asked while a job runs sits over the wait dialog, since the main window takes
  // no input then.
  QWidget* modal = QApplication::activeModalWidget();
  if (modal != nullptr && modal->isVisible()) {
    return modal;
  }
  if (waitForm_ != nullptr && waitForm_->isVisible()) {
    return waitForm_.get();
  }
  return mainWindow_ != nullptr && mainWindow_->isVisible() ? mainWindow_.data() : nullptr;
}

void QtUserInterface::BeforeDialog() const {
  if (beforeDialog_) {
    beforeDialog_();
  }
}

MessageAnswer QtUserInterface::Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                       int helpTopic) {
  BeforeDialog();
  const ButtonSet set = ButtonsOf(buttons);
  QWidget* parent = DialogParent();
  QMessageBox box(IconOf(kind), CaptionOf(kind), MessageToQString(text), set.buttons, parent);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setEscapeButton(set.escape);
  QPushButton* help = set.help ? box.addButton(QMessageBox::Help) : nullptr;
  // Modal to the main window only, so the help window a Help button opens can be read meanwhile.
  box.setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  while (true) {
    box.exec();
    if (help == nullptr || box.clickedButton() != help) {
      break;
    }
    ShowHelp(helpFile_ ? helpFile_() : std::string(), Application::MessageHelpTopic(helpTopic));
  }
  QAbstractButton* clicked = box.clickedButton();
  return AnswerOf(clicked != nullptr ? box.standardButton(clicked) : set.escape);
}

std::optional<std::string> QtUserInterface::RunFileDialog(const FileDialogRequest& request,
                                                          FileDialogKind kind) {
  BeforeDialog();
  QFileDialog dialog(DialogParent(), ToQString(request.title), ToQString(request.initialDir));
  dialog.setObjectName(QStringLiteral("FileDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (kind == FileDialogKind::Folder) {
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
  } else {
    dialog.setFileMode(kind == FileDialogKind::Open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setAcceptMode(kind == FileDialogKind::Open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    const QStringList filters = NameFilters(request.filter);
    if (!filters.isEmpty()) {
      dialog.setNameFilters(filters);
    }
    if (kind == FileDialogKind::Save && !request.confirmOverwrite) {
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (!request.defaultExt.empty()) {
      dialog.setDefaultSuffix(ToQString(request.defaultExt));
    }
    if (!request.fileName.empty() && !IsNamePattern(request.fileName)) {
      dialog.selectFile(ToQString(request.fileName));
    }
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return ToStdString(dialog.selectedFiles().constFirst());
}

std::optional<std::string> QtUserInterface::OpenFileDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, FileDialogKind::Open);
}

std::optional<std::string> QtUserInterface::SaveFileDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, FileDialogKind::Save);
}

std::optional<std::string> QtUserInterface::FolderDialog(const FileDialogRequest& request) {
  return RunFileDialog(request, FileDialogKind::Folder);
}

std::optional<std::string> QtUserInterface::Prompt(std::string_view caption, std::string_view text,
                                                   std::string_view initial) {
  BeforeDialog();
  QInputDialog dialog(DialogParent());
  dialog.setObjectName(QStringLiteral("PromptDialog"));
  dialog.setWindowTitle(ToQString(caption));
  dialog.setLabelText(MessageToQString(text));
  dialog.setTextValue(ToQString(initial));
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return ToStdString(dialog.textValue());
}

std::optional<int> QtUserInterface::ChooseFromList(std::string_view caption,
                                                   const std::vector<std::string>& items, int preselected) {
  BeforeDialog();
  QStringList entries;
  for (const std::string& item : items) {
    entries << ToQString(item);
  }
  QInputDialog dialog(DialogParent());
  dialog.setObjectName(QStringLiteral("ListDialog"));
  dialog.setWindowTitle(ToQString(caption));
  dialog.setLabelText(ToQString(caption));
  dialog.setComboBoxItems(entries);
  dialog.setComboBoxEditable(false);
  if (preselected >= 0 && preselected < entries.size()) {
    dialog.setTextValue(entries[preselected]);
  }
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  const qsizetype index = entries.indexOf(dialog.textValue());
  return index >= 0 ? std::optional<int>(static_cast<int>(index)) : std::nullopt;
}

std::optional<int> QtUserInterface::ChooseModel(const std::vector<std::string>& items, int preselected) {
  TCustChusForm chooser(items, preselected, DialogParent());
  if (chooser.exec() != QDialog::Accepted || chooser.ChosenIndex() < 0) {
    return std::nullopt;
  }
  return chooser.ChosenIndex();
}

void QtUserInterface::PassingNote(std::string_view text, int milliseconds) {
  PassingNoteWindow::Show(MessageToQString(text), milliseconds, mainWindow_);
}

bool QtUserInterface::SetClipboardText(std::string_view text) {
  // Text handed over by length: a terminating NUL of the core's buffers is no part of it.
  while (!text.empty() && text.back() == '\0') {
    text.remove_suffix(1);
  }
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) {
    return false;
  }
  clipboard->setText(ToQString(text));
  return true;
}

void QtUserInterface::Beep() {
  QApplication::beep();
}

void QtUserInterface::Busy(bool on) {
  if (on && !busy_) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (!on && busy_) {
    QApplication::restoreOverrideCursor();
  }
  busy_ = on;
}

void QtUserInterface::ProcessEvents() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

HelpWindow* QtUserInterface::OpenHelpWindow(const std::string& helpFile) const {
  const auto found = helpWindows_.find(helpFile);
  return found != helpWindows_.end() ? found->second.data() : nullptr;
}

void QtUserInterface::ShowHelp(std::string_view helpFile, std::string_view topic) {
  const std::string file(helpFile);
  if (file.empty() || !QFileInfo(ToQString(file)).isFile()) {
    Message(MessageKind::Error, "Cannot find file:\r\n" + file);
    return;
  }
  QPointer<HelpWindow>& window = helpWindows_[file];
  if (window == nullptr) {
    window = new HelpWindow(ToQString(file));
  }
  window->ShowTopic(ToQString(topic));
  window->show();
  window->raise();
  window->activateWindow();
}

std::string QtUserInterface::OpenTextEditor(const TextEditorRequest& request) {
  BeforeDialog();
  QWidget* owner = mainWindow_ != nullptr && mainWindow_->isVisible() ? mainWindow_.data() : DialogParent();
  TOrfEditDlg editor(
      *this, request,
      [this](int topic) {
        ShowHelp(helpFile_ ? helpFile_() : std::string(), Application::MessageHelpTopic(topic));
      },
      owner);
  ErrorText errorText;
  if (!editor.Open(errorText)) {
    Message(MessageKind::Error, errorText);
    return request.file;
  }
  editor.exec();
  return editor.FileName();
}

void QtUserInterface::CloseHelpWindows() {
  for (auto& [file, window] : helpWindows_) {
    if (window != nullptr) {
      window->close();
    }
  }
  helpWindows_.clear();
}

void QtUserInterface::ShowHelpTopic(int helpTopic) {
  ShowHelp(helpFile_ ? helpFile_() : std::string(), Application::MessageHelpTopic(helpTopic));
}

void QtUserInterface::SetWaitButtons(std::function<void()> hide, std::function<void()> cancel) {
  waitHide_ = std::move(hide);
  waitCancel_ = std::move(cancel);
}

void QtUserInterface::ShowWaitDialog(std::string_view caption, std::string_view text) {
  if (waitForm_ == nullptr) {
    waitForm_ = std::make_unique<TWaitForm>(
        [this] {
          if (waitHide_) {
            waitHide_();
          }
        },
        [this] {
          if (waitCancel_) {
            waitCancel_();
          }
        });
  }
  waitForm_->Open(ToQString(caption), ToQString(text), mainWindow_);
}

void QtUserInterface::UpdateWaitDialog(std::string_view text, int image) {
  if (waitForm_ != nullptr) {
    waitForm_->Update(ToQString(text), image);
  }
}

void QtUserInterface::CloseWaitDialog() {
  if (waitForm_ != nullptr) {
    waitForm_->hide();
  }
}

void QtUserInterface::MinimizeApplication() {
  if (mainWindow_ != nullptr) {
    mainWindow_->showMinimized();
  }
  if (waitForm_ != nullptr && waitForm_->isVisible()) {
    waitForm_->showMinimized();
  }
}

void QtUserInterface::RestoreApplication() {
  if (mainWindow_ == nullptr) {
    return;
  }
  if (mainWindow_->isMinimized()) {
    mainWindow_->showNormal();
  }
  mainWindow_->raise();
  mainWindow_->activateWindow();
}

} // namespace pelorin
