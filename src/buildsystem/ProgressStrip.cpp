#include "ProgressStrip.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QToolButton>

ProgressStrip::ProgressStrip(ProgressState& progress, QWidget& window)
    : progress_(progress), label_(new QLabel), bar_(new QProgressBar), cancel_(new QToolButton),
      escape_(new QShortcut(QKeySequence(Qt::Key_Escape), &window)) {
  bar_->setTextVisible(false);
  bar_->setMaximumWidth(160);
  cancel_->setText("Cancel");
  cancel_->setToolTip("Cancel the build (Esc)");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(label_, 1);
  layout->addWidget(bar_);
  layout->addWidget(cancel_);
  escape_->setContext(Qt::WindowShortcut);
  connect(cancel_, &QToolButton::clicked, this, [this] { progress_.Cancel(); });
  connect(escape_, &QShortcut::activated, this, [this] { progress_.Cancel(); });
  progress_.Changed = [this] { Refresh(); };
  Refresh();
}

ProgressStrip::~ProgressStrip() { progress_.Changed = nullptr; }

QString ProgressStrip::Text() const { return label_->text(); }

bool ProgressStrip::CancelOffered() const { return !cancel_->isHidden() && escape_->isEnabled(); }

void ProgressStrip::Refresh() {
  // The label's lines side by side: the status bar has room for one.
  QString label = QString::fromLatin1(progress_.Label());
  label_->setToolTip(QString(label).replace('\r', '\n'));
  label_->setText(label.split('\r', Qt::SkipEmptyParts).join("  "));
  const bool cancellable = progress_.Visible() && progress_.Running() && !progress_.OkVisible();
  bar_->setRange(0, progress_.Maximum());
  bar_->setValue(progress_.Position());
  bar_->setVisible(cancellable);
  cancel_->setVisible(cancellable);
  escape_->setEnabled(cancellable);
  setVisible(progress_.Visible());
}
