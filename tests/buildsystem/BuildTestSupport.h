// Helpers for the build tests: where the stand-in tools are, which processes run, waiting on the
// event loop, and a fake set of editor windows that records what the build and the jump did to
// them.
#pragma once

#include "EditorWindows.h"
#include "TempDir.h"
#include "WaitUntil.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <regex>
#include <string>
#include <vector>

// The stand-in q3lcc / q3asm, built next to the test programs.
inline std::string StandinTool(const std::string& name) {
  const auto self = std::filesystem::read_symlink("/proc/self/exe");
  return (self.parent_path().parent_path() / "standin-tools" / name).string();
}

// The real q3cpp / q3lcc / q3asm in ${XDG_CACHE_HOME:-~/.cache}/ioq3-real/bin, where the game's
// tool chain setup puts them; empty when they are not there.
inline std::string RealTool(const std::string& name) {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  const std::string folder = cache && *cache ? std::string(cache) : std::string(home ? home : "") + "/.cache";
  const std::string tool = folder + "/ioq3-real/bin/" + name;
  return std::filesystem::exists(tool) ? tool : std::string();
}

// `text` with the names of the assembler's runs ("q3asm-<process>-<count>"), which differ from
// build to build, made one.
inline std::string WithoutRunNames(const std::string& text) {
  return std::regex_replace(text, std::regex("q3asm-[0-9]+-[0-9]+"), "q3asm-run");
}

// A module as the assembler writes it: the header, then `code` as its only segment.
inline std::string ModuleWithCode(const std::string& code) {
  const std::uint32_t fields[] = {0x12721445,
                                  1,
                                  36,
                                  static_cast<std::uint32_t>(code.size()),
                                  static_cast<std::uint32_t>(36 + code.size()),
                                  0,
                                  0,
                                  0,
                                  0};
  std::string module;
  for (std::uint32_t field : fields)
    for (int byte = 0; byte < 4; ++byte)
      module += static_cast<char>(field >> (8 * byte) & 0xff);
  return module + code;
}

// The code of a module the stand-in assembler wrote: the procedures in layout order.
inline std::string ModuleCode(const std::string& moduleFile) {
  const std::string module = TempDir::read(moduleFile);
  return module.size() < 36 ? std::string() : module.substr(36);
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
