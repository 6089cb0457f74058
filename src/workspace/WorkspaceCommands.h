// The workspace commands Open, Import, Save and Close. A plain class: it asks the user through
// UserQuestions and reaches the main window only through the callbacks it is given.
#pragma once

#include "ProjectList.h"
#include "Settings.h"
#include "UserQuestions.h"

#include <functional>
#include <string>

// What the workspace commands need from the main window.
struct WorkspaceWindow {
  std::function<void()> RebuildTree = [] {};
  std::function<void()> RebuildClassView = [] {};
  std::function<void(const std::string&)> AddRecentWorkspace = [](const std::string&) {};
  // Asks every editor window to close; true when none is left open.
  std::function<bool()> CloseAll = [] { return true; };
  std::function<std::string()> WorkspaceFileName = [] { return std::string(); };
  std::function<void(const std::string&)> SetWorkspaceFileName = [](const std::string&) {};
  std::function<Settings()> CurrentSettings = [] { return Settings(); };
};

class WorkspaceCommands {
public:
  WorkspaceCommands(TProjectList& workspace, UserQuestions& questions, WorkspaceWindow window);

  void FileOpenWorkspace();
  void FileImportWorkspaceAction();
  void FileSaveWorkspaceAction();
  // True when the workspace was closed; false when the user kept it open.
  bool FileCloseWorkspaceAction();

  // Loads `path` as the workspace and rebuilds the tree and the class view, whatever happened;
  // an error is shown to the user. Also serves the recent list and the command line.
  bool LoadWorkspace(const std::string& path);
  // LoadWorkspace, then the workspace file name becomes `path` with the extension "tsw": what
  // Open, Import and a reopen from the recent list do after their dialogs.
  void ReopenWorkspace(const std::string& path);

  // The workspace file name that goes with a loaded file: its extension replaced by "tsw".
  [[nodiscard]] static std::string TswNameFor(const std::string& path);

private:
  [[nodiscard]] FileDialogRequest workspaceDialog(const std::string& title,
                                                  const std::string& extension) const;

  TProjectList& workspace_;
  UserQuestions& questions_;
  WorkspaceWindow window_;
};
