// The chain of a build: command -> CompileFile (up to ParallelCompiles at once) -> CompileDone,
// in file order -> ... -> AssembleProject -> AssembleDone -> next project or the end. A step that
// cannot start ends the build visibly; a project with a failed compile is not assembled, so its
// working module stays.
#include "BuildController.h"

#include "ToolOutputChecks.h"
#include "WorkspacePaths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

const char* const kBuildAlreadyRunning =
    "A build is already running. Wait until it has finished, or press Cancel and wait for the "
    "running tool to end.";
const char* const kWorkspaceInUse =
    "The workspace cannot be changed while a build is running. Wait until it has finished, or "
    "press Cancel in the progress window, then try again.";

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

std::vector<std::string> PathsOf(const std::vector<ProjectFile>& files) {
  std::vector<std::string> result;
  for (const auto& file : files)
    result.push_back(file.Path);
  return result;
}

// Why `path` cannot be read as a file; empty when it can be.
std::string WhyNoFile(const std::string& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return std::strerror(errno);
  return S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : std::string();
}

std::string Counted(int count, const std::string& what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

std::string FilesFailed(int count) {
  return std::to_string(count) + (count == 1 ? " file" : " files") + " failed to compile";
}

} // namespace

std::string BuildResultLine(int errors, int warnings) {
  return "Build: " + Counted(errors, "error") + ", " + Counted(warnings, "warning");
}

BuildController::BuildController(BuildContext context)
    : context_(std::move(context)), locks_(context_.handOver),
      diagnostics_(context_.buildMessages, context_.tools.style,
                   [longPaths = longPaths_](const std::string& path) {
                     return longPaths->LongForm(path).has_value();
                   }) {
  context_.progress.CancelPressed = [this] { Cancel(); };
}

// The runners kill their tools when they go (TerminateOnDestroy).
BuildController::~BuildController() { context_.progress.CancelPressed = nullptr; }

bool BuildController::ToolsExist() const {
  return paths::FileExists(context_.settings.lcclocation) &&
         paths::FileExists(context_.settings.q3asmlocation);
}

std::string BuildController::BuildActiveProjectCaption(const Project& project) {
  return "Build " + project.Name + ".qvm";
}

std::string BuildController::CompileActiveCaption(const std::string& activeFileName) {
  return "Compile " + FileNameOf(activeFileName);
}

ProcessRunner* BuildController::Runner() const {
  return running_.empty() ? nullptr : running_.front()->runner.get();
}

bool BuildController::RefuseWhileBuilding() {
  if (building_) context_.questions.inform(kBuildAlreadyRunning);
  return building_;
}

bool BuildController::RefuseWorkspaceChange() {
  if (building_) context_.questions.inform(kWorkspaceInUse);
  return building_;
}

void BuildController::ResetBuildState() {
  RebuildAll = false;
  context_.buildMessages.Clear();
}

// The tools end as asked; their end events then finish the build as cancelled. A build waiting
// for another one's folders ends at once.
void BuildController::Cancel() {
  if (building_ && locks_.Waiting()) return Finish("Cancelled");
  for (const auto& run : running_)
    if (run->runner->Active()) run->runner->Terminate(0);
}

void BuildController::Abort() {
  if (!building_) return;
  context_.progress.cancelButtonClick();
  if (!building_) return; // it was waiting for another build's folders
  LetGoOfRuns();
  Finish("Cancelled");
}

// The runs go to the ended ones, whose events no longer reach the build; their tools end.
void BuildController::LetGoOfRuns() {
  for (auto& run : running_) {
    if (run->runner->Active()) run->runner->Terminate(0);
    ended_.push_back(std::move(run));
  }
  running_.clear();
  compilesRunning_ = 0;
}

void BuildController::Build(Project& project, Sources sources) {
  if (RefuseWhileBuilding()) return;
  RebuildAll = false;
  sources_ = sources;
  context_.buildMessages.Clear();
  StartProject(project);
}

void BuildController::BuildActiveProject() {
  if (!HasActiveProject() || RefuseWhileBuilding()) return;
  RebuildAll = false;
  sources_ = Sources::Changed;
  context_.buildMessages.Clear();
  StartProject(*context_.workspace.ActiveProject);
}

