// The workspace commands: which dialog each shows, and what it does with the answer.
#include "WorkspaceCommands.h"

#include "WorkspacePaths.h"

WorkspaceCommands::WorkspaceCommands(TProjectList& workspace, UserQuestions& questions,
                                     WorkspaceWindow window)
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
    error = failure.message();
  }
  // Rebuilt whatever happened, so the tree never shows projects the model no longer holds.
  window_.RebuildTree();
  window_.RebuildClassView();
  if (!error.empty()) questions_.showError(error);
  return error.empty();
}

void WorkspaceCommands::ReopenWorkspace(const std::string& path) {
  if (LoadWorkspace(path)) window_.SetWorkspaceFileName(TswNameFor(path));
}

void WorkspaceCommands::FileOpenWorkspace() {
  const auto path = questions_.chooseFileToOpen(workspaceDialog("Open Tessarin Workspace", "tsw"));
  if (!path) return;
  window_.AddRecentWorkspace(*path);
  ReopenWorkspace(*path);
}

void WorkspaceCommands::FileImportWorkspaceAction() {
  const auto path = questions_.chooseFileToOpen(workspaceDialog("Import DSW Workspace", "dsw"));
  if (path) ReopenWorkspace(*path);
}

void WorkspaceCommands::FileSaveWorkspaceAction() {
  FileDialogRequest request = workspaceDialog("Save Tessarin Workspace", "tsw");
  const std::string current = window_.WorkspaceFileName();
  request.initialFolder = paths::ExtractFilePath(current, StyleOfStoredPath(current));
  request.initialFile = current;
  const auto path = questions_.chooseFileToSave(request);
  if (!path) return;
  try {
    workspace_.SaveToFile(*path);
  } catch (const TessarinError& error) {
    questions_.showError(error.message());
  }
}

bool WorkspaceCommands::FileCloseWorkspaceAction() {
  if (workspace_.Modified) {
    FileSaveWorkspaceAction();
    if (workspace_.Modified) return false;
  }
  if (!window_.CloseAll()) return false;
  workspace_.Clear();
  window_.RebuildTree();
  return true;
}
