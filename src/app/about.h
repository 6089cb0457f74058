// The about box, made afresh for each showing.
#pragma once

#include <QDialog>

class QPushButton;

class TAboutBox : public QDialog {
  Q_OBJECT
public:
  explicit TAboutBox(QWidget* parent = nullptr);

  QPushButton* OKButton;
};
