// The programs the commands need, which of them the settings do not lead to, and where
// Preferences sets each one, so that every message about a missing tool says what to do.
#pragma once

#include "Settings.h"

#include <functional>
#include <string>
#include <vector>

enum class Tool { Compiler, Assembler, Game };

struct MissingTool {
  Tool tool;
  std::string problem; // a sentence naming the tool and where it was looked for
};

// Where Preferences sets a tool: the page's caption and the field's label.
struct ToolSetting {
  const char* page;
  const char* field;
};

[[nodiscard]] ToolSetting SettingOf(Tool tool);

// The tools among `needed` whose setting names no existing file, in the order given.
[[nodiscard]] std::vector<MissingTool>
MissingTools(const Settings& settings, const std::vector<Tool>& needed,
             const std::function<bool(const std::string&)>& fileExists);

// The problems, a line each.
[[nodiscard]] std::string Problems(const std::vector<MissingTool>& missing);

// Where missing build tools come from; empty when the compiler and the assembler are there.
[[nodiscard]] std::string WhereToGet(const std::vector<MissingTool>& missing);

// How to set the missing tools: 'Set "Location of LCC Compiler" in Preferences > Compiler.', a
// sentence per page.
[[nodiscard]] std::string WhereToSet(const std::vector<MissingTool>& missing);
