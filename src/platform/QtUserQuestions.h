// Message boxes and file dialogs: the program's answer to UserQuestions.
#pragma once

#include "UserQuestions.h"

#include <QMessageBox>
#include <QSortFilterProxyModel>

#include <memory>

class QWidget;

// What a program chooser lists of a file-dialog model: folders to go through, and files the user
// may run. Each row is looked at on the disk itself, since the dialog's model learns permissions
// only later.
class ProgramsAndFolders : public QSortFilterProxyModel {
public:
  using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
  [[nodiscard]] bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
};

class QtUserQuestions : public UserQuestions {
public:
  // Dialogs are parented to whatever `parent()` returns when they open (the active window).
  explicit QtUserQuestions(QWidget* (*parent)() = nullptr) : parent_(parent) {}

  Answer AskYesNo(const std::string& text) override;
  Answer AskYesNoCancel(const std::string& text) override;
  Answer AskYesNoCancelAll(const std::string& text) override;
  void Inform(const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::optional<std::string> ChooseFileToOpen(const FileDialogRequest& request) override;
  std::vector<std::string> ChooseFilesToOpen(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest& request) override;
  std::optional<std::string> ChooseFolder(const std::string& title,
                                          const std::string& initialFolder) override;

  // "A|*.a|All|*.*" -> "A (*.a);;All (*.*)" style filters Qt understands.
  static std::string qtFilter(const std::string& filter);
  // A message box in the program's name, fixed in size, with the dialog frame and Yes (or OK)
  // as its default button.
  static std::unique_ptr<QMessageBox> messageBox(QMessageBox::Icon icon, const std::string& text,
                                                 QMessageBox::StandardButtons buttons, QWidget* parent);

private:
  QWidget* dialogParent() const;
  // A file chooser that lists folders and the files the user may run.
  std::optional<std::string> chooseProgram(const FileDialogRequest& request);
  Answer ask(QMessageBox::Icon icon, const std::string& text, QMessageBox::StandardButtons buttons);
  QWidget* (*parent_)();
};
