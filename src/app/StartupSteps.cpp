#include "StartupSteps.h"

#include "Paths.h"

#include <filesystem>

namespace {

// Names the tool and where it was looked for: a folder that is not there says more than a path.
std::string missingTool(const std::string& role, const std::string& path) {
  if (path.empty()) return "No " + role + " is chosen.";
  const std::string folder = paths::ExtractFilePath(path);
  std::error_code error;
  if (!folder.empty() && !std::filesystem::is_directory(folder, error))
    return "The folder " + folder + " of the " + role + " does not exist.";
  return "The " + role + " " + path + " was not found.";
}

} // namespace

StartupSteps StartupStepsFor(const Settings& settings, const std::vector<std::string>& arguments,
                             const std::function<bool(const std::string&)>& fileExists) {
  StartupSteps steps;
  for (const auto& [role, path] :
       {std::pair<std::string, const std::string&>{"compiler", settings.lcclocation},
        {"assembler", settings.q3asmlocation}}) {
    if (fileExists(path)) continue;
    if (!steps.missingTools.empty()) steps.missingTools += "\n";
    steps.missingTools += missingTool(role, path);
  }
  steps.askForTools = !steps.missingTools.empty();
  if (arguments.empty() || !fileExists(arguments.front())) return steps;
  const std::string& argument = arguments.front();
  (paths::LowerFileExt(argument) == ".tsw" ? steps.workspace : steps.file) = argument;
  return steps;
}
