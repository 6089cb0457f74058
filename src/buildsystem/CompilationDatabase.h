// The compile commands a C front end (clangd, or another editor's) needs to read the workspace's
// sources as the build compiles them, written as a compile_commands.json.
#pragma once

#include "BuildSteps.h"
#include "ProjectList.h"
#include "Settings.h"

#include <string>
#include <vector>

struct CompileCommand {
  std::string directory; // the file's folder
  std::string file;
  std::vector<std::string> arguments; // the front end first, the file last
  bool operator==(const CompileCommand&) const = default;
};

// One command per ".c" file of the workspace (a file in several projects takes its first
// project's), then one per header: with the flags of the first source that includes it and the
// headers read before it there (the engine's headers are not whole on their own), else with its
// project's flags.
[[nodiscard]] std::vector<CompileCommand> CompileCommands(const ProjectList& workspace,
                                                          const Settings& settings, const ToolPaths& tools);

// The front end's flags for a source in `sourceFolder` of the project `projectName`, from the
// options the build gives the compiler (CompilerOptions): C89 with GNU extensions on the virtual
// machine's 32-bit types, no host headers or macros, the compiler's own macros (Q3_VM among
// them), the project's own define, and the options' -D, -U and
// -I (a relative folder taken in the source's folder, as the compiler's preprocessor takes it).
// The compiler's other options mean nothing to the front end and are left out.
[[nodiscard]] std::vector<std::string> FrontEndFlags(const std::string& compilerOptions,
                                                     const std::string& projectName,
                                                     const std::string& sourceFolder);

// The macro the engine's own build defines for one of its modules (QAGAME for "qagame", CGAME
// for "cgame", UI for "ui"), which its shared code tests; empty for any other project name.
[[nodiscard]] std::string ModuleDefine(const std::string& projectName);

[[nodiscard]] std::string CompilationDatabaseText(const std::vector<CompileCommand>& commands);

// Writes the workspace's database as `path`, whole or not at all; an error text, empty on success.
[[nodiscard]] std::string WriteCompilationDatabase(const std::string& path, const ProjectList& workspace,
                                                   const Settings& settings);
