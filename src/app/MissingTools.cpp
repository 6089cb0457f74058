#include "MissingTools.h"

#include "Paths.h"

#include <algorithm>
#include <filesystem>

namespace {

const char* roleOf(Tool tool) {
  switch (tool) {
  case Tool::Compiler: return "compiler";
  case Tool::Assembler: return "assembler";
  case Tool::Game: return "game";
  }
  return "";
}

const std::string& pathOf(const Settings& settings, Tool tool) {
  switch (tool) {
  case Tool::Compiler: return settings.lcclocation;
  case Tool::Assembler: return settings.q3asmlocation;
  case Tool::Game: break;
  }
  return settings.quake3location;
}

// Names the tool and where it was looked for: a folder that is not there says more than a path.
std::string problem(Tool tool, const std::string& path) {
  const std::string role = roleOf(tool);
  if (path.empty()) return "No " + role + " is chosen.";
  const std::string folder = paths::ExtractFilePath(path);
  std::error_code error;
  if (!folder.empty() && !std::filesystem::is_directory(folder, error))
    return "The folder " + folder + " of the " + role + " does not exist.";
  return "The " + role + " " + path + " was not found.";
}

std::string quoted(const char* text) { return std::string("\"") + text + "\""; }

} // namespace

ToolSetting SettingOf(Tool tool) {
  switch (tool) {
  case Tool::Compiler: return {"Compiler", "Location of LCC Compiler"};
  case Tool::Assembler: return {"Compiler", "Location of Q3ASM Assembler"};
  case Tool::Game: break;
  }
  return {"Environment", "Quake III Arena Executable"};
}

std::vector<MissingTool> MissingTools(const Settings& settings, const std::vector<Tool>& needed,
                                      const std::function<bool(const std::string&)>& fileExists) {
  std::vector<MissingTool> missing;
  for (Tool tool : needed) {
    const std::string& path = pathOf(settings, tool);
    if (!fileExists(path)) missing.push_back({tool, problem(tool, path)});
  }
  return missing;
}

std::string Problems(const std::vector<MissingTool>& missing) {
  std::string text;
  for (const MissingTool& tool : missing)
    text += (text.empty() ? "" : "\n") + tool.problem;
  return text;
}

std::string WhereToGet(const std::vector<MissingTool>& missing) {
  const bool buildTool = std::any_of(missing.begin(), missing.end(),
                                     [](const MissingTool& tool) { return tool.tool != Tool::Game; });
  return buildTool ? "The tools are built from the ioquake3 sources (see \"Getting started\" in the README)."
                   : "";
}

std::string WhereToSet(const std::vector<MissingTool>& missing) {
  // The fields of each page, the pages in the order their first tool is missing.
  std::vector<std::pair<std::string, std::string>> pages;
  for (const MissingTool& tool : missing) {
    const ToolSetting setting = SettingOf(tool.tool);
    auto page = std::find_if(pages.begin(), pages.end(),
                             [&](const auto& seen) { return seen.first == setting.page; });
    if (page == pages.end())
      pages.emplace_back(setting.page, quoted(setting.field));
    else
      page->second += " and " + quoted(setting.field);
  }
  std::string text;
  for (const auto& [page, fields] : pages)
    text += (text.empty() ? "" : " ") + ("Set " + fields + " in Preferences > " + page + ".");
  return text;
}
