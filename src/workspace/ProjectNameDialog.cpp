// The project details dialog: two labelled fields, a file chooser and OK/Cancel.
#include "ProjectNameDialog.h"

#include "Dialogs.h"
#include "DisplayText.h"
#include "ProjectList.h"
#include "ProjectTree.h"
#include "UserQuestions.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

ProjectNameDialog::ProjectNameDialog(UserQuestions& questions, QWidget* parent)
    : QDialog(parent), ProjectNameEdit(new QLineEdit(this)), ProjectFileNameEdit(new QLineEdit(this)),
      BrowseButton(new QPushButton("&Browse", this)), OkButton(new QPushButton("&OK", this)),
      CancelButton(new QPushButton("&Cancel", this)), questions_(questions) {
  setWindowTitle("Enter Project Details");
  auto* layout = new QGridLayout(this);
  layout->setVerticalSpacing(layout->verticalSpacing() + 2);
  auto* nameLabel = new QLabel("Project &Name", this);
  nameLabel->setBuddy(ProjectNameEdit);
  auto* fileLabel = new QLabel("Project &File Name", this);
  fileLabel->setBuddy(ProjectFileNameEdit);
  layout->addWidget(nameLabel, 0, 0, 1, 2);
  layout->addWidget(ProjectNameEdit, 1, 0, 1, 2);
  layout->addWidget(fileLabel, 2, 0, 1, 2);
  layout->addWidget(ProjectFileNameEdit, 3, 0);
  layout->addWidget(BrowseButton, 3, 1);
  layout->setRowMinimumHeight(4, layout->verticalSpacing() * 2);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OkButton);
  buttons->addWidget(CancelButton);
  layout->addLayout(buttons, 5, 0, 1, 2);
  // Room for a whole project path at any font and scale: the width grows with the font, the
  // height is what the fields need.
  setMinimumWidth(std::max(337, fontMetrics().averageCharWidth() * 64));
  setFixedHeight(sizeHint().height());
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(BrowseButton, &QPushButton::clicked, this, &ProjectNameDialog::BrowseForProjectFile);
}

std::string ProjectNameDialog::ProjectName() const { return FromDisplay(ProjectNameEdit->text()); }

std::string ProjectNameDialog::ProjectFileName() const { return FromDisplay(ProjectFileNameEdit->text()); }

void ProjectNameDialog::SetFields(const std::string& name, const std::string& fileName) {
  ProjectNameEdit->setText(ToDisplay(name));
  ProjectFileNameEdit->setText(ToDisplay(fileName));
}

void ProjectNameDialog::BrowseForProjectFile() {
  FileDialogRequest request;
  request.title = "Save Project File";
  request.filter = "Tessarin Project File (*.tsp)|*.tsp|All Files|*.*";
  request.defaultExtension = "tsp";
  request.initialFile = ProjectFileName();
  if (const auto chosen = questions_.ChooseFileToSave(request))
    ProjectFileNameEdit->setText(ToDisplay(*chosen));
}

void ProjectNameDialog::accept() {
  std::string problem = ProjectNameProblem(ProjectName());
  if (problem.empty()) problem = StoredPathProblem(ProjectFileName());
  if (!problem.empty()) {
    questions_.ShowError(problem);
    return;
  }
  QDialog::accept();
}

void ProjectNameDialog::showEvent(QShowEvent* event) {
  CentreOnScreen(*this);
  QDialog::showEvent(event);
}
