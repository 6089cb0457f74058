// One project's chain: its C files compiled, up to "ParallelCompiles" at once with their messages
// listed file by file in the project's order, then assembled into the project's module, which
// is installed in the output folder. With a build cache folder, compiled files are kept between
// builds and Build compiles only the sources that changed since. Also a single file's compile.
#pragma once

#include "AssemblySourceMap.h"
#include "BuildSteps.h"
#include "CompileCache.h"
#include "EditorWindows.h"
#include "FolderLocks.h"
#include "MessageLines.h"
#include "ProgressState.h"
#include "ProjectList.h"
#include "Settings.h"
#include "ToolQueue.h"
#include "UserQuestions.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// What the tools said about a build, for the command-line build's exit status (the window
// shows the tools' own messages instead).
struct BuildOutcome {
  bool toolReportedError = false; // a failed compile, or an assembler that reported errors
  // Project names whose module is in place: written by the assembler, or up to date.
  std::set<std::string> modulesInstalled;
  // Why a project got no module, or why its module is in doubt, in build order.
  std::vector<std::pair<std::string, std::string>> projectProblems;
  std::string failure; // a step that could not start
  // The errors and warnings of the build: those the tools' messages name, each at its place,
  // and the assembler's errors that lead to no place, which count too.
  int errors = 0;
  int warnings = 0;
  int errorsWithoutPlace = 0;

  // The build went wrong somewhere: the user should read its messages.
  [[nodiscard]] bool Failed() const {
    return toolReportedError || !failure.empty() || !projectProblems.empty() || errors > 0;
  }
};

struct BuildContext {
  const Settings& settings;
  ProjectList& workspace;
  MessageLines& buildMessages; // the "Debug" list
  ProgressState& progress;
  EditorWindows& editors;
  UserQuestions& questions;
  std::shared_ptr<HandOver> handOver;
  ToolPaths tools = ToolPaths::Native();
  // Each tool run that takes longer is ended and counts as failed; none means no limit.
  std::optional<std::chrono::seconds> toolTimeLimit = std::nullopt;
  // Each project's compiled files are kept in a build folder below this one; empty: every
  // build compiles every source into the output folder and deletes the compiled files after.
  std::string buildCacheFolder = {};
  // A tool's end is reported this long after it ended at the soonest.
  std::chrono::milliseconds toolEndWait{0};
  // The build's last message line counts its errors and warnings.
  bool resultLine = false;
};

// Which sources a build compiles: those whose compiled file is missing or out of date, or all.
enum class Sources { Changed, All };

class ProjectBuild {
public:
  // `outcome` hears of failed compiles, installed modules, project problems and the assembler's
  // errors that name no place.
  ProjectBuild(const BuildContext& context, BuildOutcome& outcome, std::shared_ptr<LongPathCache> longPaths);
  ProjectBuild(const ProjectBuild&) = delete;
  ProjectBuild& operator=(const ProjectBuild&) = delete;

  // Compiles and assembles `project`; ends with ProjectEnded, or with BuildEnded when a step
  // cannot start or the build is cancelled.
  void Build(Project& project, Sources sources);
  // Compiles `path` alone, into the build folder of `owner` (of the file's folder when it has
  // none); ends with BuildEnded.
  void Compile(const Project* owner, const std::string& path);
  // The tools end as asked; their ends then end the build as cancelled.
  void Cancel();
  // The tools are asked to end, and nothing more is heard of them.
  void LetGo();
  [[nodiscard]] bool WaitingForFolders() const { return locks_.Waiting(); }
  // Lets other builds into the folders this one works in.
  void ReleaseFolders() { locks_.Unlock(); }

  [[nodiscard]] const std::vector<std::string>& AssemblyList() const { return assemblyList_; }
  // The runner of the tool whose output is listed now; none between tool runs.
  [[nodiscard]] ProcessRunner* Runner() const { return queue_.FrontRunner(); }

