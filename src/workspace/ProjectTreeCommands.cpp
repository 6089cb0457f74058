// The workspace tree's commands: each changes the model and tells the tree, and does nothing
// unless the selection is at the level it needs.
#include "ProjectTreeCommands.h"

#include "ProjectTreeStates.h"
#include "WorkspacePaths.h"

#include <QAction>

FileDialogRequest SourceOpenDialog(const std::string& initialFolder) {
  FileDialogRequest request;
  request.title = "Open File";
  request.filter = "C Files (*.c; *.h)|*.c;*.h|ASM Files (*.asm)|*.asm|All Files (*.*)|*.*";
  request.defaultExtension = "c";
  request.initialFolder = initialFolder;
  return request;
}

ProjectTreeCommands::ProjectTreeCommands(ProjectList& workspace, ProjectTreeView& view,
                                         UserQuestions& questions, ProjectTreeWindow window)
    : workspace_(workspace), view_(view), questions_(questions), window_(std::move(window)) {}

Project* ProjectTreeCommands::selectedProject() const {
  const TreeSelection selection = view_.Selection();
  return selection.level == ProjectLevel ? selection.project : nullptr;
}

void ProjectTreeCommands::ActivateSelectedProject() {
  Project* project = selectedProject();
  if (project == nullptr) return;
  window_.ResetBuildState();
  workspace_.ActiveProject = project;
  window_.RebuildClassView();
  view_.ActiveProjectChanged();
}

void ProjectTreeCommands::AddFilesToSelectedProject() {
  Project* project = selectedProject();
  if (project == nullptr) return;
  window_.ResetBuildState();
  const FileDialogRequest request =
      SourceOpenDialog(paths::ExtractFilePath(project->FileName, StyleOfStoredPath(project->FileName)));
  for (const std::string& path : questions_.ChooseFilesToOpen(request)) {
    if (const std::string problem = StoredPathProblem(path); !problem.empty()) {
      questions_.ShowError(problem);
      continue;
    }
    workspace_.Modified = true;
    view_.FileAdded(*project, project->AddFile(path));
  }
}

void ProjectTreeCommands::RemoveSelectedFile() {
  const TreeSelection selection = view_.Selection();
  if (selection.level != FileLevel) return;
  window_.ClearBuildMessages();
  if (selection.project == nullptr || selection.fileIndex < 0) return;
  view_.RemovingFile(*selection.project, selection.fileIndex);
  std::vector<ProjectFile>& files = selection.project->Files;
  files.erase(files.begin() + selection.fileIndex);
  workspace_.Modified = true;
}

std::optional<ProjectDetails>
ProjectTreeCommands::AskStorableDetails(const std::optional<ProjectDetails>& preset) {
  std::optional<ProjectDetails> details = window_.AskProjectDetails(preset);
  if (!details) return details;
  std::string problem = ProjectNameProblem(details->name);
  if (problem.empty()) problem = StoredPathProblem(details->fileName);
  if (problem.empty()) return details;
  questions_.ShowError(problem);
  return std::nullopt;
}

void ProjectTreeCommands::AddNewProject() {
  const std::optional<ProjectDetails> details = AskStorableDetails(std::nullopt);
  if (!details) return;
  Project& project = workspace_.AddProject();
  project.Name = details->name;
  project.FileName = details->fileName;
  view_.ProjectAdded(project);
  workspace_.ActiveProject = &project;
  workspace_.Modified = true;
  view_.ActiveProjectChanged();
}

void ProjectTreeCommands::RemoveSelectedProject() {
  Project* project = selectedProject();
  if (project == nullptr) return;
  if (window_.asksBeforeRemovingProject &&
      questions_.AskYesNo("Remove the project " + project->Name +
                          " from the workspace?\nIts project file and source files stay on disk.") !=
          Answer::Yes)
    return;
  window_.ResetBuildState();
  view_.RemovingProject(*project);
  workspace_.RemoveProject(project);
}

void ProjectTreeCommands::EditSelectedProperties() {
  const TreeSelection selection = view_.Selection();
  if (selection.level == ProjectLevel && selection.project != nullptr) {
    Project& project = *selection.project;
    const std::optional<ProjectDetails> details =
        AskStorableDetails(ProjectDetails{project.Name, project.FileName});
    if (!details) return;
    project.Name = details->name;
    project.FileName = details->fileName;
    workspace_.Modified = true;
    view_.ProjectRenamed(project);
  } else if (selection.level == FileLevel && selection.project != nullptr && selection.fileIndex >= 0) {
    window_.ShowFileProperties(selection.project->Files[static_cast<std::size_t>(selection.fileIndex)].Path);
  }
}

void ProjectTreeCommands::OpenSelectedFile() {
  const TreeSelection selection = view_.Selection();
  if (selection.level == FileLevel && selection.project != nullptr && selection.fileIndex >= 0)
    window_.OpenFile(selection.project->Files[static_cast<std::size_t>(selection.fileIndex)].Path);
}

void ProjectTreeCommands::EnableForBuildableProject(QAction& action, const Settings& settings) const {
  WriteEnabled(action, BuildableProjectSelected(selectedLevel(), paths::FileExists(settings.lcclocation),
                                                paths::FileExists(settings.q3asmlocation)));
}

void ProjectTreeCommands::EnableForSelectedProject(QAction& action) const {
  WriteEnabled(action, ProjectSelected(selectedLevel()));
}

void ProjectTreeCommands::EnableForSelectedFile(QAction& action) const {
  WriteEnabled(action, FileSelected(selectedLevel()));
}

void ProjectTreeCommands::EnableForProjectOrFile(QAction& action) const {
  WriteEnabled(action, ProjectOrFileSelected(selectedLevel()));
}
