// The "Enter Project Details" dialog: a project's name and project file. Created once; its
// fields keep what they held at the last use.
#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class UserQuestions;

class ProjectNameDialog : public QDialog {
  Q_OBJECT
public:
  explicit ProjectNameDialog(UserQuestions& questions, QWidget* parent = nullptr);

  QLineEdit* ProjectNameEdit;
  QLineEdit* ProjectFileNameEdit;
  QPushButton* BrowseButton;
  QPushButton* OkButton;
  QPushButton* CancelButton;

  [[nodiscard]] std::string ProjectName() const;
  [[nodiscard]] std::string ProjectFileName() const;
  void SetFields(const std::string& name, const std::string& fileName);

  // "&Browse": a save dialog for the project file; a chosen name fills the field.
  void BrowseForProjectFile();

  // OK keeps the dialog open, with a message, while the name or the file name cannot be stored.
  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  UserQuestions& questions_;
};
