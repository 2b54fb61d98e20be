#include "ui/diag_form.h"

#include "platform/user_interface.h"
#include "platform/whole_file.h"
#include "tools/clipboard_copy.h"
#include "ui/qt_text.h"
#include "ui/window_program.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QVBoxLayout>

namespace pelorin {

namespace {

std::string FontText(const QFont& font) {
  const QFontInfo info(font);
  return ToStdString(info.family()) + "  size: " + std::to_string(info.pointSize());
}

} // namespace

ScreenFacts ScreenFactsOf(const QWidget* window) {
  ScreenFacts facts;
  const QScreen* screen =
      window != nullptr && window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    facts.dpi = static_cast<int>(screen->logicalDotsPerInch() + 0.5);
    facts.width = screen->geometry().width();
    facts.height = screen->geometry().height();
  }
  const QFont menuFont = QApplication::font("QMenu");
  const QFontMetrics metrics(menuFont);
  facts.menuFont = ToStdString(QFontInfo(menuFont).family());
  facts.menuFontSize = QFontInfo(menuFont).pointSize();
  facts.menuFontFixed =
      metrics.horizontalAdvance(QLatin1Char('i')) == metrics.horizontalAdvance(QLatin1Char('m'));
  facts.defaultFont = FontText(WindowProgram::MainFont());
  QFont monospace = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  facts.systemMonospaceFont = FontText(monospace);
  monospace.setStyleHint(QFont::Monospace);
  facts.defaultMonospaceFont = FontText(monospace);
  const QScreen* primary = QGuiApplication::primaryScreen();
  for (const QScreen* each : QGuiApplication::screens()) {
    const QRect area = each->geometry();
    facts.monitors.push_back({area.width(), area.height(), area.top(), area.left(), each == primary});
  }
  return facts;
}

TvxDiagForm::TvxDiagForm(UserInterface& ui, const DiagnosticsFacts& facts, const std::string& suiteFolder,
                         const std::string& tempDir, const std::string& saveDir, QWidget* owner)
    : QDialog(owner), ui_(ui), saveDir_(saveDir) {
  setObjectName(QStringLiteral("TvxDiagForm"));
  setWindowTitle(QStringLiteral(" Diagnostics"));
  setSizeGripEnabled(true);

  note_ = new QLabel(QStringLiteral(
      "If you would like to report a problem, please copy the contents of the memo below into your email "
      "describing the problem, or save the contents as a file and attach it."));
  note_->setObjectName(QStringLiteral("Note"));
  note_->setWordWrap(true);
  memo_ = new QPlainTextEdit;
  memo_->setObjectName(QStringLiteral("Memo"));
  memo_->setReadOnly(true);
  memo_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont monospace = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  monospace.setStyleHint(QFont::Monospace);
  memo_->setFont(monospace);
  memo_->setTabStopDistance(8 * QFontMetricsF(monospace).horizontalAdvance(QLatin1Char(' ')));

  ok_ = new QPushButton(QStringLiteral("&OK"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  copy_ = new QPushButton(QStringLiteral("&Copy"));
  connect(copy_, &QPushButton::clicked, this, &TvxDiagForm::CopyButtonClick);
  save_ = new QPushButton(QStringLiteral("&Save"));
  connect(save_, &QPushButton::clicked, this, &TvxDiagForm::SaveButtonClick);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(copy_);
  buttons->addWidget(save_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(note_);
  layout->addWidget(memo_, 1);
  layout->addLayout(buttons);
  const int unit = std::max(fontMetrics().height(), 1);
  resize(48 * unit, 36 * unit);

  report_ = BuildDiagnosticsReport(facts, LiveSystemView());
  if (run_.Begin(report_, suiteFolder, facts.programDir, tempDir)) {
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, &TvxDiagForm::TimerTick);
    timer_.start();
  }
  ShowReport();
}

TvxDiagForm::~TvxDiagForm() {
  run_.Abandon();
}

void TvxDiagForm::ShowReport() {
  memo_->setPlainText(ReportText());
  QTextCursor start = memo_->textCursor();
  start.movePosition(QTextCursor::Start);
  memo_->setTextCursor(start);
}

QString TvxDiagForm::ReportText() const {
  return ToQString(report_.Text("\n"));
}

void TvxDiagForm::TimerTick() {
  if (run_.Poll(report_)) {
    timer_.stop();
    ShowReport();
  }
}

void TvxDiagForm::CopyButtonClick() {
  CopyTextWithRetries(ui_, report_.Text("\n") + "\n");
}

void TvxDiagForm::SaveButtonClick() {
  FileDialogRequest request;
  request.title = " Save Diagnostic File";
  request.filter = "Text files|*.txt|All files|*.*";
  request.initialDir = saveDir_;
  request.fileName = "Diag.txt";
  request.defaultExt = "txt";
  request.confirmOverwrite = true;
  const auto chosen = ui_.SaveFileDialog(request);
  if (!chosen || chosen->empty()) {
    return;
  }
  ErrorText errorText;
  if (!ReplaceFileWhole(*chosen, report_.Text("\n") + "\n", "[SaveDiagnostics]", errorText)) {
    ui_.Message(MessageKind::Error, errorText);
  }
}

void TvxDiagForm::done(int result) {
  timer_.stop();
  run_.Abandon();
  QDialog::done(result);
}

} // namespace pelorin
