// The commands of the workspace tree and their enabled states: Set Active Project, Add Files,
// Remove File, Add New Project, Remove Project, Properties, and the double-click on a file.
// The main window connects its actions here and passes in what belongs to other parts of it.
#pragma once

#include "ProjectList.h"
#include "Settings.h"
#include "UserQuestions.h"

#include <QDialog>
#include <functional>

class QAction;
class QTreeWidget;
class FilePropertiesDialog;
class ProjectNameDialog;

// What the tree commands need from the main window.
struct ProjectTreeWindow {
  // Build's RebuildAll to false and the "Debug" list emptied.
  std::function<void()> ResetBuildState = [] {};
  // Only the "Debug" list emptied.
  std::function<void()> ClearDebugList = [] {};
  std::function<void()> RebuildClassView = [] {};
  // Brings the file's editor window to the front, or opens one for it.
  std::function<void(const std::string&)> OpenFile = [](const std::string&) {};
  // Shows a dialog modally; true when it closed with OK.
  std::function<bool(QDialog&)> ShowModal = [](QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
  };
};

// The source file dialog ("Open File", several files at once) that the editor windows share.
[[nodiscard]] FileDialogRequest SourceOpenDialog(const std::string& initialFolder);

class ProjectTreeCommands {
public:
  ProjectTreeCommands(TProjectList& workspace, QTreeWidget& tree, UserQuestions& questions,
                      ProjectNameDialog& nameForm, FilePropertiesDialog& filePropertiesForm,
                      ProjectTreeWindow window);

  void SetActiveProjectActiveExecute();
  void AddFilesToProjectActionExecute();
  void RemoveFileFromProjectActionExecute();
  void AddNewProjectActionExecute();
  void RemoveProjectActionExecute();
  void PropertiesActionExecute();
  void ProjectTreeViewDblClick();

  // Idle-time updates; each writes the action's state only when it changes.
  // Serves BuildAction and SetActiveProjectActive.
  void LevelOneActionUpdate(QAction& action, const Settings& settings) const;
  // Serves AddFilesToProjectAction and RemoveProjectAction.
  void AddFilesToProjectActionUpdate(QAction& action) const;
  // Serves CompileAction and RemoveFileFromProjectAction.
  void CompileActionUpdate(QAction& action) const;
  void PropertiesActionUpdate(QAction& action) const;

private:
  [[nodiscard]] int selectedLevel() const;

  TProjectList& workspace_;
  QTreeWidget& tree_;
  UserQuestions& questions_;
  ProjectNameDialog& nameForm_;
  FilePropertiesDialog& filePropertiesForm_;
  ProjectTreeWindow window_;
};