void BuildController::BuildAll(Sources sources) {
  if (!HasProjects() || RefuseWhileBuilding()) return;
  RebuildAll = true;
  sources_ = sources;
  BuildSummary_.clear();
  context_.buildMessages.Clear();
  BuildProjectIndex = 0;
  StartProject(context_.workspace.Items(0));
}

void BuildController::CompileProjectFile(Project& project, int fileIndex) {
  if (RefuseWhileBuilding()) return;
  context_.buildMessages.Clear();
  if (fileIndex < 0 || fileIndex >= static_cast<int>(project.Files.size())) return;
  RebuildAll = false;
  BuildProject = &project;
  BuildFileIndex = -1;
  const std::string path = project.Files[static_cast<std::size_t>(fileIndex)].Path;
  SaveIfModified(path, FileNameOf(path));
  UseBuildFolderOf(&project, path);
  StartSingleCompile("Compiling - " + project.Name, path);
}

void BuildController::CompileActiveFile() {
  const auto active = context_.editors.ActiveFileName();
  if (!active || RefuseWhileBuilding()) return;
  context_.buildMessages.Clear();
  BuildProject = nullptr;
  BuildFileIndex = -1;
  SaveIfModified(*active, *active);
  const Project* owner = nullptr;
  for (int i = 0; i < context_.workspace.Count() && !owner; ++i)
    for (const ProjectFile& file : context_.workspace.Items(i).Files)
      if (file.Path == *active) owner = &context_.workspace.Items(i);
  UseBuildFolderOf(owner, *active);
  StartSingleCompile("Compiling - " + FileNameOf(*active), *active);
}

void BuildController::SaveIfModified(const std::string& path, const std::string& shownName) {
  if (context_.editors.IsModified(path) &&
      context_.questions.askYesNo(shownName + " is not saved, Save this File?") == Answer::Yes)
    context_.editors.Save(path);
}

void BuildController::StartBuild() {
  building_ = true;
  longPaths_->Clear();
  assemblerErrorsWithoutPlace_ = 0;
  outcome_ = BuildOutcome();
  if (BuildStarted) BuildStarted();
}

void BuildController::StartSingleCompile(const std::string& caption, const std::string& path) {
  StartBuild();
  context_.progress.SetMaximum(1);
  context_.progress.Show();
  context_.progress.SetCaption(caption);
  context_.progress.SetLabel(path);
  AssemblyList_.clear();
  failedCompiles_ = 0;
  if (const std::string missing = MissingTool(false); !missing.empty()) return FailBuild(missing);
  if (!CompilableSource(path)) return Finish("Completed  - " + FilesFailed(failedCompiles_));
  LockFoldersThen([this, path] { CompileFile(path); });
}

// A source that is gone fails at once and says so: the compiler would take the missing name for
// no name at all.
bool BuildController::CompilableSource(const std::string& path) {
  const std::string why = WhyNoFile(path);
  if (why.empty()) return true;
  AddBuildMessage("Cannot compile " + path + ": " + why);
  ++failedCompiles_;
  outcome_.toolReportedError = true;
  return false;
}

void BuildController::AskSaveModified() {
  std::string names;
  for (const std::string& file : context_.editors.ModifiedFiles())
    names += (names.empty() ? "" : ", ") + FileNameOf(file);
  if (!names.empty() &&
      context_.questions.askYesNo("The Files " + names + " are not saved\r\nSave Files?") == Answer::Yes)
    context_.editors.SaveAll();
}

void BuildController::StartProject(Project& project) {
  BuildProject = &project;
  if (!project.Files.empty()) AskSaveModified();
  StartBuild();
  context_.progress.SetMaximum(static_cast<int>(project.Files.size()));
  context_.progress.Show();
  StartProjectFiles();
}

void BuildController::UseBuildFolderOf(const Project* project, const std::string& path) {
  cache_.reset();
  if (context_.buildCacheFolder.empty()) return;
  const std::string folder =
      project ? ProjectBuildFolder(context_.buildCacheFolder, project->Name, project->FileName)
              : ProjectBuildFolder(context_.buildCacheFolder, "files", paths::ExtractFilePath(path));
  cache_.emplace(folder, context_.settings.lcclocation);
}

