// 352 by 160 pixels with the label in a lowered panel, growing
// downwards when the label needs more lines.
#include "ProgressWindow.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWindow>

ProgressWindow::ProgressWindow(ProgressState& progress, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), progress_(progress) {
  auto* BackPanel = new QFrame;
  BackPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  BackPanel->setMinimumSize(321, 65);
  ProgressLabel = new QLabel;
  ProgressLabel->setAlignment(Qt::AlignCenter);
  ProgressLabel->setWordWrap(true);
  auto* panelLayout = new QVBoxLayout(BackPanel);
  panelLayout->setContentsMargins(2, 2, 2, 2);
  panelLayout->addWidget(ProgressLabel);
  ProgressBar = new QProgressBar;
  ProgressBar->setFixedSize(321, 16);
  ProgressBar->setTextVisible(false);
  CancelButton = new QPushButton("Cancel");
  CancelButton->setFixedSize(75, 29);
  CancelButton->setFlat(true);
  OkButton = new QPushButton("&OK");
  OkButton->setFixedSize(75, 29);
  OkButton->setFlat(true);
  OkButton->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(CancelButton);
  buttons->addWidget(OkButton);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(15, 16, 15, 13);
  layout->setSpacing(6);
  layout->addWidget(BackPanel);
  layout->addSpacing(9);
  layout->addWidget(ProgressBar);
  layout->addLayout(buttons);
  // The window takes the size its contents need: 352 by 160 for a line or two.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(CancelButton, &QPushButton::clicked, this, [this] { progress_.Cancel(); });
  connect(OkButton, &QPushButton::clicked, this, [this] { progress_.Hide(); });
  progress_.Changed = [this] { Refresh(); };
  Refresh();
}

ProgressWindow::~ProgressWindow() { progress_.Changed = nullptr; }

bool ProgressWindow::KeptAboveOwner() const {
  return windowHandle() != nullptr && windowHandle()->transientParent() != nullptr;
}

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
  OkButton->setVisible(progress_.OkVisible());
  CancelButton->setVisible(!progress_.OkVisible());
  // Before showing: the window manager stacks a window as a dialog when it is mapped.
  KeepAboveOwnerWhileRunning();
  if (progress_.Visible() && !isVisible()) {
    show();
    raise();
  } else if (!progress_.Visible() && isVisible()) {
    hide();
  }
}

// While the build runs the window manager keeps the window above the main window, as its
// dialog; once the build has ended it is an ordinary window that others may cover. It never
// stays on top of everything, so message boxes raised during a build show above it.
void ProgressWindow::KeepAboveOwnerWhileRunning() {
  QWindow* window = windowHandle();
  if (window == nullptr || parentWidget() == nullptr) return;
  QWindow* owner = progress_.OkVisible() ? nullptr : parentWidget()->window()->windowHandle();
  if (window->transientParent() == owner) return;
  window->setTransientParent(owner);
  if (owner != nullptr && isVisible()) raise(); // a new build while the last one's end still shows
}
