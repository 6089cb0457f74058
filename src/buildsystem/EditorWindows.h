// What the build and the jump to source need from the editor windows. The main window
// implements it over its document windows; tests use a fake.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// An editor window the jump to source lands in.
class JumpTarget {
public:
  virtual ~JumpTarget() = default;
  virtual void SetMarkColour(std::uint32_t colour) = 0;
  // Marks the line (1-based) and repaints.
  virtual void MarkLine(int line) = 0;
  [[nodiscard]] virtual int VisibleLineCount() const = 0;
  // The editor clamps the value to 1..line count.
  virtual void SetTopLine(int line) = 0;
  // Moves the caret to that line, keeping its column; the editor limits it to the text.
  virtual void SetCaretY(int line) = 0;
  // Brings the window to the front, gives its editor the keyboard focus and repaints it.
  virtual void BringToFront() = 0;
};

class EditorWindows {
public:
  virtual ~EditorWindows() = default;

  // Full file names of the windows whose text is modified, from the last window in the frame's
  // child list to the first.
  [[nodiscard]] virtual std::vector<std::string> ModifiedFiles() const = 0;
  // The "Save All" command.
  virtual void SaveAll() = 0;
  // The window open for `path` has unsaved text.
  [[nodiscard]] virtual bool IsModified(const std::string& path) const = 0;
  virtual void Save(const std::string& path) = 0;
  // The active window's file name; none when no editor window is open.
  [[nodiscard]] virtual std::optional<std::string> ActiveFileName() const = 0;
  // The open window of `path`, or a new one that loads the file.
  virtual JumpTarget& OpenEditorWindow(const std::string& path) = 0;
};
