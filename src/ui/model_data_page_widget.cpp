#include "ui/model_data_page_widget.h"

#include "app/main_window_state.h"
#include "model/model_set_up.h"
#include "ui/qt_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace pelorin {

ModelDataPageWidget::ModelDataPageWidget(ModelSetUp& model, QWidget* parent)
    : QWidget(parent), model_(model), modelLabel_(new QLabel(this)),
      changeModel_(new QPushButton(QStringLiteral("&Change Model"), this)),
      inputLabel1_(new QLabel(QStringLiteral("Input data files"), this)), inputLabel2_(new QLabel(this)),
      inputList_(new QListWidget(this)), save_(new QPushButton(QStringLiteral("Save &As..."), this)),
      load_(new QPushButton(QStringLiteral("&Load..."), this)), popup_(new QMenu(this)),
      selectFile_(popup_->addAction(QStringLiteral("&Select or change the file name"))),
      viewFile_(popup_->addAction(QStringLiteral("&View this file"))),
      tellMore_(popup_->addAction(QStringLiteral("&Tell me more about this file"))) {
  setObjectName(QStringLiteral("ModelDataTabSheet"));
  modelLabel_->setObjectName(QStringLiteral("ModelLabel"));
  modelLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  modelLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  changeModel_->setObjectName(QStringLiteral("ChangeModelButton"));
  inputLabel1_->setObjectName(QStringLiteral("InputFilesLabel1"));
  QFont bold = inputLabel1_->font();
  bold.setBold(true);
  inputLabel1_->setFont(bold);
  inputLabel2_->setObjectName(QStringLiteral("InputFilesLabel2"));
  inputList_->setObjectName(QStringLiteral("OrigDataFilesCMFListBox"));
  inputList_->setContextMenuPolicy(Qt::CustomContextMenu);
  inputList_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  save_->setObjectName(QStringLiteral("SaveDataFilesButton"));
  load_->setObjectName(QStringLiteral("LoadDataFilesButton"));
  popup_->setObjectName(QStringLiteral("DataFilesPopupMenu"));
  selectFile_->setObjectName(QStringLiteral("SelectFileName1"));
  viewFile_->setObjectName(QStringLiteral("ViewThisFile1"));
  tellMore_->setObjectName(QStringLiteral("TellMeMore1"));

  auto* top = new QHBoxLayout;
  top->addWidget(changeModel_);
  top->addStretch(1);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(save_);
  buttons->addWidget(load_);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(modelLabel_);
  layout->addLayout(top);
  layout->addSpacing(fontMetrics().height() / 2);
  layout->addWidget(inputLabel1_);
  layout->addWidget(inputLabel2_);
  layout->addWidget(inputList_, 1);
  layout->addLayout(buttons);

  const auto forward = [this](auto routine) {
    return [this, routine] {
      (model_.*routine)();
      Q_EMIT Changed();
    };
  };
  connect(changeModel_, &QPushButton::clicked, this, forward(&ModelSetUp::ChangeModelButtonClick));
  connect(save_, &QPushButton::clicked, this, forward(&ModelSetUp::SaveDataFilesButtonClick));
  connect(load_, &QPushButton::clicked, this, forward(&ModelSetUp::LoadDataFilesButtonClick));
  connect(selectFile_, &QAction::triggered, this, forward(&ModelSetUp::SelectFileName1Click));
  connect(viewFile_, &QAction::triggered, this, forward(&ModelSetUp::ViewThisFile1Click));
  connect(tellMore_, &QAction::triggered, this, forward(&ModelSetUp::TellMeMore1Click));
  connect(inputList_, &QListWidget::currentRowChanged, this,
          [this](int row) { model_.DataPage.SelectedLine = row; });
  connect(inputList_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    const QModelIndex index = inputList_->indexAt(pos);
    if (index.isValid()) {
      OrigDataFilesCMFListBoxMouseDown(index.row(), inputList_->viewport()->mapToGlobal(pos));
    }
  });
}

void ModelDataPageWidget::OrigDataFilesCMFListBoxMouseDown(int index, const QPoint& globalPos) {
  model_.OrigDataFilesCMFListBoxMouseDown(index);
  Q_EMIT Changed();
  selectFile_->setVisible(model_.Popup.SelectVisible);
  viewFile_->setEnabled(model_.Popup.ViewEnabled);
  popup_->popup(globalPos);
}

void ModelDataPageWidget::Refresh(const MainWindowState& window) {
  const ModelDataPage& page = model_.DataPage;
  modelLabel_->setText(ToQString(page.ModelLabel));
  modelLabel_->setToolTip(ToQString(page.ModelLabel));
  inputLabel2_->setText(ToQString(window.inputFilesLabel2));
  if (page.InputLines != shownLines_) {
    shownLines_ = page.InputLines;
    const QSignalBlocker blocker(inputList_);
    inputList_->clear();
    for (const std::string& line : shownLines_) {
      inputList_->addItem(ToQString(line));
    }
  }
  if (inputList_->currentRow() != page.SelectedLine) {
    const QSignalBlocker blocker(inputList_);
    inputList_->setCurrentRow(page.SelectedLine);
  }
  changeModel_->setVisible(page.ChangeModelVisible);
  save_->setVisible(page.SaveLoadVisible);
  load_->setVisible(page.SaveLoadVisible);
  save_->setEnabled(page.SaveAsEnabled);
  selectFile_->setVisible(model_.Popup.SelectVisible);
  viewFile_->setEnabled(model_.Popup.ViewEnabled);
}

} // namespace pelorin