std::string BuildController::CompileFolder() const {
  return cache_ ? cache_->Folder() : context_.settings.outputlocation;
}

std::string BuildController::AssemblyFile(const std::string& entry) const {
  return entry + context_.tools.AssemblyExtension();
}

std::string BuildController::CompilerCommandLineFor(const std::string& path) const {
  return CompilerCommandLine(context_.settings, ProjectFileNames(context_.workspace), path, context_.tools);
}

bool BuildController::TakeUpToDate(const std::string& path) {
  if (!cache_ || sources_ == Sources::All) return false;
  const std::string entry = AssemblyListEntry(CompileFolder(), path, context_.tools);
  const std::optional<CompileRecord> record =
      cache_->UpToDate(AssemblyFile(entry), CompilerCommandLineFor(path));
  if (!record) return false;
  AssemblyList_.push_back(entry);
  ListInOrder(record->messages);
  return true;
}

// After the output of the runs started before, or at once when none runs.
void BuildController::ListInOrder(const std::vector<std::string>& lines) {
  if (!running_.empty()) {
    running_.back()->after.insert(running_.back()->after.end(), lines.begin(), lines.end());
    return;
  }
  for (const std::string& line : lines)
    AddBuildMessage(line);
}

// Nothing is compiled, and no folder made, when the module cannot be built in the end.
std::string BuildController::MissingTool(bool assembling) const {
  const Settings& settings = context_.settings;
  std::string missing = ToolNotFound("compiler", "lcclocation", settings.lcclocation);
  if (missing.empty() && assembling)
    missing = ToolNotFound("assembler", "q3asmlocation", settings.q3asmlocation);
  return missing;
}

void BuildController::StartProjectFiles() {
  if (const std::string missing = MissingTool(true); !missing.empty()) return FailBuild(missing);
  UseBuildFolderOf(BuildProject, {});
  LockFoldersThen([this] { CompileProjectFiles(); });
}

// Another build, in this program or another, may be working in the same folders: this one waits
// until it is done, and says so.
void BuildController::LockFoldersThen(const std::function<void()>& step) {
  TryStep([this] {
    MakeFolder(context_.settings.outputlocation, "output folder");
    if (cache_) MakeFolder(CompileFolder(), "build folder");
  });
  if (!building_) return;
  locks_.Lock(
      {CompileFolder(), context_.settings.outputlocation},
      [this](const std::string& folder) {
        AddBuildMessage("Waiting for another build that uses " + folder + " to finish...");
        context_.progress.SetLabel("Waiting for another build to finish...");
      },
      [this, step] { TryStep(step); });
}

void BuildController::CompileProjectFiles() {
  BuildFileIndex = BuildProject->NextSourceFile(0);
  AssemblyList_.clear();
  failedCompiles_ = 0;
  // Their messages come first, before any compile's output.
  missingSources_.clear();
  const int files = static_cast<int>(BuildProject->Files.size());
  for (int i = BuildFileIndex; i < files; i = BuildProject->NextSourceFile(i + 1))
    if (!CompilableSource(BuildProject->Files[static_cast<std::size_t>(i)].Path)) missingSources_.insert(i);
  StartCompiles();
  if (building_ && running_.empty()) AssembleOrEndProject();
}

void BuildController::StartCompiles() {
  const int files = static_cast<int>(BuildProject->Files.size());
  while (building_ && compilesRunning_ < std::max(1, context_.settings.ParallelCompiles) &&
         BuildFileIndex < files) {
    const int index = BuildFileIndex;
    const std::string path = BuildProject->Files[static_cast<std::size_t>(index)].Path;
    BuildFileIndex = BuildProject->NextSourceFile(index + 1);
    if (missingSources_.count(index) || TakeUpToDate(path)) continue;
    context_.progress.SetCaption("Compiling - " + BuildProject->Name);
    context_.progress.SetLabel(path);
    context_.progress.SetPosition(index);
    TryStep([&] { CompileFile(path); });
  }
}

// A project without C files goes straight to its assembly: its other files may be a whole
// module written in assembly.
void BuildController::AssembleOrEndProject() {
  if (failedCompiles_ > 0) return EndProjectWithoutModule(FilesFailed(failedCompiles_));
  const auto files = PathsOf(BuildProject->Files);
  if (AssemblyList_.empty() && std::none_of(files.begin(), files.end(), PassedToAssembler))
    return EndProjectWithoutModule("no source files");
  if (ModuleUpToDate()) return EndProjectUpToDate();
  TryStep([&] { AssembleProject(); });
}

