// The find in files dialog: a text box, two options and OK/Cancel.
#include "FindInFilesDialog.h"

#include "CodePage.h"
#include "Dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FindInFilesDialog::FindInFilesDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool), FindTextComboBox(new QComboBox(this)),
      CaseCheckBox(new QCheckBox("&Case sensitive")), WholeWordCheckBox(new QCheckBox("&Whole words only")),
      okButton(new QPushButton("&OK", this)), cancelButton(new QPushButton("&Cancel", this)) {
  setWindowTitle("Find text in File");
  FindTextComboBox->setEditable(true);
  // The list stays empty: a confirmed text is not added to it.
  FindTextComboBox->setInsertPolicy(QComboBox::NoInsert);
  auto* label = new QLabel("Text to find:", this);
  label->setBuddy(FindTextComboBox);

  auto* options = new QGroupBox(" Options: ", this);
  auto* optionLayout = new QVBoxLayout(options);
  optionLayout->addWidget(CaseCheckBox);
  optionLayout->addWidget(WholeWordCheckBox);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(okButton);
  buttons->addWidget(cancelButton);
  buttons->addStretch();
  auto* fields = new QVBoxLayout;
  fields->addWidget(label);
  fields->addWidget(FindTextComboBox);
  fields->addWidget(options);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields, 1);
  layout->addLayout(buttons);

  okButton->setDefault(true);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  // Only the width changes when the user resizes it.
  setFixedHeight(sizeHint().height());
  setMinimumWidth(360);
}

std::string FindInFilesDialog::FindText() const { return QStringToBytes(FindTextComboBox->currentText()); }

bool FindInFilesDialog::CaseSensitive() const { return CaseCheckBox->isChecked(); }

bool FindInFilesDialog::WholeWords() const { return WholeWordCheckBox->isChecked(); }

void FindInFilesDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(*this);
  QDialog::showEvent(event);
  FindTextComboBox->setFocus();
}
