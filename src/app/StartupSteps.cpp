#include "StartupSteps.h"

#include "Paths.h"

StartupSteps StartupStepsFor(const Settings& settings, const std::vector<std::string>& arguments,
                             const std::string& lastWorkspace,
                             const std::function<bool(const std::string&)>& fileExists) {
  StartupSteps steps;
  steps.missingTools = MissingTools(settings, {Tool::Compiler, Tool::Assembler}, fileExists);
  if (arguments.empty() && settings.ReopenLastWorkspace && !lastWorkspace.empty() &&
      fileExists(lastWorkspace))
    steps.workspace = lastWorkspace;
  if (arguments.empty() || !fileExists(arguments.front())) return steps;
  const std::string& argument = arguments.front();
  (paths::LowerFileExt(argument) == ".tsw" ? steps.workspace : steps.file) = argument;
  return steps;
}
