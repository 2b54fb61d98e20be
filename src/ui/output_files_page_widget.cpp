#include "ui/output_files_page_widget.h"

#include "model/model_set_up.h"
#include "ui/qt_text.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pelorin {

OutputFilesPageWidget::OutputFilesPageWidget(ModelSetUp& model, QWidget* parent)
    : QWidget(parent), model_(model), outputDir_(new QLabel(this)),
      change_(new QPushButton(QStringLiteral("Change"), this)), outputList_(new QListWidget(this)),
      postSimLabel_(new QLabel(QStringLiteral("Names of post-simulation files:"), this)),
      postSimNote_(new QLabel(QStringLiteral("A post-simulation run follows each simulation."), this)),
      postSimName_(new QLineEdit(this)) {
  setObjectName(QStringLiteral("OutputFilesTabSheet"));
  outputDir_->setObjectName(QStringLiteral("OutputDirLabel"));
  outputDir_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  outputDir_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  outputDir_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  change_->setObjectName(QStringLiteral("ChangeOutputDirButton"));
  outputList_->setObjectName(QStringLiteral("OutputFilesListBox"));
  postSimName_->setObjectName(QStringLiteral("PostSimNameEdit"));
  postSimLabel_->setBuddy(postSimName_);

  auto* folderLabel = new QLabel(QStringLiteral("Default output directory:"), this);
  auto* listLabel =
      new QLabel(QStringLiteral("Output files (click on a line to change that file's name):"), this);
  QFont bold = folderLabel->font();
  bold.setBold(true);
  folderLabel->setFont(bold);
  listLabel->setFont(bold);

  auto* folderRow = new QHBoxLayout;
  folderRow->addWidget(folderLabel);
  folderRow->addWidget(change_);
  folderRow->addStretch(1);
  auto* postSimRow = new QHBoxLayout;
  postSimRow->addWidget(postSimLabel_);
  postSimRow->addWidget(postSimName_);
  postSimRow->addWidget(postSimNote_, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(folderRow);
  layout->addWidget(outputDir_);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addWidget(listLabel);
  layout->addWidget(outputList_, 1);
  layout->addLayout(postSimRow);

  connect(change_, &QPushButton::clicked, this, [this] {
    model_.ChangeOutputDirButtonClick();
    Q_EMIT Changed();
  });
  connect(outputList_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    model_.OutputFilesListBoxChange(outputList_->row(item));
    Q_EMIT Changed();
  });
  connect(postSimName_, &QLineEdit::textEdited, this,
          [this](const QString& text) { model_.OutputPage.PostSimName = ToStdString(text); });
}

void OutputFilesPageWidget::Refresh() {
  const OutputFilesPage& page = model_.OutputPage;
  outputDir_->setText(ToQString(page.OutputDirLabel));
  outputDir_->setToolTip(ToQString(page.OutputDirLabel));
  if (page.OutputLines != shownLines_) {
    shownLines_ = page.OutputLines;
    const QSignalBlocker blocker(outputList_);
    outputList_->clear();
    for (const std::string& line : shownLines_) {
      outputList_->addItem(ToQString(line));
    }
  }
  if (postSimName_->text() != ToQString(page.PostSimName)) {
    postSimName_->setText(ToQString(page.PostSimName));
  }
  postSimLabel_->setVisible(page.PostSimVisible);
  postSimName_->setVisible(page.PostSimVisible);
  postSimNote_->setVisible(page.PostSimVisible);
}

void OutputFilesPageWidget::SetSizes(int pageControlWidth) {
  outputDir_->setFixedWidth(std::max(pageControlWidth * 7 / 8, 1));
}

} // namespace pelorin
