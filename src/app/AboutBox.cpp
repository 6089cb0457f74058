#include "AboutBox.h"

#include "Dialogs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A tile of four blocks, the brackets of a C block across it.
QPixmap picture() {
  QPixmap pixmap(64, 64);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QColor colours[] = {QColor(52, 101, 164), QColor(78, 154, 6), QColor(204, 0, 0),
                            QColor(232, 188, 72)};
  for (int i = 0; i < 4; ++i)
    painter.fillRect(QRectF(4 + (i % 2) * 29, 4 + (i / 2) * 29, 27, 27), colours[i]);
  painter.setPen(Qt::white);
  QFont font("Courier New", 28, QFont::Bold);
  font.setStyleHint(QFont::TypeWriter);
  painter.setFont(font);
  painter.drawText(QRect(0, 0, 64, 64), Qt::AlignCenter, "{}");
  return pixmap;
}

} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About");
  UseDialogFrame(*this);
  auto* image = new QLabel;
  image->setPixmap(picture());
  auto* name = new QLabel("<b>Tessarin</b>");
  auto* version = new QLabel("Version 0.3");
  OKButton = new QPushButton("&OK");
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* texts = new QVBoxLayout;
  texts->addWidget(name);
  texts->addWidget(version);
  texts->addStretch();
  auto* top = new QHBoxLayout;
  top->addWidget(image);
  top->addSpacing(12);
  top->addLayout(texts);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}
