#include "FrameEditorWindows.h"

#include "EditorWindowPort.h"
#include "WindowCommands.h"

#include <QMdiSubWindow>

namespace {

// Where a jump lands when there is no window to land in.
class NoJumpTarget : public JumpTarget {
public:
  void SetMarkColour(std::uint32_t) override {}
  void MarkLine(int) override {}
  [[nodiscard]] int VisibleLineCount() const override { return 0; }
  void SetTopLine(int) override {}
  void SetCaretY(int) override {}
  void BringToFront() override {}
};

} // namespace

std::vector<std::string> FrameEditorWindows::ModifiedFiles() const {
  std::vector<std::string> names;
  QList<QMdiSubWindow*> windows = windows_.Windows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
    EditorWindowPort* editor = WindowCommands::Port(*it);
    if (editor != nullptr && editor->Modified()) names.push_back(editor->FileName());
  }
  return names;
}

void FrameEditorWindows::SaveAll() { windows_.SaveAll(); }

bool FrameEditorWindows::IsModified(const std::string& path) const {
  EditorWindowPort* editor = WindowCommands::Port(windows_.FindEditorWindow(path));
  return editor != nullptr && editor->Modified();
}

void FrameEditorWindows::Save(const std::string& path) {
  if (EditorWindowPort* editor = WindowCommands::Port(windows_.FindEditorWindow(path))) editor->SaveFile();
}

std::optional<std::string> FrameEditorWindows::ActiveFileName() const {
  const EditorWindowPort* editor = windows_.ActiveEditor();
  if (editor == nullptr) return std::nullopt;
  return editor->FileName();
}

JumpTarget& FrameEditorWindows::OpenEditorWindow(const std::string& path) {
  static NoJumpTarget nowhere;
  if (beforeJump_) beforeJump_();
  EditorWindowPort* editor = WindowCommands::Port(open_(path));
  return editor != nullptr ? *editor : static_cast<JumpTarget&>(nowhere);
}
