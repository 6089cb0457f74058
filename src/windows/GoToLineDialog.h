// The "Goto Line Number" dialog. Made once and kept, so the last number is offered again.
#pragma once

#include <QDialog>

#include <string_view>

class QPushButton;
class QSpinBox;

// The number a typed text stands for: a whole number limited to 0..maximum, and 0 for
// anything else (an empty box included).
[[nodiscard]] int LineNumberFromText(std::string_view text, int maximum);

class GoToLineDialog : public QDialog {
  Q_OBJECT
public:
  explicit GoToLineDialog(QWidget* parent = nullptr);

  QSpinBox* LineNumberSpin;
  QPushButton* OkButton;
  QPushButton* CancelButton;

  // The box accepts any line of the text it is asked about.
  void SetLineCount(int lines);
  // The box's value, with what is still being typed read and limited first.
  [[nodiscard]] int LineNumber() const;

protected:
  void showEvent(QShowEvent* event) override;
};
