// The build: the five build commands, compiling a project's C files and assembling them into the
// project's module, as a chain of tool runs each started from an earlier run's end. Up to
// "ParallelCompiles" compiles run at once; their messages are listed file by file in the
// project's order, each file's together. With a build cache folder, compiled files are kept
// between builds and Build compiles only the sources that changed since. Holds the build state;
// one build at a time.
#pragma once

#include "AssemblySourceMap.h"
#include "BuildDiagnostics.h"
#include "BuildSteps.h"
#include "CompileCache.h"
#include "EditorWindows.h"
#include "FolderLocks.h"
#include "HeldOutput.h"
#include "MessageCollector.h"
#include "ProcessRunner.h"
#include "ProgressState.h"
#include "ProjectList.h"
#include "Settings.h"
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
  // The errors and warnings the tools' messages name, each at its place.
  int errors = 0;
  int warnings = 0;

  // The build went wrong somewhere: the user should read its messages.
  [[nodiscard]] bool Failed() const {
    return toolReportedError || !failure.empty() || !projectProblems.empty() || errors > 0;
  }
};

// "Build: 1 error, 2 warnings", the message list's last line under the desktop conventions.
[[nodiscard]] std::string BuildResultLine(int errors, int warnings);

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

extern const char* const kBuildAlreadyRunning;
extern const char* const kWorkspaceInUse;

class BuildController {
public:
  explicit BuildController(BuildContext context);
  ~BuildController();
  BuildController(const BuildController&) = delete;
  BuildController& operator=(const BuildController&) = delete;

  // "Build": the project of the selected tree node.
  void Build(Project& project, Sources sources = Sources::Changed);
  // "Build Active Project".
  void BuildActiveProject();
  // "Rebuild All"; the command-line build also walks every project compiling only what changed.
  void BuildAll(Sources sources = Sources::All);
  // "Compile": the file at `fileIndex` of `project`, as selected in the tree; a negative index
  // means the selected node matched no entry.
  void CompileProjectFile(Project& project, int fileIndex);
  // "Compile Active": the file of the active editor window.
  void CompileActiveFile();
  // What tree commands do before editing the workspace: RebuildAll off, "Debug" emptied.
  void ResetBuildState();
  // Commands that change or replace the workspace ask here first: while a build runs they are
  // refused with a message, as the build still walks the projects.
  bool RefuseWorkspaceChange();
  // Ends the build at once, its tools with it: the program is closing.
  void Abort();

  // Enabled states and captions of the build actions.
  [[nodiscard]] bool ToolsExist() const;
  [[nodiscard]] bool HasActiveProject() const { return context_.workspace.ActiveProject != nullptr; }
  [[nodiscard]] bool HasProjects() const { return context_.workspace.Count() > 0; }
  [[nodiscard]] static std::string BuildActiveProjectCaption(const Project& project);
  [[nodiscard]] static std::string CompileActiveCaption(const std::string& activeFileName);

  [[nodiscard]] bool Building() const { return building_; }
  [[nodiscard]] const BuildOutcome& Outcome() const { return outcome_; }
  [[nodiscard]] const std::vector<std::string>& AssemblyList() const { return AssemblyList_; }
  [[nodiscard]] const std::string& BuildSummary() const { return BuildSummary_; }
  // The errors and warnings of the last build, by file and line.
  [[nodiscard]] const BuildDiagnostics& Diagnostics() const { return diagnostics_; }
  // The runner of the tool that runs now; none between builds.
  [[nodiscard]] ProcessRunner* Runner() const;

  // Called whenever a build starts, and whenever one ends: finished, cancelled, or stopped by a
  // step that failed to start.
  std::function<void()> BuildStarted;
  std::function<void()> BuildFinished;

private:
  struct ToolRun;
  using EndHandler = void (BuildController::*)(ToolRun& run, const ProcessEnd& end);
  // One tool run of the build: its runner and, for a compile, the entry of the file it writes.
  struct ToolRun {
    ToolRun(MessageCollector collector, std::string spillFolder)
        : collector(std::move(collector)), held(std::move(spillFolder)) {}
    std::unique_ptr<ProcessRunner> runner;
    std::string program;
    std::string source; // of a compile
    std::string commandLine;
    CompileInputs inputs; // what the compile reads, for its record in the build folder
    std::string assemblyEntry;
    bool printed = false; // the tool wrote something
    // The completed lines of a compile's output, kept with its compiled file; none when there
    // were too many to keep.
    std::optional<std::vector<std::string>> said = std::vector<std::string>();
    // Lines listed after this run's output and its end: what the files after it that needed no
    // compile said when they were compiled.
    std::vector<std::string> after;
    EndHandler onEnd = nullptr;
    MessageCollector collector;
    // The output of a run started after the one being listed, held until it is this run's turn;
    // and how the tool ended once it has.
    HeldOutput held;
    std::optional<ProcessEnd> end;
    bool slotFreed = false; // a compile whose place another compile may take
  };