std::vector<std::string> BuildController::AssemblerInputs() const {
  return WithEntryPointFirst(AssemblyList_, [this](const std::string& entry) {
    return cache_ ? cache_->DefinesEntryPoint(AssemblyFile(entry)) : DefinesEntryPoint(AssemblyFile(entry));
  });
}

std::string BuildController::AssemblerCommandLineFor(const std::vector<std::string>& inputs,
                                                     const std::string& outputName) const {
  return AssemblerCommandLine(context_.settings, inputs, PathsOf(BuildProject->Files), context_.tools,
                              outputName);
}

std::vector<std::string> BuildController::ModuleInputFiles(const std::vector<std::string>& inputs) const {
  std::vector<std::string> files;
  for (const std::string& entry : inputs)
    files.push_back(AssemblyFile(entry));
  for (const ProjectFile& file : BuildProject->Files)
    if (PassedToAssembler(file.Path)) files.push_back(file.Path);
  const std::string& assembler = context_.settings.q3asmlocation;
  files.push_back(assembler.find('/') == std::string::npos ? FindOnSearchPath(assembler) : assembler);
  return files;
}

std::string BuildController::InstalledModule() const {
  return context_.settings.outputlocation + BuildProject->Name + ".qvm";
}

// A Build whose compiled files and assembler are those the module in place was made from needs
// no assembly; Rebuild All always assembles.
bool BuildController::ModuleUpToDate() const {
  if (!cache_ || sources_ == Sources::All) return false;
  const std::vector<std::string> inputs = AssemblerInputs();
  return cache_->ModuleUpToDate(AssemblerCommandLineFor(inputs), ModuleInputFiles(inputs), InstalledModule());
}

void BuildController::EndProjectUpToDate() {
  AssemblyList_.clear();
  const std::string module = BuildProject->Name + ".qvm";
  AddBuildMessage(module + " is up to date");
  projectResult_ = " - " + module + " is up to date";
  outcome_.modulesInstalled.insert(BuildProject->Name);
  ContinueAfterProject();
}

template <typename Step> void BuildController::TryStep(Step step) {
  try {
    step();
  } catch (const std::exception& error) {
    FailBuild(error.what());
  }
}

void BuildController::FailBuild(const std::string& message) {
  LetGoOfRuns(); // compiles started before the failed step
  outcome_.failure = message;
  AddBuildMessage(message);
  Finish(message);
}

void BuildController::Finish(const std::string& label) {
  locks_.Unlock();
  outcome_.errors = diagnostics_.Errors() + assemblerErrorsWithoutPlace_;
  outcome_.warnings = diagnostics_.Warnings();
  if (context_.resultLine) AddBuildMessage(BuildResultLine(outcome_.errors, outcome_.warnings));
  context_.progress.SetLabel(label);
  context_.progress.ShowFinished();
  building_ = false;
  if (BuildFinished) BuildFinished();
}

void BuildController::AddBuildMessage(const std::string& line) {
  MessageLines& lines = context_.buildMessages;
  if (!lines.Empty() && lines.Last().empty())
    lines.SetLast(line);
  else
    lines.Add(line);
  lines.Add(std::string());
}

void BuildController::RemoveOldFile(const std::string& path) {
  if (std::remove(path.c_str()) != 0 && errno != ENOENT)
    throw TessarinError("Cannot remove the old " + path + " (" + std::strerror(errno) + ")");
}

void BuildController::MakeFolder(const std::string& folder, const std::string& what) {
  // Otherwise the tools cannot start in it, which would read like a missing tool.
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder, error))
    throw TessarinError("Cannot create the " + what + " " + folder +
                        (error ? " (" + error.message() + ")" : std::string()));
}

