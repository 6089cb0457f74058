// The compiled files a project keeps between builds, in a build folder of its own under the
// user's cache folder, so that Build compiles only the sources whose compiled file is missing or
// out of date. Beside each compiled file lies a record of what it was compiled from: the command
// line, and the stamp (times, size, identity) of every file the compile read (the source, each
// header, the compiler and its passes) and each place a header was looked for in vain. The
// record is written only after a compile that succeeded and is removed before any compile starts,
// so a failed or interrupted compile never passes for a good one. The module has a record of the
// same kind: what the assembler read, and the stamps of the module and map it left.
#pragma once

#include "IncludeScanner.h"

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// What one compile reads, each file with its stamp as it was before the compile started.
struct CompileInputs {
  std::vector<std::pair<std::string, std::string>> files; // path, stamp
  std::vector<std::string> notThere;
  bool operator==(const CompileInputs&) const = default;
};

struct CompileRecord {
  std::string commandLine;
  CompileInputs inputs;
  std::string assemblyStamp;
  bool definesEntryPoint = false; // the compiled file holds vmMain
  // What the compiler said (its warnings), listed again whenever the compiled file is used
  // without compiling.
  std::vector<std::string> messages;

  [[nodiscard]] std::string Text() const;
  // None when the text is no record (damaged, or from another version).
  [[nodiscard]] static std::optional<CompileRecord> FromText(const std::string& text);
  bool operator==(const CompileRecord&) const = default;
};

// A file's stamp: modification and change time in nanoseconds, size, device and inode; empty
// when there is no such file. Any write, rename or replacement changes it.
[[nodiscard]] std::string FileStamp(const std::string& path);

// Writes `text` as `file` through a temporary file beside it, so that a record is whole or
// absent. Returns why it could not be written (a full disk, say); empty when it was.
[[nodiscard]] std::string WriteRecord(const std::string& file, const std::string& text);

// The build folder of a project: `cacheFolder`, the project's name made safe as a file name, and
// a hash of its project file, so projects of the same name stay apart.
[[nodiscard]] std::string ProjectBuildFolder(const std::string& cacheFolder, const std::string& projectName,
                                             const std::string& projectFileName);

// One build's view of a build folder. Stamps are taken once per build.
class CompileCache {
public:
  // `compiler` is the compiler as the settings name it; its passes q3cpp and q3rcc, which it
  // runs from its own folder, count as part of it.
  CompileCache(std::string folder, const std::string& compiler);

  [[nodiscard]] const std::string& Folder() const { return folder_; }
  // The record of `assemblyFile` when the compiled file is there and was compiled from exactly
  // what compiling it with `commandLine` would read now; none when it must be compiled.
  [[nodiscard]] std::optional<CompileRecord> UpToDate(const std::string& assemblyFile,
                                                      const std::string& commandLine);
  // Before a compile: its record goes, and what it reads is noted for the record to come.
  [[nodiscard]] CompileInputs BeginCompile(const std::string& source, const std::string& assemblyFile,
                                           const std::string& commandLine);
  // After a compile that succeeded: the record of what it read and what it said. Returns why the
  // record could not be written; empty when it was.
  [[nodiscard]] std::string Remember(const std::string& assemblyFile, const std::string& commandLine,
                                     const CompileInputs& inputs, const std::vector<std::string>& messages);
  // After a compile that failed: neither the compiled file nor its record stays.
  static void Forget(const std::string& assemblyFile);
  // Whether the compiled file holds vmMain, from its record when it has one.
  [[nodiscard]] bool DefinesEntryPoint(const std::string& assemblyFile) const;

  // Whether `module` and its map are what assembling `inputs` (the assembler too) with
  // `commandLine` made, untouched since: then the assembler need not run.
  [[nodiscard]] bool ModuleUpToDate(const std::string& commandLine, const std::vector<std::string>& inputs,
                                    const std::string& module) const;
  // After `module` was installed. Returns why the record could not be written; empty when it was.
  [[nodiscard]] std::string RememberModule(const std::string& commandLine,
                                           const std::vector<std::string>& inputs,
                                           const std::string& module) const;
  // Before an assembly: until it installs its module, the module in place counts as unknown.
  void ForgetModule() const;

private:
  [[nodiscard]] const std::string& StampOf(const std::string& path);
  [[nodiscard]] std::optional<CompileRecord> RecordOf(const std::string& assemblyFile) const;
  [[nodiscard]] std::string ModuleRecordFile() const { return folder_ + "module.record"; }
  [[nodiscard]] static CompileRecord ModuleRecord(const std::string& commandLine,
                                                  const std::vector<std::string>& inputs,
                                                  const std::string& module);

  std::string folder_;
  std::vector<std::string> compilerFiles_;
  IncludeScanner scanner_;
  std::unordered_map<std::string, std::string> stamps_;
};
