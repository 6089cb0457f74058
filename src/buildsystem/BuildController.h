// The build: the five build commands, compiling a project's C files one after the other and
// assembling them into the project's module, as a chain of tool runs each started from the
// previous run's end. Holds the build state; one build at a time.
#pragma once

#include "BuildSteps.h"
#include "EditorWindows.h"
#include "MessageCollector.h"
#include "ProcessRunner.h"
#include "ProgressState.h"
#include "ProjectList.h"
#include "Settings.h"
#include "UserQuestions.h"

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

// What the tools said about a build, for the command-line build's exit status (the window
// shows the tools' own messages instead).
struct BuildOutcome {
  bool toolReportedError = false;         // an exit status other than 0, or "N total errors" with N > 0
  std::set<std::string> modulesInstalled; // project names whose module the assembler wrote
  std::string failure;                    // a step that could not start
};

struct BuildContext {
  const Settings& settings;
  TProjectList& workspace;
  MessageLines& debugLines; // the "Debug" list
  ProgressState& progress;
  EditorWindows& editors;
  UserQuestions& questions;
  std::shared_ptr<HandOver> handOver;
  std::function<void()> processEvents; // may be empty
  ToolPaths tools = ToolPaths::Native();
};

extern const char* const kBuildAlreadyRunning;

class TBuildController {
public:
  explicit TBuildController(BuildContext context);
  ~TBuildController();
  TBuildController(const TBuildController&) = delete;
  TBuildController& operator=(const TBuildController&) = delete;

  // "Build": the project of the selected tree node.
  void BuildActionExecute(TProjectItem& project);
  // "Build Active Project".
  void BuildActiveProjectActionExecute();
  // "Rebuild All".
  void BuildAllActionExecute();
  // "Compile": the file at `fileIndex` of `project`, as selected in the tree; a negative index
  // means the selected node matched no entry.
  void CompileActionExecute(TProjectItem& project, int fileIndex);
  // "Compile Active": the file of the active editor window.
  void CompileActiveActionExecute();
  // What tree commands do before editing the workspace: RebuildAll off, "Debug" emptied.
  void ResetBuildState();

  // Enabled states and captions of the build actions.
  [[nodiscard]] bool ToolsExist() const;
  [[nodiscard]] bool HasActiveProject() const { return context_.workspace.ActiveProject != nullptr; }
  [[nodiscard]] bool HasProjects() const { return context_.workspace.Count() > 0; }
  [[nodiscard]] static std::string BuildActiveProjectCaption(const TProjectItem& project);
  [[nodiscard]] static std::string CompileActiveCaption(const std::string& activeFileName);

  [[nodiscard]] bool Building() const { return building_; }
  [[nodiscard]] const BuildOutcome& Outcome() const { return outcome_; }
  [[nodiscard]] const std::vector<std::string>& AssemblyList() const { return AssemblyList_; }
  [[nodiscard]] TMessageCollector& Collector() { return collector_; }
  [[nodiscard]] const std::string& BuildSummary() const { return BuildSummary_; }
  [[nodiscard]] ProcessRunner* Runner() const { return Runner_.get(); }

  // Called whenever a build ends: finished, cancelled, or stopped by a step that failed to start.
  std::function<void()> BuildFinished;

private:
  bool RefuseWhileBuilding();
  void StartBuild();
  void StartProject(TProjectItem& project);
  void AskSaveModified();
  void SaveIfModified(const std::string& path, const std::string& shownName);
  void StartSingleCompile(const std::string& caption, const std::string& path);
  void CompileOrAssembleCurrent();
  void CompileFile(const std::string& path);
  void AssembleProject();
  void CompileDone(ProcessRunner& sender);
  void AssembleDone(ProcessRunner& sender);
  void ContinueAfterAssembly();
  void OutputData(const char* buffer, std::size_t count, bool isError);
  ProcessRunner& NewRunner(void (TBuildController::*onTerminated)(ProcessRunner&));
  template <typename Step> void TryStep(Step step);
  void FailBuild(const std::string& message);
  void Finish(const std::string& label);
  void AddDebugLine(const std::string& line);
  void MakeOutputFolder() const;

  BuildContext context_;
  TMessageCollector collector_;
  std::unique_ptr<ProcessRunner> Runner_;
  // The runner before the current one: it may still be on the call stack that started the
  // current one, so it is released only when the next runner is made.
  std::unique_ptr<ProcessRunner> previousRunner_;
  std::vector<std::string> AssemblyList_;
  TProjectItem* BuildProject = nullptr;
  int BuildFileIndex = -1;
  int BuildProjectIndex = 0;
  bool RebuildAll = false;
  std::string BuildSummary_;
  bool building_ = false;
  BuildOutcome outcome_;
};
