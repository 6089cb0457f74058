// Helpers for the build tests: where the stand-in tools are, which processes run, waiting on the
// event loop, and a fake set of editor windows that records what the build and the jump did to
// them.
#pragma once

#include "EditorWindows.h"
#include "TempDir.h"
#include "WaitUntil.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

// The stand-in q3lcc / q3asm, built next to the test programs.
inline std::string StandinTool(const std::string& name) {
  const auto self = std::filesystem::read_symlink("/proc/self/exe");
  return (self.parent_path().parent_path() / "standin-tools" / name).string();
}

// The processes whose command line holds `word`.
inline std::vector<pid_t> ProcessesNaming(const std::string& word) {
  std::vector<pid_t> found;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string commandLine = TempDir::read(entry.path().string() + "/cmdline");
    std::replace(commandLine.begin(), commandLine.end(), '\0', ' ');
    if (commandLine.find(word) != std::string::npos) found.push_back(std::stoi(name));
  }
  return found;
}

struct FakeWindow : JumpTarget {
  std::uint32_t colour = 0;
  int marked = 0;
  int top = 0;
  int caretLine = 0;
  int visible = 20;
  bool front = false;
  void SetMarkColour(std::uint32_t c) override { colour = c; }
  void MarkLine(int line) override { marked = line; }
  [[nodiscard]] int VisibleLineCount() const override { return visible; }
  void SetTopLine(int line) override { top = line; }
  void SetCaretY(int line) override { caretLine = line; }
  void BringToFront() override { front = true; }
};

struct FakeEditors : EditorWindows {
  std::vector<std::string> modified; // last window first
  std::optional<std::string> active;
  std::vector<std::string> saved;
  int saveAllCount = 0;
  std::map<std::string, FakeWindow> windows;

  [[nodiscard]] std::vector<std::string> ModifiedFiles() const override { return modified; }
  void SaveAll() override { ++saveAllCount; }
  [[nodiscard]] bool IsModified(const std::string& path) const override {
    return std::find(modified.begin(), modified.end(), path) != modified.end();
  }
  void Save(const std::string& path) override { saved.push_back(path); }
  [[nodiscard]] std::optional<std::string> ActiveFileName() const override { return active; }
  JumpTarget& OpenEditorWindow(const std::string& path) override { return windows[path]; }
};
