// The chain: Build -> CompileFile (up to ParallelCompiles at once) -> CompileDone, in file order
// -> ... -> AssembleProject -> AssembleDone -> ProjectEnded. A step that cannot start ends the
// build visibly; a project with a failed compile is not assembled, so its working module stays.
#include "ProjectBuild.h"

#include "BuildSteps.h"
#include "ToolOutputChecks.h"
#include "WorkspacePaths.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

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

std::string FilesFailed(int count) {
  return std::to_string(count) + (count == 1 ? " file" : " files") + " failed to compile";
}

void RemoveOldFile(const std::string& path) {
  if (std::remove(path.c_str()) != 0 && errno != ENOENT)
    throw TessarinError("Cannot remove the old " + path + " (" + std::strerror(errno) + ")");
}

void MakeFolder(const std::string& folder, const std::string& what) {
  // Otherwise the tools cannot start in it, which would read like a missing tool.
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (!std::filesystem::is_directory(folder, error))
    throw TessarinError("Cannot create the " + what + " " + folder +
                        (error ? " (" + error.message() + ")" : std::string()));
}

ToolQueueOptions QueueOptions(const BuildContext& context, std::shared_ptr<LongPathCache> longPaths) {
  ToolQueueOptions options;
  options.handOver = context.handOver;
  options.style = context.tools.style;
  options.longPaths = std::move(longPaths);
  options.spillFolder = context.buildCacheFolder;
  options.timeLimit = context.toolTimeLimit;
  options.endWait = context.toolEndWait;
  return options;
}

} // namespace

ProjectBuild::ProjectBuild(const BuildContext& context, BuildOutcome& outcome,
                           std::shared_ptr<LongPathCache> longPaths)
    : context_(context), outcome_(outcome), locks_(context.handOver),
      queue_(QueueOptions(context, std::move(longPaths)), context.buildMessages) {
  queue_.RunEnded = [this](ToolRun& run) {
    // A compile that ended makes room for the next one at once, while its output still waits for
    // the runs started before it.
    FreeSlot(run);
    if (context_.progress.Running()) StartCompiles();
  };
  queue_.RunListed = [this](ToolRun& run) { RunListed(run); };
}

void ProjectBuild::Cancel() { queue_.Cancel(); }

void ProjectBuild::LetGo() {
  queue_.LetGo();
  compilesRunning_ = 0;
}

void ProjectBuild::Compile(const Project* owner, const std::string& path) {
  singleFile_ = true;
  UseBuildFolderOf(owner, path);
  assemblyList_.clear();
  failedCompiles_ = 0;
  if (const std::string missing = MissingTool(false); !missing.empty()) return Fail(missing);
  if (!CompilableSource(path)) return BuildEnded("Completed  - " + FilesFailed(failedCompiles_));
  LockFoldersThen([this, path] { CompileFile(path); });
}

// A source that is gone fails at once and says so: the compiler would take the missing name for
// no name at all.
bool ProjectBuild::CompilableSource(const std::string& path) {
  const std::string why = WhyNoFile(path);
  if (why.empty()) return true;
  AddBuildMessage("Cannot compile " + path + ": " + why);
  ++failedCompiles_;
  outcome_.toolReportedError = true;
  return false;
}

void ProjectBuild::UseBuildFolderOf(const Project* project, const std::string& path) {
  cache_.reset();
  if (context_.buildCacheFolder.empty()) return;
  const std::string folder =
      project ? ProjectBuildFolder(context_.buildCacheFolder, project->Name, project->FileName)
              : ProjectBuildFolder(context_.buildCacheFolder, "files", paths::ExtractFilePath(path));
  cache_.emplace(folder, context_.settings.lcclocation);
}

std::string ProjectBuild::CompileFolder() const {
  return cache_ ? cache_->Folder() : context_.settings.outputlocation;
}

std::string ProjectBuild::AssemblyFile(const std::string& entry) const {
  return entry + context_.tools.AssemblyExtension();
}

std::string ProjectBuild::CompilerCommandLineFor(const std::string& path) const {
  return CompilerCommandLine(context_.settings, ProjectFileNames(context_.workspace), path, context_.tools);
}