ProcessRunner& BuildController::NewRun(EndHandler onEnd, const std::string& program,
                                       std::string assemblyEntry) {
  // A held run's output goes on disk beside the compiled files, not into a temporary folder
  // that may live in memory.
  auto owned = std::make_unique<ToolRun>(MessageCollector(context_.tools.style, longPaths_),
                                         context_.buildCacheFolder);
  ToolRun& run = *owned;
  run.program = program;
  run.assemblyEntry = std::move(assemblyEntry);
  run.onEnd = onEnd;
  run.runner = std::make_unique<ProcessRunner>(context_.handOver);
  ProcessRunner& runner = *run.runner;
  runner.TerminateOnDestroy = true;
  runner.EndWait = context_.toolEndWait;
  if (context_.toolTimeLimit) runner.TimeLimit = *context_.toolTimeLimit;
  runner.OnData = [this, &run](ProcessRunner&, const char* buffer, std::size_t count) {
    OutputData(run, buffer, count, false);
  };
  runner.OnErrorData = [this, &run](ProcessRunner&, const char* buffer, std::size_t count) {
    OutputData(run, buffer, count, true);
  };
  runner.OnTerminated = [this](ProcessRunner& sender, const ProcessEnd& end) { RunEnded(sender, end); };
  running_.push_back(std::move(owned));
  return runner;
}

void BuildController::RunEnded(ProcessRunner& sender, const ProcessEnd& end) {
  const auto it = std::find_if(running_.begin(), running_.end(),
                               [&sender](const auto& run) { return run->runner.get() == &sender; });
  if (it == running_.end()) return; // a run the build let go of (Abort)
  ended_.clear();                   // none of them is on the call stack any more
  ToolRun& run = **it;
  run.end = end;
  // A compile that ended makes room for the next one at once, while its output still waits for
  // the runs started before it.
  if (&run != running_.front().get()) {
    FreeSlot(run);
    if (building_ && context_.progress.Running()) StartCompiles();
  }
  EndRunsInOrder();
}

void BuildController::FreeSlot(ToolRun& run) {
  if (run.onEnd != &BuildController::CompileDone || run.slotFreed) return;
  run.slotFreed = true;
  --compilesRunning_;
}

void BuildController::EndRunsInOrder() {
  while (!running_.empty() && running_.front()->end) {
    ended_.push_back(std::move(running_.front()));
    running_.erase(running_.begin());
    ToolRun& run = *ended_.back();
    run.collector.EndOutput(context_.buildMessages);
    ReportEnd(run);
    for (const std::string& line : run.after)
      AddBuildMessage(line);
    FreeSlot(run);
    (this->*run.onEnd)(run, *run.end);
    if (running_.empty()) return;
    ListHeldOutput(*running_.front());
  }
}

void BuildController::CompileFile(const std::string& path) {
  MakeFolder(context_.settings.outputlocation, "output folder");
  const std::string folder = CompileFolder();
  if (cache_) MakeFolder(folder, "build folder");
  const std::string entry = AssemblyListEntry(folder, path, context_.tools);
  const std::string commandLine = CompilerCommandLineFor(path);
  // Only a file written by this run counts: an old one must not pass for it.
  RemoveOldFile(AssemblyFile(entry));
  ProcessRunner& runner = NewRun(&BuildController::CompileDone, context_.settings.lcclocation, entry);
  ToolRun& run = *running_.back();
  // What a compile says is kept for its record while it stays small: a flood is not.
  run.collector.LineCompleted = [&run, bytes = std::size_t(0)](const std::string& line) mutable {
    constexpr std::size_t kMostKept = 1000;
    constexpr std::size_t kMostBytesKept = 1 << 20;
    if (!run.said) return;
    run.said->push_back(line);
    bytes += line.size();
    if (run.said->size() > kMostKept || bytes > kMostBytesKept) run.said.reset();
  };
  run.source = path;
  run.commandLine = commandLine;
  if (cache_) run.inputs = cache_->BeginCompile(path, AssemblyFile(entry), commandLine);
  ++compilesRunning_;
  runner.SetParameters(commandLine);
  runner.SetDirectory(folder);
  AssemblyList_.push_back(entry);
  try {
    runner.Execute();
  } catch (...) {
    running_.pop_back();
    --compilesRunning_;
    throw;
  }
}

void BuildController::OutputData(ToolRun& run, const char* buffer, std::size_t count, bool isError) {
  // The text ends at the first NUL byte, as the list holds C strings.
  run.printed = run.printed || count > 0;
  const std::string_view text(buffer, ::strnlen(buffer, count));
  if (&run == running_.front().get())
    run.collector.CollectOutput(text, context_.buildMessages, isError);
  else
    run.held.Hold(text, isError);
}

