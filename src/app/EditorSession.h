// The editor windows that were open on a workspace when it closed, so that opening it again
// brings them back: each file with its caret and whether it was split, in the frame's order, and
// the active one.
// Kept beside the settings under the workspace file's name, not in the workspace file.
#pragma once

#include <string>
#include <vector>

class RegistryStore;

struct EditorSession {
  // A window's second view of its text; the values are what is kept.
  enum class Split { None = 0, Beside = 1, Below = 2 };
  struct Window {
    std::string file;
    int caretLine = 1;
    int caretColumn = 1; // in characters
    Split split = Split::None;
    bool operator==(const Window&) const = default;
  };
  std::vector<Window> windows; // in the frame's order
  int active = -1;             // index into windows; -1 for none

  bool operator==(const EditorSession&) const = default;
};

// The session of `workspaceFile`; empty when none was kept. Unusable entries are left out.
[[nodiscard]] EditorSession LoadSession(const RegistryStore& store, const std::string& workspaceFile);
// Replaces what was kept for `workspaceFile`; an empty session keeps nothing.
void SaveSession(RegistryStore& store, const std::string& workspaceFile, const EditorSession& session);
