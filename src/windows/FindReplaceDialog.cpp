// The find-or-replace dialog: two text boxes, four groups of switches and three buttons.
#include "FindReplaceDialog.h"

#include "CodePage.h"
#include "Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

QComboBox* textBox(QWidget* parent) {
  auto* box = new QComboBox(parent);
  box->setEditable(true);
  // The lists stay empty: what was searched is not collected.
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  return box;
}

QGroupBox* group(const char* title, std::initializer_list<QWidget*> members) {
  auto* box = new QGroupBox(title);
  auto* layout = new QVBoxLayout(box);
  for (QWidget* member : members)
    layout->addWidget(member);
  layout->addStretch();
  return box;
}

} // namespace

SearchFlags SearchOptionsOf(const FindSwitches& switches, bool replaceAll) {
  SearchFlags options = 0;
  if (switches.matchCase) options |= ssoMatchCase;
  if (switches.wholeWords) options |= ssoWholeWord;
  if (switches.backwards) options |= ssoBackwards;
  if (switches.fromHome) options |= ssoEntireScope;
  if (switches.selectedOnly) options |= ssoSelectedOnly;
  if (switches.prompt) options |= ssoPrompt;
  if (switches.regularExpression) options |= ssoRegularExpression;
  if (switches.replace) {
    options |= ssoReplace;
    if (replaceAll) options |= ssoReplaceAll;
  }
  return options;
}

FindReplaceDialog::FindReplaceDialog(QWidget* parent)
    : QDialog(parent), FindTextComboBox(textBox(this)), NewTextLabel(new QLabel("Text to insert:", this)),
      NewTextComboBox(textBox(this)), SearchRadioButton(new QRadioButton("Search only")),
      ReplaceRadioButton(new QRadioButton("Search and replace")),
      CaseCheckBox(new QCheckBox("&Case sensitive")), WholeWordCheckBox(new QCheckBox("&Whole words only")),
      PromptCheckBox(new QCheckBox("&Prompt on replace")),
      RegexCheckBox(new QCheckBox("Regular e&xpression")), ForwardRadioButton(new QRadioButton("Forwar&d")),
      BackwardRadioButton(new QRadioButton("&Backward")), GlobalRadioButton(new QRadioButton("&Global")),
      SelectedRadioButton(new QRadioButton("&Selected text")),
      FromCursorRadioButton(new QRadioButton("&From cursor")),
      HomeRadioButton(new QRadioButton("From &home position")), OkButton(new QPushButton("&OK", this)),
      AllButton(new QPushButton("&Replace All", this)), CancelButton(new QPushButton("&Cancel", this)) {
  setWindowTitle("Find or replace text");
  setWindowFlag(Qt::Tool);
  setSizeGripEnabled(false); // the status bar carries the grip

  auto* texts = new QGridLayout;
  auto* findLabel = new QLabel("Text to find:", this);
  findLabel->setBuddy(FindTextComboBox);
  NewTextLabel->setBuddy(NewTextComboBox);
  texts->addWidget(findLabel, 0, 0);
  texts->addWidget(FindTextComboBox, 0, 1);
  texts->addWidget(NewTextLabel, 1, 0);
  texts->addWidget(NewTextComboBox, 1, 1);

  auto* groups = new QGridLayout;
  groups->addWidget(group(" Operation: ", {SearchRadioButton, ReplaceRadioButton}), 0, 0);
  groups->addWidget(group(" Options: ", {CaseCheckBox, WholeWordCheckBox, PromptCheckBox, RegexCheckBox}), 0,
                    1, 2, 1);
  groups->addWidget(group(" Direction: ", {ForwardRadioButton, BackwardRadioButton}), 1, 0);
  groups->addWidget(group(" Scope: ", {GlobalRadioButton, SelectedRadioButton}), 2, 0);
  groups->addWidget(group("Origin: ", {FromCursorRadioButton, HomeRadioButton}), 2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(AllButton);
  buttons->addWidget(CancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(texts);
  layout->addLayout(groups);
  layout->addLayout(buttons);
  layout->addWidget(new QStatusBar(this));

  SearchRadioButton->setChecked(true);
  ForwardRadioButton->setChecked(true);
  GlobalRadioButton->setChecked(true);
  HomeRadioButton->setChecked(true);
  OkButton->setDefault(true);

  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(AllButton, &QPushButton::clicked, this, [this] { done(ReplaceAllResult); });
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // Also when Find or Replace sets the operation, so the dialog never shows a stale state.
  connect(ReplaceRadioButton, &QRadioButton::toggled, this, &FindReplaceDialog::EnableReplaceFields);
  connect(FindTextComboBox, &QComboBox::editTextChanged, this, &FindReplaceDialog::EnableButtons);

  PrepareForInput();
  // Resizable across, fixed in height.
  setFixedHeight(sizeHint().height());
  resize(420, height());
}

namespace {

// A character the document cannot hold is searched for as the code page has it: never found.
std::string InEncoding(const QString& text, TextEncoding encoding) {
  return FromUtf8(text.toStdString(), encoding).value_or(QStringToBytes(text));
}

} // namespace

std::string FindReplaceDialog::FindText(TextEncoding encoding) const {
  return InEncoding(FindTextComboBox->currentText(), encoding);
}

void FindReplaceDialog::SetFindText(const std::string& text, TextEncoding encoding) {
  FindTextComboBox->setEditText(QString::fromStdString(ToUtf8(text, encoding)));
}

std::string FindReplaceDialog::NewText(TextEncoding encoding) const {
  return InEncoding(NewTextComboBox->currentText(), encoding);
}

FindSwitches FindReplaceDialog::Switches() const {
  FindSwitches switches;
  switches.replace = ReplaceRadioButton->isChecked();
  switches.matchCase = CaseCheckBox->isChecked();
  switches.wholeWords = WholeWordCheckBox->isChecked();
  switches.prompt = PromptCheckBox->isChecked();
  switches.backwards = BackwardRadioButton->isChecked();
  switches.selectedOnly = SelectedRadioButton->isChecked();
  switches.fromHome = HomeRadioButton->isChecked();
  switches.regularExpression = RegexCheckBox->isChecked();
  return switches;
}

void FindReplaceDialog::EnableReplaceFields() {
  const bool replacing = ReplaceRadioButton->isChecked();
  for (QWidget* control :
       std::initializer_list<QWidget*>{NewTextComboBox, NewTextLabel, AllButton, PromptCheckBox})
    control->setEnabled(replacing);
}

void FindReplaceDialog::EnableButtons() {
  OkButton->setEnabled(!FindTextComboBox->currentText().isEmpty());
  AllButton->setEnabled(OkButton->isEnabled() && ReplaceRadioButton->isChecked());
}

void FindReplaceDialog::PrepareForInput() {
  EnableReplaceFields();
  EnableButtons();
  FindTextComboBox->setFocus();
  FindTextComboBox->lineEdit()->selectAll();
}

void FindReplaceDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(*this);
  QDialog::showEvent(event);
  PrepareForInput();
}
