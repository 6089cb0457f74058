// The commands of the workspace tree and their enabled states: Set Active Project, Add Files,
// Remove File, Add New Project, Remove Project, Properties, and the double-click on a file.
// A plain class: it reads the selection from, and reports every change of the model to, a
// ProjectTreeView, and reaches the rest of the main window through the callbacks it is given.
#pragma once

#include "ProjectList.h"
#include "Settings.h"
#include "UserQuestions.h"

#include <functional>
#include <optional>
#include <string>

class QAction;

// The depth of a tree node below the root "Projects".
enum TreeLevel { RootLevel = 0, ProjectLevel = 1, FolderLevel = 2, FileLevel = 3 };

// The selected node of the workspace tree, as the commands see it.
struct TreeSelection {
  int level = -1;             // -1 when nothing is selected
  Project* project = nullptr; // the project of a project, folder or file node
  int fileIndex = -1;         // a file node's entry in the project's Files
};

// The tree that shows the model, kept in step by the commands.
class ProjectTreeView {
public:
  virtual ~ProjectTreeView() = default;
  [[nodiscard]] virtual TreeSelection Selection() const = 0;
  // The project just appended to the model gets its node; a tree never built gets its root too.
  virtual void ProjectAdded(Project& project) = 0;
  // The file just added to the project gets its node, at the file's place in the project.
  virtual void FileAdded(const Project& project, int fileIndex) = 0;
  // Called before the model lets go of the project or the file, while the node still maps to it.
  virtual void RemovingProject(const Project& project) = 0;
  virtual void RemovingFile(const Project& project, int fileIndex) = 0;
  virtual void ProjectRenamed(const Project& project) = 0;
  // The active project changed, so another caption is drawn in bold.
  virtual void ActiveProjectChanged() = 0;
};

struct ProjectDetails {
  std::string name;
  std::string fileName;
};

// What the tree commands need from the main window.
struct ProjectTreeWindow {
  // Build's RebuildAll to false and the "Debug" list emptied.
  std::function<void()> ResetBuildState = [] {};
  // Only the "Debug" list emptied.
  std::function<void()> ClearBuildMessages = [] {};
  std::function<void()> RebuildClassView = [] {};
  // Brings the file's editor window to the front, or opens one for it.
  std::function<void(const std::string&)> OpenFile = [](const std::string&) {};
  // Asks for a project's name and file in the project dialog, filled with `preset` when there is
  // one (else it shows what it held last); none when the user cancels.
  std::function<std::optional<ProjectDetails>(const std::optional<ProjectDetails>& preset)>
      AskProjectDetails = [](const std::optional<ProjectDetails>&) { return std::nullopt; };
  // Shows a file's full path and modification time.
  std::function<void(const std::string& path)> ShowFileProperties = [](const std::string&) {};
  // Remove Project asks first: the project goes from the workspace with its list of files.
  bool asksBeforeRemovingProject = false;
};

// The source file dialog ("Open File", several files at once) that the editor windows share.
[[nodiscard]] FileDialogRequest SourceOpenDialog(const std::string& initialFolder);

class ProjectTreeCommands {
public:
  ProjectTreeCommands(ProjectList& workspace, ProjectTreeView& view, UserQuestions& questions,
                      ProjectTreeWindow window);

  void ActivateSelectedProject();
  void AddFilesToSelectedProject();
  void RemoveSelectedFile();
  void AddNewProject();
  void RemoveSelectedProject();
  void EditSelectedProperties();
  void OpenSelectedFile();

  // Idle-time updates; each writes the action's state only when it changes.
  // Serves BuildAction and SetActiveProjectActive.
  void EnableForBuildableProject(QAction& action, const Settings& settings) const;
  // Serves AddFilesToProjectAction and RemoveProjectAction.
  void EnableForSelectedProject(QAction& action) const;
  // Serves CompileAction and RemoveFileFromProjectAction.
  void EnableForSelectedFile(QAction& action) const;
  void EnableForProjectOrFile(QAction& action) const;

private:
  [[nodiscard]] int selectedLevel() const { return view_.Selection().level; }
  // The details the user gives, when a workspace file can store them; otherwise the reason is
  // shown and nothing is given.
  std::optional<ProjectDetails> AskStorableDetails(const std::optional<ProjectDetails>& preset);
  // The selected project, when a project node is selected.
  [[nodiscard]] Project* selectedProject() const;

  ProjectList& workspace_;
  ProjectTreeView& view_;
  UserQuestions& questions_;
  ProjectTreeWindow window_;
};