bool ProjectBuild::TakeUpToDate(const std::string& path) {
  if (!cache_ || sources_ == Sources::All) return false;
  const std::string entry = AssemblyListEntry(CompileFolder(), path, context_.tools);
  const std::optional<CompileRecord> record =
      cache_->UpToDate(AssemblyFile(entry), CompilerCommandLineFor(path));
  if (!record) return false;
  assemblyList_.push_back(entry);
  queue_.ListInOrder(record->messages);
  return true;
}

// Nothing is compiled, and no folder made, when the module cannot be built in the end.
std::string ProjectBuild::MissingTool(bool assembling) const {
  const Settings& settings = context_.settings;
  std::string missing = ToolNotFound("compiler", "lcclocation", settings.lcclocation);
  if (missing.empty() && assembling)
    missing = ToolNotFound("assembler", "q3asmlocation", settings.q3asmlocation);
  return missing;
}

void ProjectBuild::Build(Project& project, Sources sources) {
  project_ = &project;
  singleFile_ = false;
  sources_ = sources;
  if (const std::string missing = MissingTool(true); !missing.empty()) return Fail(missing);
  UseBuildFolderOf(project_, {});
  LockFoldersThen([this] { CompileProjectFiles(); });
}

// Another build, in this program or another, may be working in the same folders: this one waits
// until it is done, and says so.
void ProjectBuild::LockFoldersThen(const std::function<void()>& step) {
  const bool foldersMade = TryStep([this] {
    MakeFolder(context_.settings.outputlocation, "output folder");
    if (cache_) MakeFolder(CompileFolder(), "build folder");
  });
  if (!foldersMade) return;
  locks_.Lock(
      {CompileFolder(), context_.settings.outputlocation},
      [this](const std::string& folder) {
        AddBuildMessage("Waiting for another build that uses " + folder + " to finish...");
        context_.progress.SetLabel("Waiting for another build to finish...");
      },
      [this, step] { TryStep(step); });
}

void ProjectBuild::CompileProjectFiles() {
  nextFile_ = project_->NextSourceFile(0);
  assemblyList_.clear();
  failedCompiles_ = 0;
  // Their messages come first, before any compile's output.
  missingSources_.clear();
  const int files = static_cast<int>(project_->Files.size());
  for (int i = nextFile_; i < files; i = project_->NextSourceFile(i + 1))
    if (!CompilableSource(project_->Files[static_cast<std::size_t>(i)].Path)) missingSources_.insert(i);
  if (StartCompiles() && queue_.Empty()) AssembleOrEndProject();
}

bool ProjectBuild::StartCompiles() {
  const int files = static_cast<int>(project_->Files.size());
  while (compilesRunning_ < std::max(1, context_.settings.ParallelCompiles) && nextFile_ < files) {
    const int index = nextFile_;
    const std::string path = project_->Files[static_cast<std::size_t>(index)].Path;
    nextFile_ = project_->NextSourceFile(index + 1);
    if (missingSources_.count(index) || TakeUpToDate(path)) continue;
    context_.progress.SetCaption("Compiling - " + project_->Name);
    context_.progress.SetLabel(path);
    context_.progress.SetPosition(index);
    if (!TryStep([&] { CompileFile(path); })) return false;
  }
  return true;
}

// A project without C files goes straight to its assembly: its other files may be a whole
// module written in assembly.
void ProjectBuild::AssembleOrEndProject() {
  if (failedCompiles_ > 0) return EndProjectWithoutModule(FilesFailed(failedCompiles_));
  const auto files = PathsOf(project_->Files);
  if (assemblyList_.empty() && std::none_of(files.begin(), files.end(), PassedToAssembler))
    return EndProjectWithoutModule("no source files");
  if (ModuleUpToDate()) return EndProjectUpToDate();
  TryStep([&] { AssembleProject(); });
}

std::vector<std::string> ProjectBuild::AssemblerInputs() const {
  return WithEntryPointFirst(assemblyList_, [this](const std::string& entry) {
    return cache_ ? cache_->DefinesEntryPoint(AssemblyFile(entry)) : DefinesEntryPoint(AssemblyFile(entry));
  });
}

std::string ProjectBuild::AssemblerCommandLineFor(const std::vector<std::string>& inputs,
                                                  const std::string& outputName) const {
  return AssemblerCommandLine(context_.settings, inputs, PathsOf(project_->Files), context_.tools,
                              outputName);
}