  bool RefuseWhileBuilding();
  void Cancel();
  void StartBuild();
  void StartProject(Project& project);
  // The build folder of `project`, or of the loose file `path` when there is no project; none
  // when compiled files are not kept.
  void UseBuildFolderOf(const Project* project, const std::string& path);
  [[nodiscard]] std::string CompileFolder() const;
  [[nodiscard]] std::string CompilerCommandLineFor(const std::string& path) const;
  [[nodiscard]] std::string AssemblyFile(const std::string& entry) const;
  // A source whose compiled file is kept and up to date is not compiled again; what its compile
  // said is listed in its place.
  bool TakeUpToDate(const std::string& path);
  void ListInOrder(const std::vector<std::string>& lines);
  void AskSaveModified();
  void SaveIfModified(const std::string& path, const std::string& shownName);
  void StartSingleCompile(const std::string& caption, const std::string& path);
  // Why the compiler, or with `assembling` also the assembler, cannot run; empty when they can.
  [[nodiscard]] std::string MissingTool(bool assembling) const;
  void StartProjectFiles();
  // Runs `step` once the build holds its build folder and output folder.
  void LockFoldersThen(const std::function<void()>& step);
  void CompileProjectFiles();
  // Starts compiles of the project's next C files while fewer than ParallelCompiles run.
  void StartCompiles();
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
  void CompileDone(ToolRun& run, const ProcessEnd& end);
  void AssembleDone(ToolRun& run, const ProcessEnd& end);
  void EndProjectWithoutModule(const std::string& reason);
  void ContinueAfterProject();
  [[nodiscard]] std::string AssemblyProblem(const ToolRun& run, const std::string& installProblem) const;
  void NoteProblem(const std::string& problem);
  void ReportEnd(const ToolRun& run);
  bool CompilableSource(const std::string& path);
  bool FailedCompile(const ToolRun& run, const ProcessEnd& end);
  // A compile whose exit status said it succeeded, yet its output cannot be used or kept.
  void FailCompileAfterAll(const ToolRun& run, const std::string& message);
  // Counts the compile as failed, and neither its compiled file nor its record stays.
  void ForgetCompile(const ToolRun& run);
  void OutputData(ToolRun& run, const char* buffer, std::size_t count, bool isError);
  void ListHeldOutput(ToolRun& run);
  // Ends the runs that ended, in the order they were started, and lists what each held.
  void EndRunsInOrder();
  // The build no longer hears of its runs, which are asked to end.
  void LetGoOfRuns();
  std::optional<std::string> SourceLineOf(const std::string& assemblerLine);
  ProcessRunner& NewRun(EndHandler onEnd, const std::string& program, std::string assemblyEntry = {});
  void RunEnded(ProcessRunner& sender, const ProcessEnd& end);
  void FreeSlot(ToolRun& run);
  template <typename Step> void TryStep(Step step);
  void FailBuild(const std::string& message);
  void Finish(const std::string& label);
  void AddBuildMessage(const std::string& line);
  static void MakeFolder(const std::string& folder, const std::string& what);
  static void RemoveOldFile(const std::string& path);

  BuildContext context_;
  FolderLocks locks_; // of the folders the project being built writes in
  std::shared_ptr<LongPathCache> longPaths_ = std::make_shared<LongPathCache>();
  BuildDiagnostics diagnostics_;
  int assemblerErrorsWithoutPlace_ = 0;
  std::optional<CompileCache> cache_; // of the project or file being built, when files are kept
  Sources sources_ = Sources::All;
  AssemblySourceMap sourceMap_;
  // In the order they were started: the first one's output is listed as it comes.
  std::vector<std::unique_ptr<ToolRun>> running_;
  // Runs that have ended. The last may still be on the call stack that started the next run, so
  // they are released when a later run ends.
  std::vector<std::unique_ptr<ToolRun>> ended_;
  int compilesRunning_ = 0; // compiles holding one of the ParallelCompiles places
  std::vector<std::string> AssemblyList_;
  int failedCompiles_ = 0;             // of the project being built
  std::set<int> missingSources_;       // indices of its sources that are gone
  std::string projectResult_;          // " - " and what became of the project's module
  std::string assemblerOutput_;        // the name the running assembly writes its module and map as
  std::vector<std::string> assembled_; // the running assembly's compiled files, in its order
  Project* BuildProject = nullptr;
  int BuildFileIndex = -1;
  int BuildProjectIndex = 0;
  bool RebuildAll = false;
  std::string BuildSummary_;
  bool building_ = false;
  BuildOutcome outcome_;
};
