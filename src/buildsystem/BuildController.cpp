// The chain of a build: command -> CompileFile -> CompileDone -> ... -> AssembleProject ->
// AssembleDone -> next project or the end. A step that cannot start ends the build visibly.
#include "BuildController.h"

#include "WorkspacePaths.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>

const char* const kBuildAlreadyRunning =
    "A build is already running. Wait until it has finished, or press Cancel and wait for the "
    "running tool to end.";

namespace {

// The count in the assembler's "N total errors" line; 0 when there is none.
int TotalErrors(const std::string& assemblerResult) {
  const auto at = assemblerResult.find(" total errors");
  if (at == std::string::npos) return 0;
  auto start = at;
  while (start > 0 && std::isdigit(static_cast<unsigned char>(assemblerResult[start - 1])))
    --start;
  return start == at ? 0 : std::atoi(assemblerResult.c_str() + start);
}

std::vector<std::string> PathsOf(const std::vector<TProjectFile>& files) {
  std::vector<std::string> result;
  for (const auto& file : files)
    result.push_back(file.Path);
  return result;
}

} // namespace

TBuildController::TBuildController(BuildContext context)
    : context_(std::move(context)), collector_(context_.processEvents, context_.tools.style) {}

// The runners kill their tools when they go (TerminateOnDestroy).
TBuildController::~TBuildController() = default;

bool TBuildController::ToolsExist() const {
  return paths::FileExists(context_.settings.lcclocation) &&
         paths::FileExists(context_.settings.q3asmlocation);
}

std::string TBuildController::BuildActiveProjectCaption(const TProjectItem& project) {
  return "Build " + project.Name + ".qvm";
}

std::string TBuildController::CompileActiveCaption(const std::string& activeFileName) {
  return "Compile " + FileNameOf(activeFileName);
}

bool TBuildController::RefuseWhileBuilding() {
  if (building_) context_.questions.inform(kBuildAlreadyRunning);
  return building_;
}

void TBuildController::ResetBuildState() {
  RebuildAll = false;
  context_.debugLines.Clear();
}

void TBuildController::BuildActionExecute(TProjectItem& project) {
  if (RefuseWhileBuilding()) return;
  RebuildAll = false;
  context_.debugLines.Clear();
  StartProject(project);
}

void TBuildController::BuildActiveProjectActionExecute() {
  if (!HasActiveProject() || RefuseWhileBuilding()) return;
  RebuildAll = false;
  context_.debugLines.Clear();
  StartProject(*context_.workspace.ActiveProject);
}

void TBuildController::BuildAllActionExecute() {
  if (!HasProjects() || RefuseWhileBuilding()) return;
  RebuildAll = true;
  BuildSummary_.clear();
  context_.debugLines.Clear();
  BuildProjectIndex = 0;
  StartProject(context_.workspace.Items(0));
}

void TBuildController::CompileActionExecute(TProjectItem& project, int fileIndex) {
  if (RefuseWhileBuilding()) return;
  context_.debugLines.Clear();
  if (fileIndex < 0 || fileIndex >= static_cast<int>(project.Files.size())) return;
  RebuildAll = false;
  BuildProject = &project;
  BuildFileIndex = -1;
  const std::string path = project.Files[static_cast<std::size_t>(fileIndex)].Path;
  SaveIfModified(path, FileNameOf(path));
  StartSingleCompile("Compiling - " + project.Name, path);
}

void TBuildController::CompileActiveActionExecute() {
  const auto active = context_.editors.ActiveFileName();
  if (!active || RefuseWhileBuilding()) return;
  context_.debugLines.Clear();
  BuildProject = nullptr;
  BuildFileIndex = -1;
  SaveIfModified(*active, *active);
  StartSingleCompile("Compiling - " + FileNameOf(*active), *active);
}

void TBuildController::SaveIfModified(const std::string& path, const std::string& shownName) {
  if (context_.editors.IsModified(path) &&
      context_.questions.askYesNo(shownName + " is not saved, Save this File?") == Answer::Yes)
    context_.editors.Save(path);
}

void TBuildController::StartBuild() {
  building_ = true;
  outcome_ = BuildOutcome();
}

void TBuildController::StartSingleCompile(const std::string& caption, const std::string& path) {
  StartBuild();
  context_.progress.SetMaximum(1);
  context_.progress.Show();
  context_.progress.SetCaption(caption);
  context_.progress.SetLabel(path);
  AssemblyList_.clear();
  TryStep([&] { CompileFile(path); });
}

void TBuildController::AskSaveModified() {
  std::string names;
  for (const std::string& file : context_.editors.ModifiedFiles())
    names += (names.empty() ? "" : ", ") + FileNameOf(file);
  if (!names.empty() &&
      context_.questions.askYesNo("The Files " + names + " are not saved\r\nSave Files?") == Answer::Yes)
    context_.editors.SaveAll();
}

void TBuildController::StartProject(TProjectItem& project) {
  BuildProject = &project;
  if (project.Files.empty()) return;
  AskSaveModified();
  StartBuild();
  context_.progress.SetMaximum(static_cast<int>(project.Files.size()));
  context_.progress.Show();
  BuildFileIndex = project.NextSourceFile(0);
  AssemblyList_.clear();
  CompileOrAssembleCurrent();
}

// A project without (further) C files goes straight to its assembly: its other files may be
// a whole module written in assembly.
void TBuildController::CompileOrAssembleCurrent() {
  if (BuildFileIndex >= static_cast<int>(BuildProject->Files.size()))
    return TryStep([&] { AssembleProject(); });
  const std::string& path = BuildProject->Files[static_cast<std::size_t>(BuildFileIndex)].Path;
  context_.progress.SetCaption("Compiling - " + BuildProject->Name);
  context_.progress.SetLabel(path);
  TryStep([&] { CompileFile(path); });
}

