// The workspace commands: which dialog each shows, and what it does with the answer.
#include "WorkspaceCommands.h"

#include "WorkspacePaths.h"

#include <cstdlib>
#include <filesystem>

WorkspaceCommands::WorkspaceCommands(ProjectList& workspace, UserQuestions& questions, WorkspaceWindow window)
    : workspace_(workspace), questions_(questions), window_(std::move(window)) {}

std::string WorkspaceCommands::TswNameFor(const std::string& path) {
  return paths::ReplaceAfterLastDelimiterOrDot(path, "tsw", StyleOfStoredPath(path));
}

FileDialogRequest WorkspaceCommands::workspaceDialog(const std::string& title,
                                                     const std::string& extension) const {
  FileDialogRequest request;
  request.title = title;
  request.filter = "Workspace File (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*";
  request.defaultExtension = extension;
  request.initialFolder = paths::ExtractFilePath(window_.CurrentSettings().quake3location);
  return request;
}

bool WorkspaceCommands::LoadWorkspace(const std::string& path) {
  std::string error;
  try {
    workspace_.LoadFromFile(path);
  } catch (const TessarinError& failure) {
    error = failure.Message();
  }
  // Rebuilt whatever happened, so the tree never shows projects the model no longer holds.
  window_.RebuildTree();
  window_.RebuildClassView();
  if (!error.empty()) {
    questions_.ShowError(error);
    return false;
  }
  if (workspace_.Count() == 0)
    questions_.Inform(
        paths::ExtractFileName(path, StyleOfStoredPath(path)) +
        " holds no projects yet: add one with \"Add New Project\" in the File View's context menu.");
  return true;
}

bool WorkspaceCommands::ReopenWorkspace(const std::string& path) {
  if (!LoadWorkspace(path)) return false;
  window_.SetWorkspaceFileName(TswNameFor(path));
  if (window_.windowsFollowWorkspace) window_.RestoreWindows();
  return true;
}

bool WorkspaceCommands::MayDropWorkspace() {
  if (!workspace_.Modified) return true;
  const std::string name =
      paths::ExtractFileName(window_.WorkspaceFileName(), StyleOfStoredPath(window_.WorkspaceFileName()));
  switch (questions_.AskYesNoCancel(name.empty() ? "Save changes to the workspace?"
                                                 : "Save changes to the workspace " + name + "?")) {
  case Answer::Yes:
    FileSaveWorkspaceAction();
    return !workspace_.Modified; // a cancelled or failed save keeps the workspace
  case Answer::No: return true;
  default: return false;
  }
}

bool WorkspaceCommands::MakeWayForAnother() {
  if (!MayDropWorkspace()) return false;
  if (!window_.windowsFollowWorkspace) return true;
  window_.RememberWindows();
  return window_.CloseAll();
}

void WorkspaceCommands::FileOpenWorkspace() {
  const auto path = questions_.ChooseFileToOpen(workspaceDialog("Open Tessarin Workspace", "tsw"));
  if (!path || !MakeWayForAnother()) return;
  window_.AddRecentWorkspace(*path);
  ReopenWorkspace(*path);
}

void WorkspaceCommands::FileImportWorkspaceAction() {
  const auto path = questions_.ChooseFileToOpen(workspaceDialog("Import DSW Workspace", "dsw"));
  if (path && MakeWayForAnother()) ReopenWorkspace(*path);
}

bool WorkspaceCommands::ReopenRecentWorkspace(const std::string& path) {
  return MakeWayForAnother() && ReopenWorkspace(path);
}

void WorkspaceCommands::FileSaveWorkspaceAction() {
  if (window_.savesToItsOwnFile && HasItsOwnFile())
    SaveWorkspaceTo(window_.WorkspaceFileName());
  else
    SaveWorkspaceAsAsked();
}

bool WorkspaceCommands::HasItsOwnFile() const {
  const std::string current = window_.WorkspaceFileName();
  // An import only proposes the name of a .tsw beside the file it read.
  return !current.empty() && current == TswNameFor(current) && paths::FileExists(current);
}

bool WorkspaceCommands::SaveWorkspaceAsAsked() {
  FileDialogRequest request = workspaceDialog("Save Tessarin Workspace", "tsw");
  const std::string current = window_.WorkspaceFileName();
  request.initialFolder = paths::ExtractFilePath(current, StyleOfStoredPath(current));
  request.initialFile = current;
  const auto path = questions_.ChooseFileToSave(request);
  return path && SaveWorkspaceTo(*path);
}

bool WorkspaceCommands::SaveWorkspaceTo(const std::string& path) {
  try {
    workspace_.SaveToFile(path);
  } catch (const TessarinError& error) {
    questions_.ShowError(error.Message());
    return false;
  }
  if (window_.savesToItsOwnFile) {
    window_.SetWorkspaceFileName(path);
    window_.AddRecentWorkspace(path);
    if (window_.windowsFollowWorkspace) window_.RememberWindows();
  }
  return true;
}

void WorkspaceCommands::FileNewWorkspaceAction() {
  FileDialogRequest request = workspaceDialog("New Tessarin Workspace", "tsw");
  const std::string current = window_.WorkspaceFileName();
  const char* home = std::getenv("HOME");
  request.initialFolder = !current.empty()  ? paths::ExtractFilePath(current, StyleOfStoredPath(current))
                          : home != nullptr ? paths::IncludeTrailingDelimiter(home)
                                            : std::string();
  const auto path = questions_.ChooseFileToSave(request);
  if (!path || !FolderReadyFor(*path) || !MayDropWorkspace()) return;
  // The new file exists before the open workspace goes: a file that cannot be written keeps it.
  try {
    ProjectList().SaveToFile(*path);
  } catch (const TessarinError& error) {
    questions_.ShowError(error.Message());
    return;
  }
  if (window_.windowsFollowWorkspace) {
    window_.RememberWindows();
    if (!window_.CloseAll()) return;
  }
  workspace_.Clear();
  window_.RebuildTree();
  window_.RebuildClassView();
  window_.SetWorkspaceFileName(*path);
  window_.AddRecentWorkspace(*path);
}

bool WorkspaceCommands::FolderReadyFor(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(path).parent_path();
  std::error_code failed;
  if (folder.empty() || fs::is_directory(folder, failed)) return true;
  if (questions_.AskYesNo("The folder " + folder.string() + " does not exist. Create it?") != Answer::Yes)
    return false;
  fs::create_directories(folder, failed);
  if (!failed) return true;
  questions_.ShowError("Cannot create the folder " + folder.string() + " (" + failed.message() + ").");
  return false;
}

bool WorkspaceCommands::FileCloseWorkspaceAction() { return MayDropWorkspace() && CloseDroppedWorkspace(); }

bool WorkspaceCommands::CloseDroppedWorkspace() {
  if (window_.windowsFollowWorkspace) window_.RememberWindows();
  if (!window_.CloseAll()) return false;
  workspace_.Clear();
  window_.RebuildTree();
  return true;
}
