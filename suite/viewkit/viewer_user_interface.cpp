#include "viewkit/viewer_user_interface.h"

#include <QApplication>
#include <QCursor>

namespace pelorin {

namespace {

QString Text(std::string_view text) {
  QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return out;
}

} // namespace

MessageAnswer ViewerUserInterface::Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                           int helpTopic) {
  (void)helpTopic;
  if (kind == MessageKind::Error || kind == MessageKind::Warning) {
    services_.showError(window_, title_, Text(text));
  } else {
    services_.showInformation(window_, title_, Text(text));
  }
  return buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoHelp ||
                 buttons == MessageButtons::YesNoCancel
             ? MessageAnswer::Yes
             : MessageAnswer::Ok;
}

bool ViewerUserInterface::SetClipboardText(std::string_view text) {
  services_.setClipboardText(Text(text));
  return true;
}

void ViewerUserInterface::Busy(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

} // namespace pelorin
