// The build commands: Build, Build Active Project, Rebuild All, Compile and Compile Active, their
// enabled states and captions, Cancel, and the walk over the projects of Rebuild All. Each
// project is built by a ProjectBuild. Holds the build state; one build at a time.
#pragma once

#include "BuildDiagnostics.h"
#include "ProjectBuild.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// "Build: 1 error, 2 warnings", the message list's last line under the desktop conventions.
[[nodiscard]] std::string BuildResultLine(int errors, int warnings);

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
  // What tree commands do before editing the workspace: Rebuild All forgotten, "Debug" emptied.
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
  [[nodiscard]] const std::vector<std::string>& AssemblyList() const { return chain_.AssemblyList(); }
  [[nodiscard]] const std::string& BuildSummary() const { return summary_; }
  // The errors and warnings of the last build, by file and line.
  [[nodiscard]] const BuildDiagnostics& Diagnostics() const { return diagnostics_; }
  // The runner of the tool that runs now; none between builds.
  [[nodiscard]] ProcessRunner* Runner() const { return chain_.Runner(); }

  // Called whenever a build starts, and whenever one ends: finished, cancelled, or stopped by a
  // step that failed to start.
  std::function<void()> BuildStarted;
  std::function<void()> BuildFinished;

private:
  bool RefuseWhileBuilding();
  void Cancel();
  void StartBuild();
  void StartProject(Project& project);
  void AskSaveModified();
  void SaveIfModified(const std::string& path, const std::string& shownName);
  void StartSingleCompile(const std::string& caption, const Project* owner, const std::string& path);
  void ContinueAfterProject(const std::string& projectResult);
  void Finish(const std::string& label);

  BuildContext context_;
  std::shared_ptr<LongPathCache> longPaths_ = std::make_shared<LongPathCache>();
  BuildDiagnostics diagnostics_;
  BuildOutcome outcome_;
  ProjectBuild chain_;
  Sources sources_ = Sources::All;
  Project* project_ = nullptr; // being built
  int projectIndex_ = 0;       // its place in the workspace, while Rebuild All walks the projects
  bool rebuildAll_ = false;
  std::string summary_; // a line per project Rebuild All built
  bool building_ = false;
};