std::vector<std::string> ProjectBuild::ModuleInputFiles(const std::vector<std::string>& inputs) const {
  std::vector<std::string> files;
  for (const std::string& entry : inputs)
    files.push_back(AssemblyFile(entry));
  for (const ProjectFile& file : project_->Files)
    if (PassedToAssembler(file.Path)) files.push_back(file.Path);
  const std::string& assembler = context_.settings.q3asmlocation;
  files.push_back(assembler.find('/') == std::string::npos ? FindOnSearchPath(assembler) : assembler);
  return files;
}

std::string ProjectBuild::InstalledModule() const {
  return context_.settings.outputlocation + project_->Name + ".qvm";
}

// A Build whose compiled files and assembler are those the module in place was made from needs
// no assembly; Rebuild All always assembles.
bool ProjectBuild::ModuleUpToDate() const {
  if (!cache_ || sources_ == Sources::All) return false;
  const std::vector<std::string> inputs = AssemblerInputs();
  return cache_->ModuleUpToDate(AssemblerCommandLineFor(inputs), ModuleInputFiles(inputs), InstalledModule());
}

void ProjectBuild::EndProjectUpToDate() {
  assemblyList_.clear();
  const std::string module = project_->Name + ".qvm";
  AddBuildMessage(module + " is up to date");
  outcome_.modulesInstalled.insert(project_->Name);
  EndProject(" - " + module + " is up to date");
}

template <typename Step> bool ProjectBuild::TryStep(Step step) {
  try {
    step();
    return true;
  } catch (const std::exception& error) {
    Fail(error.what());
    return false;
  }
}

void ProjectBuild::Fail(const std::string& message) {
  LetGo(); // compiles started before the failed step
  outcome_.failure = message;
  AddBuildMessage(message);
  BuildEnded(message);
}

void ProjectBuild::AddBuildMessage(const std::string& line) {
  ::AddBuildMessage(context_.buildMessages, line);
}

void ProjectBuild::CompileFile(const std::string& path) {
  MakeFolder(context_.settings.outputlocation, "output folder");
  const std::string folder = CompileFolder();
  if (cache_) MakeFolder(folder, "build folder");
  const std::string entry = AssemblyListEntry(folder, path, context_.tools);
  const std::string commandLine = CompilerCommandLineFor(path);
  // Only a file written by this run counts: an old one must not pass for it.
  RemoveOldFile(AssemblyFile(entry));
  ToolRun& run = queue_.Add(context_.settings.lcclocation);
  run.compile = true;
  run.assemblyEntry = entry;
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
  if (cache_) run.inputs = cache_->BeginCompile(path, AssemblyFile(entry), commandLine);
  assemblyList_.push_back(entry);
  queue_.Start(run, commandLine, folder);
  ++compilesRunning_;
}

void ProjectBuild::FreeSlot(ToolRun& run) {
  if (!run.compile || run.slotFreed) return;
  run.slotFreed = true;
  --compilesRunning_;
}

void ProjectBuild::RunListed(ToolRun& run) {
  FreeSlot(run);
  if (run.compile)
    CompileDone(run, *run.end);
  else
    AssembleDone(run, *run.end);
}