// The run's turn has come: what it held is listed first, then its output as it comes.
void BuildController::ListHeldOutput(ToolRun& run) {
  const std::uint64_t dropped = run.held.Release([this, &run](std::string_view text, bool isError) {
    run.collector.CollectOutput(text, context_.buildMessages, isError);
  });
  if (dropped > 0)
    AddBuildMessage("[" + std::to_string(dropped) + " bytes of " + FileNameOf(run.program) +
                    "'s output were not kept: no room to hold them]");
}

// A tool that did not end by itself says so, and a compile that failed without a word is named
// by its file; a cancelled tool needs no words.
void BuildController::ReportEnd(const ToolRun& run) {
  if (!context_.progress.Running()) return;
  const ProcessEnd& end = *run.end;
  const std::string name = FileNameOf(run.program);
  const std::string compiling = run.source.empty() ? std::string() : " while compiling " + run.source;
  if (end.timedOut)
    AddBuildMessage(name + " ran longer than " + std::to_string(context_.toolTimeLimit->count()) +
                    " s and was ended" + compiling);
  else if (end.signal != 0)
    AddBuildMessage(name + " ended by signal " + std::to_string(end.signal) + compiling);
  else if (end.exitStatus != 0 && !run.printed && !run.source.empty())
    AddBuildMessage(name + " exited with status " + std::to_string(end.exitStatus) + " and no message" +
                    compiling);
}

// A compile that did not succeed may have left a partial .asm that assembles cleanly: it is
// deleted and left out of the assembly. The compiler also exits 0 when its write failed, so a
// compile succeeds only when its .asm is whole.
bool BuildController::FailedCompile(const ToolRun& run, const ProcessEnd& end) {
  if (!end.Succeeded()) {
    ForgetCompile(run);
    return true;
  }
  const std::string assemblyFile = AssemblyFile(run.assemblyEntry);
  const std::string problem = CompiledFileProblem(assemblyFile);
  if (problem.empty()) return false;
  FailCompileAfterAll(run, "Compiling " + run.source + " failed: " + assemblyFile + ": " + problem);
  return true;
}

void BuildController::FailCompileAfterAll(const ToolRun& run, const std::string& message) {
  if (context_.progress.Running()) AddBuildMessage(message);
  ForgetCompile(run);
}

void BuildController::ForgetCompile(const ToolRun& run) {
  ++failedCompiles_;
  outcome_.toolReportedError = true;
  CompileCache::Forget(AssemblyFile(run.assemblyEntry));
  const auto entry = std::find(AssemblyList_.begin(), AssemblyList_.end(), run.assemblyEntry);
  if (entry != AssemblyList_.end()) AssemblyList_.erase(entry);
}

void BuildController::CompileDone(ToolRun& run, const ProcessEnd& end) {
  // A compile that said too much to keep is compiled again next time, to say it again.
  if (!FailedCompile(run, end) && cache_ && run.said) {
    const std::string problem =
        cache_->Remember(AssemblyFile(run.assemblyEntry), run.commandLine, run.inputs, *run.said);
    if (!problem.empty()) FailCompileAfterAll(run, "Compiling " + run.source + " failed: " + problem);
  }
  if (!context_.progress.Running()) {
    if (running_.empty()) Finish("Cancelled");
    return;
  }
  if (BuildFileIndex == -1)
    return Finish(failedCompiles_ > 0 ? "Completed  - " + FilesFailed(failedCompiles_) : "Completed");
  StartCompiles();
  if (building_ && running_.empty()) AssembleOrEndProject();
}

