// Layout as the classic dialog: 352 by 160, label in a lowered panel, bar, one button place.
#include "ProgressWindow.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

ProgressWindow::ProgressWindow(ProgressState& progress, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      progress_(progress) {
  setFixedSize(352, 160);
  auto* BackPanel = new QFrame(this);
  BackPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  BackPanel->setGeometry(16, 16, 321, 65);
  ProgressLabel = new QLabel(BackPanel);
  ProgressLabel->setAlignment(Qt::AlignCenter);
  ProgressLabel->setWordWrap(true);
  auto* layout = new QVBoxLayout(BackPanel);
  layout->setContentsMargins(2, 2, 2, 2);
  layout->addWidget(ProgressLabel);
  ProgressBar = new QProgressBar(this);
  ProgressBar->setGeometry(16, 96, 321, 16);
  ProgressBar->setTextVisible(false);
  cancelButton = new QPushButton("Cancel", this);
  cancelButton->setGeometry(144, 118, 75, 29);
  cancelButton->setFlat(true);
  okButton = new QPushButton("&OK", this);
  okButton->setGeometry(144, 118, 75, 29);
  okButton->setFlat(true);
  okButton->setDefault(true);
  connect(cancelButton, &QPushButton::clicked, this, [this] { progress_.cancelButtonClick(); });
  connect(okButton, &QPushButton::clicked, this, [this] { progress_.okButtonClick(); });
  progress_.Changed = [this] { Refresh(); };
  Refresh();
}

ProgressWindow::~ProgressWindow() { progress_.Changed = nullptr; }

void ProgressWindow::Refresh() {
  setWindowTitle(QString::fromLatin1(progress_.Caption()));
  QString label = QString::fromLatin1(progress_.Label());
  label.replace('\r', '\n');
  ProgressLabel->setText(label);
  QFont font = ProgressLabel->font();
  font.setBold(progress_.LabelBold());
  ProgressLabel->setFont(font);
  ProgressBar->setRange(0, progress_.Maximum());
  ProgressBar->setValue(progress_.Position());
  okButton->setVisible(progress_.OkVisible());
  cancelButton->setVisible(!progress_.OkVisible());
  if (progress_.Visible() && !isVisible()) {
    show();
    raise();
  } else if (!progress_.Visible() && isVisible()) {
    hide();
  }
}
