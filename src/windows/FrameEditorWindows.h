// The editor windows of the main window's frame as the build and the jump to source reach them.
#pragma once

#include "EditorWindows.h"

#include <functional>
#include <string>

class QMdiSubWindow;
class WindowCommands;

class FrameEditorWindows : public EditorWindows {
public:
  // Finds the open window of a file or opens a new one; none when the file cannot be opened.
  using Opener = std::function<QMdiSubWindow*(const std::string& path)>;

  // `beforeJump` hears of every jump before it moves the caret.
  FrameEditorWindows(WindowCommands& windows, Opener open, std::function<void()> beforeJump = {})
      : windows_(windows), open_(std::move(open)), beforeJump_(std::move(beforeJump)) {}

  [[nodiscard]] std::vector<std::string> ModifiedFiles() const override;
  void SaveAll() override;
  [[nodiscard]] bool IsModified(const std::string& path) const override;
  void Save(const std::string& path) override;
  [[nodiscard]] std::optional<std::string> ActiveFileName() const override;
  // Lands nowhere while no editor window can be made.
  JumpTarget& OpenEditorWindow(const std::string& path) override;

private:
  WindowCommands& windows_;
  Opener open_;
  std::function<void()> beforeJump_;
};
