// Command lines are composed exactly as the tools expect them; paths go through the short form
// (the path itself where the system has no short names).
#include "BuildSteps.h"

#include "ProcessRunner.h"
#include "ToolOutputChecks.h"
#include "WorkspacePaths.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

ToolPaths ToolPaths::Native() {
  return {PathStyle::Native(), [](const std::string& path) {
            std::error_code unreadable;
            return !path.empty() && std::filesystem::exists(path, unreadable) ? path : std::string();
          }};
}

std::string ToolPaths::Argument(const std::string& path) const {
  return style.windows || path.empty() ? path : QuoteArgument(path);
}

std::string ToolNotFound(const std::string& role, const std::string& setting, const std::string& path) {
  const bool bareName = path.find('/') == std::string::npos;
  if (bareName ? !FindOnSearchPath(path).empty() : paths::FileExists(path)) return {};
  return "The " + role + " " + (path.empty() ? std::string("is not set") : path + " was not found") +
         (bareName && !path.empty() ? " on the search path" : "") + ". Set it in Preferences > Compiler (" +
         setting + "), or install the tools as \"Getting started\" in the README shows.";
}

std::string ProjectFolder(const std::string& projectFileName, PathStyle style) {
  std::error_code noCurrentFolder; // a relative name then stays relative
  const std::string here = std::filesystem::current_path(noCurrentFolder).string();
  const std::string absolute = paths::ExpandFileName(projectFileName, here, style);
  return paths::ExcludeTrailingDelimiter(paths::ExtractFilePath(absolute, style), style);
}

std::vector<std::string> ProjectFileNames(const ProjectList& workspace) {
  std::vector<std::string> names;
  for (int i = 0; i < workspace.Count(); ++i)
    names.push_back(workspace.Items(i).FileName);
  return names;
}

std::string CompilerOptions(const Settings& settings, const std::vector<std::string>& projectFileNames,
                            const ToolPaths& tools) {
  std::string options = settings.lcclarguments;
  for (const std::string& projectFile : projectFileNames)
    options += " -I" + tools.Argument(tools.shortForm(ProjectFolder(projectFile, tools.style)));
  return options;
}

std::string CompilerCommandLine(const Settings& settings, const std::vector<std::string>& projectFileNames,
                                const std::string& source, const ToolPaths& tools) {
  return tools.Argument(settings.lcclocation) + " " + CompilerOptions(settings, projectFileNames, tools) +
         " " + tools.Argument(tools.shortForm(source));
}

std::string AssemblyListEntry(const std::string& folder, const std::string& source, const ToolPaths& tools) {
  const std::string name = paths::ExtractFileName(tools.shortForm(source), tools.style);
  const std::size_t dot = name.rfind('.');
  return folder + (dot == std::string::npos ? std::string() : name.substr(0, dot));
}

std::string AssemblerCommandLine(const Settings& settings, const std::vector<std::string>& assemblyList,
                                 const std::vector<std::string>& projectFiles, const ToolPaths& tools,
                                 const std::string& outputName) {
  std::string line = tools.Argument(settings.q3asmlocation) + " " + settings.q3asmlarguments;
  // The assembler reads options only before its first input.
  if (!outputName.empty()) line += " -o \"" + outputName + "\"";
  for (const std::string& entry : assemblyList)
    line += " \"" + entry + tools.AssemblyExtension() + "\"";
  for (const std::string& file : projectFiles)
    if (PassedToAssembler(file)) line += " \"" + file + "\"";
  return line;
}

std::string AssemblerOutputName() {
  static int assemblies = 0;
  return "q3asm-" + std::to_string(::getpid()) + "-" + std::to_string(++assemblies);
}

bool PassedToAssembler(const std::string& projectFile) {
  const std::string extension = paths::LowerFileExt(projectFile, StyleOfStoredPath(projectFile));
  return extension != ".c" && extension != ".h";
}

bool DefinesEntryPoint(const std::string& assemblyFile) {
  std::ifstream in(assemblyFile, std::ios::binary);
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("proc vmMain", 0) == 0 && (line.size() == 11 || line[11] == ' ' || line[11] == '\r'))
      return true;
  return false;
}

std::vector<std::string>
WithEntryPointFirst(std::vector<std::string> assemblyList,
                    const std::function<bool(const std::string& entry)>& definesEntryPoint) {
  for (auto entry = assemblyList.begin(); entry != assemblyList.end(); ++entry)
    if (definesEntryPoint(*entry)) {
      std::rotate(assemblyList.begin(), entry, entry + 1);
      break;
    }
  return assemblyList;
}

namespace {

// Renames; empty when it worked, else why not.
std::string Rename(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0 ? std::string() : std::strerror(errno);
}

// Moves `file`, when there is one, to its backup name; empty when that worked.
std::string MoveToBackup(const std::string& file, const std::string& backup) {
  if (!paths::FileExists(file)) return {};
  std::remove(backup.c_str());
  return Rename(file, backup);
}

} // namespace

std::string InstallModule(const std::string& outputFolder, const std::string& builtName,
                          const std::string& projectName) {
  const std::string module = outputFolder + builtName + ".qvm", map = outputFolder + builtName + ".map";
  if (!paths::FileExists(module)) return "the assembler wrote no module";
  if (const std::string why = ModuleProblem(module); !why.empty())
    return "the new module was not installed: " + why;
  if (const std::string why = paths::FileExists(map) ? MapProblem(map) : std::string(); !why.empty())
    return "the new module was not installed: its map is not whole: " + why;
  // A name that is no plain file name would move the module out of the output folder.
  if (projectName.find('/') != std::string::npos)
    return "the module could not be named " + projectName + ".qvm (a project name holds no /)";
  const std::string target = outputFolder + projectName;
  const bool hadModule = paths::FileExists(target + ".qvm");
  if (const std::string why = MoveToBackup(target + ".qvm", target + ".~qvm"); !why.empty())
    return "the old module could not be moved to " + projectName + ".~qvm (" + why + ")";
  if (const std::string why = Rename(module, target + ".qvm"); !why.empty()) {
    if (hadModule) (void)Rename(target + ".~qvm", target + ".qvm");
    return "the module could not be named " + projectName + ".qvm (" + why + ")";
  }
  if (!paths::FileExists(map)) return {};
  if (const std::string why = MoveToBackup(target + ".map", target + ".~map"); !why.empty())
    return "the old map could not be moved to " + projectName + ".~map (" + why + ")";
  if (const std::string why = Rename(map, target + ".map"); !why.empty())
    return "the map could not be named " + projectName + ".map (" + why + ")";
  return {};
}

void RemoveAssemblerOutput(const std::string& outputFolder, const std::string& builtName) {
  for (const char* extension : {".qvm", ".map"})
    std::remove((outputFolder + builtName + extension).c_str());
}

void DeleteAssemblyFiles(const std::vector<std::string>& assemblyList, const ToolPaths& tools) {
  for (const std::string& entry : assemblyList) {
    const std::string file = entry + tools.AssemblyExtension();
    if (paths::FileExists(file)) std::remove(file.c_str());
  }
}
