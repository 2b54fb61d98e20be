#include "ui/about_box.h"

#include "tools/diagnostics_report.h"
#include "ui/program_icon.h"
#include "ui/qt_text.h"

#include <QAudioDevice>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPushButton>
#include <QSoundEffect>
#include <QUrl>
#include <QVBoxLayout>

namespace pelorin {

namespace {

constexpr int kIconSize = 64;
constexpr int kShakes = 30;
constexpr int kShakePixels = 2;
constexpr int kShakePauseMs = 30;

} // namespace

TvxAboutBox::TvxAboutBox(AboutBoxContents contents, QWidget* owner)
    : QDialog(owner), contents_(std::move(contents)) {
  setObjectName(QStringLiteral("TvxAboutBox"));
  setWindowTitle(QStringLiteral(" About ") + ToQString(contents_.title));

  // The icon moves inside a frame of its own a little larger than itself, so shaking never moves the rest.
  auto* iconFrame = new QWidget;
  iconFrame->setFixedSize(kIconSize + 2 * kShakePixels, kIconSize + 2 * kShakePixels);
  icon_ = new QLabel(iconFrame);
  icon_->setObjectName(QStringLiteral("ProgramIcon"));
  icon_->setPixmap(ProgramIconPixmap(kIconSize));
  icon_->setFixedSize(kIconSize, kIconSize);
  iconHome_ = QPoint(kShakePixels, kShakePixels);
  icon_->move(iconHome_);
  icon_->setCursor(Qt::PointingHandCursor);
  icon_->installEventFilter(this);

  title_ = new QLabel(ToQString(contents_.title));
  title_->setObjectName(QStringLiteral("ProductName"));
  QFont large = title_->font();
  large.setPointSizeF(large.pointSizeF() * 2);
  large.setBold(true);
  title_->setFont(large);
  version_ = new QLabel(ToQString(VersionLine(contents_.version)));
  version_->setObjectName(QStringLiteral("Version"));
  file_ = new QLabel(QStringLiteral("File: ") + ToQString(contents_.executablePath));
  file_->setObjectName(QStringLiteral("FileName"));
  file_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  QStringList suiteLines;
  for (const std::string& line : contents_.suiteVersionLines) {
    suiteLines << ToQString(line);
  }
  suite_ = new QLabel(suiteLines.join(QLatin1Char('\n')));
  suite_->setObjectName(QStringLiteral("SuiteVersion"));
  suite_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  suite_->setMargin(8);
  suite_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* heading = new QHBoxLayout;
  heading->addWidget(iconFrame, 0, Qt::AlignTop);
  heading->addSpacing(12);
  auto* texts = new QVBoxLayout;
  texts->addWidget(title_);
  texts->addWidget(version_);
  texts->addWidget(file_);
  heading->addLayout(texts, 1);

  ok_ = new QPushButton(QStringLiteral("&OK"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  help_ = new QPushButton(QStringLiteral("&Help"));
  help_->setVisible(contents_.helpContext > 0);
  connect(help_, &QPushButton::clicked, this, [this] {
    if (contents_.showHelp) {
      contents_.showHelp(contents_.helpContext);
    }
  });
  diagnostics_ = new QPushButton(QStringLiteral("&Diagnostics"));
  connect(diagnostics_, &QPushButton::clicked, this, [this] {
    if (contents_.showDiagnostics) {
      contents_.showDiagnostics(this);
    }
  });
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(help_);
  buttons->addWidget(diagnostics_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(heading);
  layout->addSpacing(8);
  layout->addWidget(suite_);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  shakeTimer_.setInterval(kShakePauseMs);
  connect(&shakeTimer_, &QTimer::timeout, this, &TvxAboutBox::ShakeStep);
}

TvxAboutBox::~TvxAboutBox() = default;

QString TvxAboutBox::SoundOf(const QDate& day) {
  const int fromSunday = day.dayOfWeek() % 7 + 1; // Qt counts Monday 1 to Sunday 7
  return fromSunday % 2 == 1 ? QStringLiteral("BEE") : QStringLiteral("POP");
}

bool TvxAboutBox::eventFilter(QObject* watched, QEvent* event) {
  if (watched == icon_ && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    ProgramIconClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TvxAboutBox::ProgramIconClick() {
  if (shakeTimer_.isActive()) {
    return;
  }
  lastSound_ = SoundOf(QDate::currentDate());
  // Without a sound device the shake goes on silently.
  if (!QMediaDevices::audioOutputs().isEmpty()) {
    LoadProgramResources();
    sound_ = std::make_unique<QSoundEffect>();
    sound_->setSource(QUrl(QStringLiteral("qrc:/pelorin/") + lastSound_.toLower() + QStringLiteral(".wav")));
    sound_->play();
  }
  shakes_ = 0;
  shakeTimer_.start();
}

void TvxAboutBox::ShakeStep() {
  ++shakes_;
  if (shakes_ > kShakes) {
    shakeTimer_.stop();
    icon_->move(iconHome_);
    if (contents_.iconCallback) {
      contents_.iconCallback();
    }
    return;
  }
  const int offset = shakes_ % 2 == 1 ? kShakePixels : -kShakePixels;
  icon_->move(iconHome_ + QPoint(offset, 0));
}

} // namespace pelorin