void BuildController::AssembleProject() {
  MakeFolder(context_.settings.outputlocation, "output folder");
  ProcessRunner& runner = NewRun(&BuildController::AssembleDone, context_.settings.q3asmlocation);
  assembled_ = AssemblerInputs();
  assemblerOutput_ = AssemblerOutputName();
  runner.SetParameters(AssemblerCommandLineFor(assembled_, assemblerOutput_));
  if (cache_) cache_->ForgetModule();
  runner.SetDirectory(context_.settings.outputlocation);
  context_.progress.SetCaption("Assembling - " + BuildProject->Name + ".qvm");
  context_.progress.SetLabel("Please Wait...");
  MessageCollector& collector = running_.back()->collector;
  collector.Assembling = true;
  // Each of the assembler's error lines is an error; one that leads to its C line counts there.
  collector.ExplainAssemblerLine = [this](const std::string& line) {
    std::optional<std::string> explained = SourceLineOf(line);
    if (!explained) ++assemblerErrorsWithoutPlace_;
    return explained;
  };
  RemoveAssemblerOutput(context_.settings.outputlocation, assemblerOutput_);
  runner.Execute();
}

std::optional<std::string> BuildController::SourceLineOf(const std::string& assemblerLine) {
  return sourceMap_.SourceLineFor(assemblerLine, context_.settings.outputlocation);
}

// Only an assembly that succeeded in this run installs its module: one that was ended or failed
// may have left half a module, and the project's module stays as it was.
void BuildController::AssembleDone(ToolRun& run, const ProcessEnd& end) {
  const bool cancelled = !context_.progress.Running();
  sourceMap_.Clear();
  std::string installProblem;
  if (end.Succeeded() && !cancelled) {
    installProblem = InstallModule(context_.settings.outputlocation, assemblerOutput_, BuildProject->Name);
    if (installProblem.empty()) outcome_.modulesInstalled.insert(BuildProject->Name);
    if (installProblem.empty() && cache_)
      installProblem = cache_->RememberModule(AssemblerCommandLineFor(assembled_),
                                              ModuleInputFiles(assembled_), InstalledModule());
  }
  RemoveAssemblerOutput(context_.settings.outputlocation, assemblerOutput_);
  if (!cache_) DeleteAssemblyFiles(AssemblyList_, context_.tools);
  AssemblyList_.clear();
  if (cancelled) return Finish("Cancelled");
  projectResult_ = run.collector.AssemblerResult;
  const std::string problem = AssemblyProblem(run, installProblem);
  if (!problem.empty()) {
    NoteProblem(problem);
    // The assembler's own summary says it best when it counted errors.
    if (TotalErrors(projectResult_) == 0) projectResult_ += " - " + problem;
  }
  ContinueAfterProject();
}

// What went wrong with an assembly, in the order a user would look for it; empty when nothing.
std::string BuildController::AssemblyProblem(const ToolRun& run, const std::string& installProblem) const {
  const std::string assembler = FileNameOf(context_.settings.q3asmlocation);
  const ProcessEnd& end = *run.end;
  if (const int errors = TotalErrors(run.collector.AssemblerResult); errors > 0)
    return "the assembler reported " + std::to_string(errors) + " total errors";
  if (end.timedOut) return assembler + " ran too long";
  if (end.signal != 0) return assembler + " ended by signal " + std::to_string(end.signal);
  if (end.exitStatus != 0) return assembler + " exited with status " + std::to_string(end.exitStatus);
  return installProblem;
}

void BuildController::NoteProblem(const std::string& problem) {
  outcome_.toolReportedError = true;
  outcome_.projectProblems.emplace_back(BuildProject->Name, problem);
}

// The project is not assembled: its module and the module's backup stay as they are.
void BuildController::EndProjectWithoutModule(const std::string& reason) {
  if (!cache_) DeleteAssemblyFiles(AssemblyList_, context_.tools);
  AssemblyList_.clear();
  projectResult_ = " - " + reason + ", module not built";
  NoteProblem(reason + ", module not built");
  ContinueAfterProject();
}

void BuildController::ContinueAfterProject() {
  locks_.Unlock();
  ++BuildProjectIndex;
  if (RebuildAll) BuildSummary_ += BuildProject->Name + " " + projectResult_ + "\r";
  if (RebuildAll && BuildProjectIndex < context_.workspace.Count()) {
    BuildProject = &context_.workspace.Items(BuildProjectIndex);
    context_.progress.SetPosition(BuildProject->NextSourceFile(0));
    context_.progress.SetMaximum(static_cast<int>(BuildProject->Files.size()));
    StartProjectFiles();
  } else if (RebuildAll) {
    Finish("Completed\r" + BuildSummary_);
  } else {
    Finish("Completed " + projectResult_);
  }
}