  // The build ends here: finished, cancelled, or stopped by a step that failed (`label` says how).
  std::function<void(const std::string& label)> BuildEnded;
  // The project is done; `result` (" - " and what became of its module) is for the summary.
  std::function<void(const std::string& result)> ProjectEnded;

private:
  // The build folder of `project`, or of the loose file `path` when there is no project; none
  // when compiled files are not kept.
  void UseBuildFolderOf(const Project* project, const std::string& path);
  [[nodiscard]] std::string CompileFolder() const;
  [[nodiscard]] std::string CompilerCommandLineFor(const std::string& path) const;
  [[nodiscard]] std::string AssemblyFile(const std::string& entry) const;
  // A source whose compiled file is kept and up to date is not compiled again; what its compile
  // said is listed in its place.
  bool TakeUpToDate(const std::string& path);
  // Why the compiler, or with `assembling` also the assembler, cannot run; empty when they can.
  [[nodiscard]] std::string MissingTool(bool assembling) const;
  // Runs `step` once the build holds its build folder and output folder.
  void LockFoldersThen(const std::function<void()>& step);
  void CompileProjectFiles();
  // Starts compiles of the project's next C files while fewer than ParallelCompiles run; false
  // when one could not start, which ended the build.
  bool StartCompiles();
  // After the project's last compile: its assembly, or the reason why there is none.
  void AssembleOrEndProject();
  // The compiled files in the order the assembler takes them.
  [[nodiscard]] std::vector<std::string> AssemblerInputs() const;
  [[nodiscard]] std::string AssemblerCommandLineFor(const std::vector<std::string>& inputs,
                                                    const std::string& outputName = {}) const;
  // Everything the module is made from: the compiled files, the project's assembly files and the
  // assembler.
  [[nodiscard]] std::vector<std::string> ModuleInputFiles(const std::vector<std::string>& inputs) const;
  [[nodiscard]] std::string InstalledModule() const;
  [[nodiscard]] bool ModuleUpToDate() const;
  void EndProjectUpToDate();
  void CompileFile(const std::string& path);
  void AssembleProject();
  void RunListed(ToolRun& run);
  void CompileDone(ToolRun& run, const ProcessEnd& end);
  void AssembleDone(ToolRun& run, const ProcessEnd& end);
  void EndProjectWithoutModule(const std::string& reason);
  void EndProject(const std::string& result);
  [[nodiscard]] std::string AssemblyProblem(const ToolRun& run, const std::string& installProblem) const;
  void NoteProblem(const std::string& problem);
  bool CompilableSource(const std::string& path);
  bool FailedCompile(const ToolRun& run, const ProcessEnd& end);
  // A compile whose exit status said it succeeded, yet its output cannot be used or kept.
  void FailCompileAfterAll(const ToolRun& run, const std::string& message);
  // Counts the compile as failed, and neither its compiled file nor its record stays.
  void ForgetCompile(const ToolRun& run);
  void FreeSlot(ToolRun& run);
  // False when `step` failed, which ended the build.
  template <typename Step> bool TryStep(Step step);
  void Fail(const std::string& message);
  void AddBuildMessage(const std::string& line);

  const BuildContext& context_;
  BuildOutcome& outcome_;
  FolderLocks locks_;                 // of the folders the project being built writes in
  std::optional<CompileCache> cache_; // of the project or file being built, when files are kept
  Sources sources_ = Sources::All;
  AssemblySourceMap sourceMap_;
  ToolQueue queue_;
  Project* project_ = nullptr; // of a project's build
  bool singleFile_ = false;    // a single file's compile, which ends the build
  int nextFile_ = 0;           // the index of the project's next C file
  int compilesRunning_ = 0;    // compiles holding one of the ParallelCompiles places
  std::vector<std::string> assemblyList_;
  int failedCompiles_ = 0;             // of the project being built
  std::set<int> missingSources_;       // indices of its sources that are gone
  std::string assemblerOutput_;        // the name the running assembly writes its module and map as
  std::vector<std::string> assembled_; // the running assembly's compiled files, in its order
};
