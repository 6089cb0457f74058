// The pure parts of compiling and assembling: the tools' command lines, the names of the files
// they leave, the order of the assembler's inputs, and the renames that install a new module.
#pragma once

#include "Paths.h"
#include "ProjectList.h"
#include "Settings.h"

#include <functional>
#include <string>
#include <vector>

// How paths are written on the tools' command lines.
struct ToolPaths {
  PathStyle style;
  // The short form of an existing path; empty when it does not exist.
  std::function<std::string(const std::string&)> shortForm;

  // POSIX has no short names: the short form of an existing path is the path itself.
  [[nodiscard]] static ToolPaths Native();
  // The file extension the compiler gives its output: ".ASM" on Windows, whose file
  // names ignore case; on other systems the exact lower-case name the compiler writes.
  [[nodiscard]] std::string AssemblyExtension() const { return style.windows ? ".ASM" : ".asm"; }
  // POSIX has no blank-free short names, so a path with blanks or quotes is quoted to stay one
  // argument.
  [[nodiscard]] std::string Argument(const std::string& path) const;
};

// Why the build cannot run the tool `path` names, the `role` ("compiler") of the `setting`
// ("lcclocation"): which tool, where it was looked for, where to set it and where the tools come
// from; empty when it is there.
[[nodiscard]] std::string ToolNotFound(const std::string& role, const std::string& setting,
                                       const std::string& path);

// Every project's FileName, in workspace order: the compiler is given all their folders.
[[nodiscard]] std::vector<std::string> ProjectFileNames(const ProjectList& workspace);
// lcclarguments and one -I per project folder in workspace order: what the compiler is told
// besides its own location and the source.
[[nodiscard]] std::string CompilerOptions(const Settings& settings,
                                          const std::vector<std::string>& projectFileNames,
                                          const ToolPaths& tools);
// lcclocation, the compiler options and the source.
[[nodiscard]] std::string CompilerCommandLine(const Settings& settings,
                                              const std::vector<std::string>& projectFileNames,
                                              const std::string& source, const ToolPaths& tools);
// The compiler's working folder (ending in a delimiter) followed by the base name of the file it
// writes there for `source`.
[[nodiscard]] std::string AssemblyListEntry(const std::string& folder, const std::string& source,
                                            const ToolPaths& tools);
// A project's files that are neither ".c" nor ".h" go to the assembler as they are.
[[nodiscard]] bool PassedToAssembler(const std::string& projectFile);
// q3asmlocation, q3asmlarguments, "-o" and `outputName` when one is given, the compiled files and
// the project's files passed to the assembler, each quoted.
[[nodiscard]] std::string AssemblerCommandLine(const Settings& settings,
                                               const std::vector<std::string>& assemblyList,
                                               const std::vector<std::string>& projectFiles,
                                               const ToolPaths& tools, const std::string& outputName = {});
// A name for the assembler's module and map (`-o`) that no other build's assembly uses, also in
// another process: two builds into one output folder never take each other's module.
[[nodiscard]] std::string AssemblerOutputName();

// The engine starts a module at its first instruction, and the assembler lays code out in input
// order: the entry whose compiled file defines vmMain moves to the front, the others keep their
// order.
[[nodiscard]] std::vector<std::string>
WithEntryPointFirst(std::vector<std::string> assemblyList,
                    const std::function<bool(const std::string& entry)>& definesEntryPoint);
[[nodiscard]] bool DefinesEntryPoint(const std::string& assemblyFile);

// Checks the assembler's <built>.qvm and moves it and <built>.map to <folder><name>.qvm/.map,
// keeping one generation of backups (.~qvm, .~map). Returns why the module could not be
// installed; empty when it was. The project's old module stays when the new one is damaged or
// cannot take its place.
[[nodiscard]] std::string InstallModule(const std::string& outputFolder, const std::string& builtName,
                                        const std::string& projectName);
// Removes the assembler's <built>.qvm and <built>.map from its working folder: before it starts,
// so that no leftover passes for its work, and after it, when its module was refused.
void RemoveAssemblerOutput(const std::string& outputFolder, const std::string& builtName);
void DeleteAssemblyFiles(const std::vector<std::string>& assemblyList, const ToolPaths& tools);

// The folder of a project file: made absolute, without its trailing delimiter.
[[nodiscard]] std::string ProjectFolder(const std::string& projectFileName, PathStyle style);
