// What the main window needs of the workspace, as a small interface: the project workspace plugs
// in behind it, and tests use a stand-in.
#pragma once

#include "Navigator.h"
#include "QuickOpen.h"

#include <memory>
#include <string>

class BuildDiagnostics;
struct SharedDialogs;

// The workspace as the shell drives it.
class WorkspacePort {
public:
  virtual ~WorkspacePort() = default;

  // Loads the workspace file and rebuilds the tree and the class view, whatever happened; an
  // error is shown to the user. True when the file was read whole.
  virtual bool LoadWorkspace(const std::string& path) = 0;
  // A reopen from the recent list: asks before a modified workspace is dropped, then loads the
  // file and names the workspace after it. False when the user kept the current workspace or
  // the file could not be read.
  virtual bool ReopenWorkspace(const std::string& path) = 0;
  // Rebuilds the workspace tree from the model ("Projects" alone for an empty workspace).
  virtual void BuildTree() = 0;
  // Asks before a modified workspace is dropped, closes the editor windows and empties the
  // workspace. False when the user kept it open.
  virtual bool CloseWorkspace() = 0;
  // The program is ending without questions (a stop signal): the build ends, its tools with it.
  virtual void EndBuild() {}
  // The title names a workspace that holds projects or changes, and marks the changes.
  [[nodiscard]] virtual bool HoldsProjects() const { return false; }
  [[nodiscard]] virtual bool Modified() const { return false; }
  // The active project's file, empty when there is none.
  [[nodiscard]] virtual std::string ActiveProjectFile() const { return {}; }
  // The navigator of the workspace's code, started with the first ask; none without projects or
  // without a server to start.
  [[nodiscard]] virtual std::shared_ptr<Navigator> CodeNavigator() { return nullptr; }
  // The settings changed: the navigator learns the compiler's new options.
  virtual void SettingsChanged() {}
  // The last build's errors and warnings by file; none before the build is set up.
  [[nodiscard]] virtual const BuildDiagnostics* BuildMessagesByFile() const { return nullptr; }
  // Quick Open's list of the workspace's files.
  [[nodiscard]] virtual QuickOpen WorkspaceFiles() const { return QuickOpen(std::vector<std::string>{}, ""); }
  // The dialogs made once at start exist now: the commands that use them can be wired.
  virtual void AttachSharedDialogs(SharedDialogs& /*dialogs*/) {}
};
