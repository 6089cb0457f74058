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
  // The editor windows go with their workspace: they are remembered and closed when it makes
  // way for another, and come back when a workspace is opened. Otherwise they stay open.
  bool windowsFollowWorkspace = false;
  std::function<void()> RememberWindows = [] {};
  std::function<void()> RestoreWindows = [] {};
  // Save Workspace writes the workspace's own file without asking, and a saved workspace takes the
  // name it was saved to and joins the recent list; otherwise Save always asks and changes neither.
  bool savesToItsOwnFile = false;
};

class WorkspaceCommands {
public:
  WorkspaceCommands(ProjectList& workspace, UserQuestions& questions, WorkspaceWindow window);

  void FileOpenWorkspace();
  void FileImportWorkspaceAction();
  void FileSaveWorkspaceAction();
  // Asks for a new workspace file (starting in the open workspace's folder, else the home
  // folder), writes an empty workspace there, and only then lets the open one go.
  void FileNewWorkspaceAction();
  // True when the workspace was closed; false when the user kept it open.
  bool FileCloseWorkspaceAction();
  // Close once MayDropWorkspace has let the workspace go: the windows that follow it are
  // remembered and closed, then the workspace. False when an editor window stayed open.
  bool CloseDroppedWorkspace();
  // A reopen from the recent list. False when the user kept the current workspace or the file
  // could not be read.
  bool ReopenRecentWorkspace(const std::string& path);

  // Loads `path` as the workspace and rebuilds the tree and the class view, whatever happened;
  // an error is shown to the user. Also serves the recent list and the command line.
  bool LoadWorkspace(const std::string& path);
  // LoadWorkspace, then the workspace file name becomes `path` with the extension "tsw" and its
  // windows come back: what Open, Import and a reopen from the recent list do once the current
  // workspace has made way.
  bool ReopenWorkspace(const std::string& path);

  // A modified workspace asks "Save changes to the workspace ...?" before it is dropped: Yes
  // saves it (a cancelled or failed save keeps it), No drops the changes, Cancel keeps it.
  // True when the caller may go on.
  bool MayDropWorkspace();

  // The workspace file name that goes with a loaded file: its extension replaced by "tsw".
  [[nodiscard]] static std::string TswNameFor(const std::string& path);

private:
  // Asks where to save, then saves; false when the user cancelled or the save failed.
  bool SaveWorkspaceAsAsked();
  // The folder `path` goes in exists, or the user had it made; false when they did not want it
  // or it could not be made (the error shown).
  bool FolderReadyFor(const std::string& path);
  // Writes the workspace to `path`; false, with the error shown, when that failed.
  bool SaveWorkspaceTo(const std::string& path);
  // The workspace has a file of its own to be saved to: one it was read from or written to.
  [[nodiscard]] bool HasItsOwnFile() const;
  // Before another workspace replaces this one: MayDropWorkspace, then the windows that follow
  // the workspace are remembered and closed. False when the user kept it.
  bool MakeWayForAnother();
  [[nodiscard]] FileDialogRequest workspaceDialog(const std::string& title,
                                                  const std::string& extension) const;

  ProjectList& workspace_;
  UserQuestions& questions_;
  WorkspaceWindow window_;
};
