// The go-to-line dialog: one bold number box with arrows, OK and Cancel.
#include "GoToLineDialog.h"

#include "Dialogs.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

std::string_view trimmed(std::string_view text) {
  const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return text;
}

bool isWholeNumber(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Any number may be typed, also one past the end of the text; leaving or confirming the box
// limits it, and turns a text that is no number into 0 rather than the last value.
class LineSpinBox : public QSpinBox {
public:
  using QSpinBox::QSpinBox;
  QValidator::State validate(QString& input, int& pos) const override {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state == QValidator::Invalid && isWholeNumber(trimmed(input.toStdString())))
      return QValidator::Intermediate;
    return state;
  }
  void fixup(QString& input) const override {
    input = QString::number(LineNumberFromText(input.toStdString(), maximum()));
  }
};

} // namespace

int LineNumberFromText(std::string_view text, int maximum) {
  text = trimmed(text);
  if (!isWholeNumber(text) || maximum <= 0) return 0;
  std::int64_t value = 0;
  for (char c : text)
    value = std::min<std::int64_t>(value * 10 + (c - '0'), maximum); // saturates, never overflows
  return static_cast<int>(value);
}

GoToLineDialog::GoToLineDialog(QWidget* parent)
    : QDialog(parent), LineNumberSpin(new LineSpinBox(this)), OkButton(new QPushButton("&OK", this)),
      CancelButton(new QPushButton("&Cancel", this)) {
  setWindowTitle("Goto Line Number");
  LineNumberSpin->setRange(0, 100);
  LineNumberSpin->setSingleStep(1);
  LineNumberSpin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  QFont bold = LineNumberSpin->font();
  bold.setBold(true);
  LineNumberSpin->setFont(bold);
  LineNumberSpin->setMinimumWidth(80); // room for the line numbers of long files

  auto* label = new QLabel("Enter new line number :", this);
  label->setBuddy(LineNumberSpin);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  auto* layout = new QGridLayout(this);
  layout->addWidget(label, 0, 0);
  layout->addWidget(LineNumberSpin, 0, 1);
  layout->addLayout(buttons, 1, 0, 1, 2);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void GoToLineDialog::SetLineCount(int lines) { LineNumberSpin->setMaximum(std::max(lines, 0)); }

int GoToLineDialog::LineNumber() const {
  LineNumberSpin->interpretText();
  return LineNumberSpin->value();
}

void GoToLineDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(*this);
  QDialog::showEvent(event);
  LineNumberSpin->setFocus();
  LineNumberSpin->selectAll();
}
