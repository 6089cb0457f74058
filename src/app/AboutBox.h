// The about box, made afresh for each showing.
#pragma once

#include <QDialog>

class QPushButton;

class AboutBox : public QDialog {
  Q_OBJECT
public:
  explicit AboutBox(QWidget* parent = nullptr);

  QPushButton* OkButton;
};
