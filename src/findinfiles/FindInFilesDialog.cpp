// The find in files dialog: the texts, the options, where to search, and its two buttons.
#include "FindInFilesDialog.h"

#include "CodePage.h"
#include "Dialogs.h"
#include "DisplayText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

void RememberText(QComboBox& box, const QString& text) {
  if (text.isEmpty()) return;
  const QString kept = text; // the box's own text changes as items move
  const int existing = box.findText(kept);
  if (existing >= 0) box.removeItem(existing);
  box.insertItem(0, kept);
  while (box.count() > FindInFilesDialog::kHistoryLength)
    box.removeItem(box.count() - 1);
  box.setCurrentIndex(0);
  box.setEditText(kept);
}

FindInFilesDialog::FindInFilesDialog(bool desktop, QWidget* parent)
    : QDialog(parent, Qt::Tool), FindTextComboBox(new QComboBox),
      CaseCheckBox(new QCheckBox("&Case sensitive")), WholeWordCheckBox(new QCheckBox("&Whole words only")),
      OkButton(new QPushButton("&OK")), CancelButton(new QPushButton("&Cancel")),
      NewTextLabel(new QLabel("R&eplace with:")), NewTextComboBox(new QComboBox),
      RegexCheckBox(new QCheckBox("Regular e&xpression")),
      ProjectRadioButton(new QRadioButton("Active &project")),
      WorkspaceRadioButton(new QRadioButton("Whole wor&kspace")),
      FolderRadioButton(new QRadioButton("F&older:")), FolderEdit(new QLineEdit),
      BrowseButton(new QPushButton("...")), PatternsEdit(new QLineEdit("*.c;*.h")),
      SubfoldersCheckBox(new QCheckBox("Include &subfolders")), desktop_(desktop) {
  for (QComboBox* box : {FindTextComboBox, NewTextComboBox}) {
    box->setEditable(true);
    // The dialog keeps its own history, last text first; the classic list stays empty.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }
  auto* label = new QLabel("Text to find:");
  label->setBuddy(FindTextComboBox);
  NewTextLabel->setBuddy(NewTextComboBox);

  auto* options = new QGroupBox(" Options: ");
  auto* optionLayout = new QVBoxLayout(options);
  optionLayout->addWidget(CaseCheckBox);
  optionLayout->addWidget(WholeWordCheckBox);
  optionLayout->addWidget(RegexCheckBox);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  buttons->addStretch();
  auto* fields = new QVBoxLayout;
  fields->addWidget(label);
  fields->addWidget(FindTextComboBox);
  fields->addWidget(NewTextLabel);
  fields->addWidget(NewTextComboBox);
  fields->addWidget(options);
  QWidget* where = WhereGroup();
  if (desktop) fields->addWidget(where);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(fields, 1);
  layout->addLayout(buttons);
  if (!desktop) {
    // The classic dialog searches the active project only.
    where->setParent(this);
    where->hide();
  }

  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  RegexCheckBox->setVisible(desktop);
  // The widgets join the dialog as the layout takes them, so Tab goes down the fields as they
  // show and then to the buttons. (Moving Qt's tab order afterwards breaks its chain around the
  // combo boxes.)
  WorkspaceRadioButton->setChecked(true);
  SubfoldersCheckBox->setChecked(true);
  SetReplacing(false);
  setMinimumWidth(desktop ? 460 : 360);
}

QWidget* FindInFilesDialog::WhereGroup() {
  auto* where = new QGroupBox(" Where: ");
  auto* grid = new QGridLayout(where);
  grid->addWidget(WorkspaceRadioButton, 0, 0, 1, 3);
  grid->addWidget(ProjectRadioButton, 1, 0, 1, 3);
  grid->addWidget(FolderRadioButton, 2, 0);
  grid->addWidget(FolderEdit, 2, 1);
  grid->addWidget(BrowseButton, 2, 2);
  auto* patternsLabel = new QLabel("File &types:", where);
  patternsLabel->setBuddy(PatternsEdit);
  grid->addWidget(patternsLabel, 3, 0);
  grid->addWidget(PatternsEdit, 3, 1, 1, 2);
  grid->addWidget(SubfoldersCheckBox, 4, 1, 1, 2);
  connect(FolderRadioButton, &QRadioButton::toggled, this, &FindInFilesDialog::EnableFolderFields);
  connect(BrowseButton, &QPushButton::clicked, this, [this] {
    if (!ChooseFolder) return;
    if (const auto folder = ChooseFolder(FromDisplay(FolderEdit->text()))) {
      FolderEdit->setText(ToDisplay(*folder));
      FolderRadioButton->setChecked(true);
    }
  });
  EnableFolderFields();
  return where;
}

void FindInFilesDialog::EnableFolderFields() {
  for (QWidget* field : std::initializer_list<QWidget*>{FolderEdit, PatternsEdit, SubfoldersCheckBox})
    field->setEnabled(FolderRadioButton->isChecked());
}

void FindInFilesDialog::SetReplacing(bool replacing) {
  replacing_ = replacing && desktop_;
  NewTextLabel->setVisible(replacing_);
  NewTextComboBox->setVisible(replacing_);
  if (desktop_) {
    // Named for the command, with a button that says what it does (Replace shows a preview first).
    setWindowTitle(replacing_ ? "Replace in Files" : "Find in Files");
    OkButton->setText(replacing_ ? "&Replace..." : "&Find");
  } else {
    setWindowTitle("Find text in File");
  }
  FitHeight();
}

void FindInFilesDialog::FitHeight() {
  setMinimumHeight(0);
  setMaximumHeight(QWIDGETSIZE_MAX);
  layout()->activate();
  adjustSize();
  setFixedHeight(sizeHint().height());
}

namespace {

std::string Typed(const QString& text, bool desktop) {
  return desktop ? text.toStdString() : QStringToBytes(text);
}

} // namespace

std::string FindInFilesDialog::FindText() const { return Typed(FindTextComboBox->currentText(), desktop_); }

void FindInFilesDialog::SetFindText(const std::string& text, TextEncoding encoding) {
  FindTextComboBox->setEditText(QString::fromStdString(ToUtf8(text, encoding)));
}

std::string FindInFilesDialog::NewText() const { return Typed(NewTextComboBox->currentText(), desktop_); }

bool FindInFilesDialog::CaseSensitive() const { return CaseCheckBox->isChecked(); }

bool FindInFilesDialog::WholeWords() const { return WholeWordCheckBox->isChecked(); }

SearchQuery FindInFilesDialog::Query() const {
  return SearchQuery{FindText(), CaseSensitive(), WholeWords(), desktop_ && RegexCheckBox->isChecked(),
                     desktop_};
}

SearchScope FindInFilesDialog::Scope() const {
  SearchScope scope;
  if (!desktop_) return scope;
  scope.where = FolderRadioButton->isChecked()      ? SearchWhere::Folder
                : WorkspaceRadioButton->isChecked() ? SearchWhere::Workspace
                                                    : SearchWhere::ActiveProject;
  scope.folder = FromDisplay(FolderEdit->text());
  scope.patterns = FromDisplay(PatternsEdit->text());
  scope.subfolders = SubfoldersCheckBox->isChecked();
  return scope;
}

void FindInFilesDialog::RememberTexts() {
  if (!desktop_) return;
  RememberText(*FindTextComboBox, FindTextComboBox->currentText());
  if (replacing_) RememberText(*NewTextComboBox, NewTextComboBox->currentText());
}

void FindInFilesDialog::showEvent(QShowEvent* event) {
  // The style and fonts are known only now: a height fixed before would cut the last row.
  FitHeight();
  CentreOnScreen(*this);
  QDialog::showEvent(event);
  FindTextComboBox->setFocus();
  FindTextComboBox->lineEdit()->selectAll();
}
