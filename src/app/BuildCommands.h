// The build commands of the main window: the build controller over the workspace, the editor
// windows as the build sees them, the game launch and the jump from a message line to source.
#pragma once

#include "BuildController.h"
#include "EditorWindows.h"
#include "GameLauncher.h"

#include <QObject>

#include <memory>

class TMainForm;
class TProjectList;
class QTreeWidget;

// The open editor windows, as the build and the jump to source reach them.
class ShellEditorWindows : public EditorWindows {
public:
  explicit ShellEditorWindows(TMainForm& form) : form_(form) {}

  [[nodiscard]] std::vector<std::string> ModifiedFiles() const override;
  void SaveAll() override;
  [[nodiscard]] bool IsModified(const std::string& path) const override;
  void Save(const std::string& path) override;
  [[nodiscard]] std::optional<std::string> ActiveFileName() const override;
  // Lands nowhere while no editor window can be made.
  JumpTarget& OpenEditorWindow(const std::string& path) override;

private:
  TMainForm& form_;
};

class BuildCommands {
public:
  // Wires the build, compile, launch and message-list commands of `form`.
  BuildCommands(TMainForm& form, TProjectList& workspace, QTreeWidget& tree, TCompilingProgress& progress);

  [[nodiscard]] TBuildController& Controller() { return *controller_; }

private:
  void Wire();
  void CompileSelectedFile();

  TMainForm& form_;
  TProjectList& workspace_;
  QTreeWidget& tree_;
  ShellEditorWindows editors_;
  std::unique_ptr<TBuildController> controller_;
  TGameLauncher launcher_;
  QObject connections_; // ends the message lists' connections with this object
};