// A compile that did not succeed may have left a partial .asm that assembles cleanly: it is
// deleted and left out of the assembly. The compiler also exits 0 when its write failed, so a
// compile succeeds only when its .asm is whole.
bool ProjectBuild::FailedCompile(const ToolRun& run, const ProcessEnd& end) {
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

void ProjectBuild::FailCompileAfterAll(const ToolRun& run, const std::string& message) {
  if (context_.progress.Running()) AddBuildMessage(message);
  ForgetCompile(run);
}

void ProjectBuild::ForgetCompile(const ToolRun& run) {
  ++failedCompiles_;
  outcome_.toolReportedError = true;
  CompileCache::Forget(AssemblyFile(run.assemblyEntry));
  const auto entry = std::find(assemblyList_.begin(), assemblyList_.end(), run.assemblyEntry);
  if (entry != assemblyList_.end()) assemblyList_.erase(entry);
}

void ProjectBuild::CompileDone(ToolRun& run, const ProcessEnd& end) {
  // A compile that said too much to keep is compiled again next time, to say it again.
  if (!FailedCompile(run, end) && cache_ && run.said) {
    const std::string problem =
        cache_->Remember(AssemblyFile(run.assemblyEntry), run.commandLine, run.inputs, *run.said);
    if (!problem.empty()) FailCompileAfterAll(run, "Compiling " + run.source + " failed: " + problem);
  }
  if (!context_.progress.Running()) {
    if (queue_.Empty()) BuildEnded("Cancelled");
    return;
  }
  if (singleFile_)
    return BuildEnded(failedCompiles_ > 0 ? "Completed  - " + FilesFailed(failedCompiles_) : "Completed");
  if (StartCompiles() && queue_.Empty()) AssembleOrEndProject();
}

void ProjectBuild::AssembleProject() {
  MakeFolder(context_.settings.outputlocation, "output folder");
  ToolRun& run = queue_.Add(context_.settings.q3asmlocation);
  assembled_ = AssemblerInputs();
  assemblerOutput_ = AssemblerOutputName();
  const std::string commandLine = AssemblerCommandLineFor(assembled_, assemblerOutput_);
  if (cache_) cache_->ForgetModule();
  context_.progress.SetCaption("Assembling - " + project_->Name + ".qvm");
  context_.progress.SetLabel("Please Wait...");
  run.collector.Assembling = true;
  // Each of the assembler's error lines is an error; one that leads to its C line counts there.
  run.collector.ExplainAssemblerLine = [this](const std::string& line) {
    std::optional<std::string> explained = sourceMap_.SourceLineFor(line, context_.settings.outputlocation);
    if (!explained) ++outcome_.errorsWithoutPlace;
    return explained;
  };
  RemoveAssemblerOutput(context_.settings.outputlocation, assemblerOutput_);
  queue_.Start(run, commandLine, context_.settings.outputlocation);
}

// Only an assembly that succeeded in this run installs its module: one that was ended or failed
// may have left half a module, and the project's module stays as it was.
void ProjectBuild::AssembleDone(ToolRun& run, const ProcessEnd& end) {
  const bool cancelled = !context_.progress.Running();
  sourceMap_.Clear();
  std::string installProblem;
  if (end.Succeeded() && !cancelled) {
    installProblem = InstallModule(context_.settings.outputlocation, assemblerOutput_, project_->Name);
    if (installProblem.empty()) outcome_.modulesInstalled.insert(project_->Name);
    if (installProblem.empty() && cache_)
      installProblem = cache_->RememberModule(AssemblerCommandLineFor(assembled_),
                                              ModuleInputFiles(assembled_), InstalledModule());
  }
  RemoveAssemblerOutput(context_.settings.outputlocation, assemblerOutput_);
  if (!cache_) DeleteAssemblyFiles(assemblyList_, context_.tools);
  assemblyList_.clear();
  if (cancelled) return BuildEnded("Cancelled");
  std::string result = run.collector.AssemblerResult;
  const std::string problem = AssemblyProblem(run, installProblem);
  if (!problem.empty()) {
    NoteProblem(problem);
    // The assembler's own summary says it best when it counted errors.
    if (TotalErrors(result) == 0) result += " - " + problem;
  }
  EndProject(result);
}

// What went wrong with an assembly, in the order a user would look for it; empty when nothing.
std::string ProjectBuild::AssemblyProblem(const ToolRun& run, const std::string& installProblem) const {
  const std::string assembler = FileNameOf(context_.settings.q3asmlocation);
  const ProcessEnd& end = *run.end;
  if (const int errors = TotalErrors(run.collector.AssemblerResult); errors > 0)
    return "the assembler reported " + std::to_string(errors) + " total errors";
  if (end.timedOut) return assembler + " ran too long";
  if (end.signal != 0) return assembler + " ended by signal " + std::to_string(end.signal);
  if (end.exitStatus != 0) return assembler + " exited with status " + std::to_string(end.exitStatus);
  return installProblem;
}

void ProjectBuild::NoteProblem(const std::string& problem) {
  outcome_.toolReportedError = true;
  outcome_.projectProblems.emplace_back(project_->Name, problem);
}

// The project is not assembled: its module and the module's backup stay as they are.
void ProjectBuild::EndProjectWithoutModule(const std::string& reason) {
  if (!cache_) DeleteAssemblyFiles(assemblyList_, context_.tools);
  assemblyList_.clear();
  NoteProblem(reason + ", module not built");
  EndProject(" - " + reason + ", module not built");
}

void ProjectBuild::EndProject(const std::string& result) {
  locks_.Unlock();
  ProjectEnded(result);
}