template <typename Step> void TBuildController::TryStep(Step step) {
  try {
    step();
  } catch (const std::exception& error) {
    FailBuild(error.what());
  }
}

void TBuildController::FailBuild(const std::string& message) {
  outcome_.failure = message;
  AddDebugLine(message);
  Finish(message);
}

void TBuildController::Finish(const std::string& label) {
  context_.progress.SetLabel(label);
  context_.progress.ShowFinished();
  building_ = false;
  if (BuildFinished) BuildFinished();
}

void TBuildController::AddDebugLine(const std::string& line) {
  MessageLines& lines = context_.debugLines;
  if (!lines.Empty() && lines.Last().empty())
    lines.SetLast(line);
  else
    lines.Add(line);
  lines.Add(std::string());
  collector_.LineBreakPending = false;
}

void TBuildController::MakeOutputFolder() const {
  // A folder that cannot be made is not reported here: the tools then fail to write into it.
  std::error_code ignored;
  std::filesystem::create_directories(context_.settings.outputlocation, ignored);
}

ProcessRunner& TBuildController::NewRunner(void (TBuildController::*onTerminated)(ProcessRunner&)) {
  previousRunner_ = std::move(Runner_);
  Runner_ = std::make_unique<ProcessRunner>(context_.handOver);
  Runner_->TerminateOnDestroy = true;
  Runner_->OnData = [this](ProcessRunner&, const char* buffer, std::size_t count) {
    OutputData(buffer, count, false);
  };
  Runner_->OnErrorData = [this](ProcessRunner&, const char* buffer, std::size_t count) {
    OutputData(buffer, count, true);
  };
  Runner_->OnTerminated = [this, onTerminated](ProcessRunner& sender) { (this->*onTerminated)(sender); };
  return *Runner_;
}

void TBuildController::CompileFile(const std::string& path) {
  MakeOutputFolder();
  ProcessRunner& runner = NewRunner(&TBuildController::CompileDone);
  std::vector<std::string> projectFiles;
  for (int i = 0; i < context_.workspace.Count(); ++i)
    projectFiles.push_back(context_.workspace.Items(i).FileName);
  runner.SetParameters(CompilerCommandLine(context_.settings, projectFiles, path, context_.tools));
  runner.SetDirectory(context_.settings.outputlocation);
  AssemblyList_.push_back(AssemblyListEntry(context_.settings, path, context_.tools));
  collector_.Assembling = false;
  collector_.AssemblerResult.clear();
  runner.Execute();
}

void TBuildController::OutputData(const char* buffer, std::size_t count, bool isError) {
  // The text ends at the first NUL byte, as the list holds C strings.
  const std::string text(buffer, ::strnlen(buffer, count));
  collector_.CollectOutput(text, context_.debugLines, isError);
  if (context_.processEvents) context_.processEvents();
}

void TBuildController::CompileDone(ProcessRunner& sender) {
  if (sender.ExitCode().value_or(0) != 0) outcome_.toolReportedError = true;
  if (BuildFileIndex != -1 && context_.progress.Running()) {
    BuildFileIndex = BuildProject->NextSourceFile(BuildFileIndex + 1);
    if (BuildFileIndex < static_cast<int>(BuildProject->Files.size()))
      context_.progress.SetPosition(BuildFileIndex);
    CompileOrAssembleCurrent();
    return;
  }
  Finish(context_.progress.Running() ? "Completed" : "Cancelled");
}

void TBuildController::AssembleProject() {
  MakeOutputFolder();
  ProcessRunner& runner = NewRunner(&TBuildController::AssembleDone);
  const std::vector<std::string> inputs = WithEntryPointFirst(AssemblyList_, context_.tools);
  runner.SetParameters(
      AssemblerCommandLine(context_.settings, inputs, PathsOf(BuildProject->Files), context_.tools));
  runner.SetDirectory(context_.settings.outputlocation);
  context_.progress.SetCaption("Assembling - " + BuildProject->Name + ".qvm");
  context_.progress.SetLabel("Please Wait...");
  collector_.Assembling = true;
  collector_.AssemblerResult.clear();
  runner.Execute();
}

void TBuildController::AssembleDone(ProcessRunner& sender) {
  if (sender.ExitCode().value_or(0) != 0 || TotalErrors(collector_.AssemblerResult) > 0)
    outcome_.toolReportedError = true;
  if (InstallModule(context_.settings.outputlocation, BuildProject->Name))
    outcome_.modulesInstalled.insert(BuildProject->Name);
  DeleteAssemblyFiles(AssemblyList_, context_.tools);
  AssemblyList_.clear();
  ContinueAfterAssembly();
}

void TBuildController::ContinueAfterAssembly() {
  ++BuildProjectIndex;
  if (RebuildAll) BuildSummary_ += BuildProject->Name + " " + collector_.AssemblerResult + "\r";
  if (RebuildAll && BuildProjectIndex < context_.workspace.Count()) {
    BuildProject = &context_.workspace.Items(BuildProjectIndex);
    BuildFileIndex = BuildProject->NextSourceFile(0);
    context_.progress.SetPosition(BuildFileIndex);
    context_.progress.SetMaximum(static_cast<int>(BuildProject->Files.size()));
    CompileOrAssembleCurrent();
  } else if (RebuildAll) {
    Finish("Completed\r" + BuildSummary_);
  } else {
    Finish("Completed " + collector_.AssemblerResult);
  }
}
