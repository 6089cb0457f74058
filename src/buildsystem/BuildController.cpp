// A build: a command -> StartBuild -> ProjectBuild for each project (Rebuild All walks them in
// order) or for one file -> Finish.
#include "BuildController.h"

#include "WorkspacePaths.h"

const char* const kBuildAlreadyRunning =
    "A build is already running. Wait until it has finished, or press Cancel and wait for the "
    "running tool to end.";
const char* const kWorkspaceInUse =
    "The workspace cannot be changed while a build is running. Wait until it has finished, or "
    "press Cancel in the progress window, then try again.";

namespace {

std::string Counted(int count, const std::string& what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

} // namespace

std::string BuildResultLine(int errors, int warnings) {
  return "Build: " + Counted(errors, "error") + ", " + Counted(warnings, "warning");
}

BuildController::BuildController(BuildContext context)
    : context_(std::move(context)), diagnostics_(context_.buildMessages, context_.tools.style,
                                                 [longPaths = longPaths_](const std::string& path) {
                                                   return longPaths->LongForm(path).has_value();
                                                 }),
      chain_(context_, outcome_, longPaths_) {
  context_.progress.CancelPressed = [this] { Cancel(); };
  chain_.BuildEnded = [this](const std::string& label) { Finish(label); };
  chain_.ProjectEnded = [this](const std::string& result) { ContinueAfterProject(result); };
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

bool BuildController::RefuseWhileBuilding() {
  if (building_) context_.questions.Inform(kBuildAlreadyRunning);
  return building_;
}

bool BuildController::RefuseWorkspaceChange() {
  if (building_) context_.questions.Inform(kWorkspaceInUse);
  return building_;
}

void BuildController::ResetBuildState() {
  rebuildAll_ = false;
  context_.buildMessages.Clear();
}

// The tools end as asked; their end events then finish the build as cancelled. A build waiting
// for another one's folders ends at once.
void BuildController::Cancel() {
  if (building_ && chain_.WaitingForFolders()) return Finish("Cancelled");
  chain_.Cancel();
}

void BuildController::Abort() {
  if (!building_) return;
  context_.progress.Cancel();
  if (!building_) return; // it was waiting for another build's folders
  chain_.LetGo();
  Finish("Cancelled");
}

void BuildController::Build(Project& project, Sources sources) {
  if (RefuseWhileBuilding()) return;
  rebuildAll_ = false;
  sources_ = sources;
  context_.buildMessages.Clear();
  StartProject(project);
}

void BuildController::BuildActiveProject() {
  if (!HasActiveProject() || RefuseWhileBuilding()) return;
  rebuildAll_ = false;
  sources_ = Sources::Changed;
  context_.buildMessages.Clear();
  StartProject(*context_.workspace.ActiveProject);
}

void BuildController::BuildAll(Sources sources) {
  if (!HasProjects() || RefuseWhileBuilding()) return;
  rebuildAll_ = true;
  sources_ = sources;
  summary_.clear();
  context_.buildMessages.Clear();
  projectIndex_ = 0;
  StartProject(context_.workspace.Items(0));
}

void BuildController::CompileProjectFile(Project& project, int fileIndex) {
  if (RefuseWhileBuilding()) return;
  context_.buildMessages.Clear();
  if (fileIndex < 0 || fileIndex >= static_cast<int>(project.Files.size())) return;
  rebuildAll_ = false;
  const std::string path = project.Files[static_cast<std::size_t>(fileIndex)].Path;
  SaveIfModified(path, FileNameOf(path));
  StartSingleCompile("Compiling - " + project.Name, &project, path);
}

void BuildController::CompileActiveFile() {
  const auto active = context_.editors.ActiveFileName();
  if (!active || RefuseWhileBuilding()) return;
  context_.buildMessages.Clear();
  SaveIfModified(*active, *active);
  const Project* owner = nullptr;
  for (int i = 0; i < context_.workspace.Count() && !owner; ++i)
    for (const ProjectFile& file : context_.workspace.Items(i).Files)
      if (file.Path == *active) owner = &context_.workspace.Items(i);
  StartSingleCompile("Compiling - " + FileNameOf(*active), owner, *active);
}

void BuildController::SaveIfModified(const std::string& path, const std::string& shownName) {
  if (context_.editors.IsModified(path) &&
      context_.questions.AskYesNo(shownName + " is not saved, Save this File?") == Answer::Yes)
    context_.editors.Save(path);
}

void BuildController::StartBuild() {
  building_ = true;
  longPaths_->Clear();
  outcome_ = BuildOutcome();
  if (BuildStarted) BuildStarted();
}

void BuildController::StartSingleCompile(const std::string& caption, const Project* owner,
                                         const std::string& path) {
  StartBuild();
  context_.progress.SetMaximum(1);
  context_.progress.Show();
  context_.progress.SetCaption(caption);
  context_.progress.SetLabel(path);
  chain_.Compile(owner, path);
}

void BuildController::AskSaveModified() {
  std::string names;
  for (const std::string& file : context_.editors.ModifiedFiles())
    names += (names.empty() ? "" : ", ") + FileNameOf(file);
  if (!names.empty() &&
      context_.questions.AskYesNo("The Files " + names + " are not saved\r\nSave Files?") == Answer::Yes)
    context_.editors.SaveAll();
}

void BuildController::StartProject(Project& project) {
  project_ = &project;
  if (!project.Files.empty()) AskSaveModified();
  StartBuild();
  context_.progress.SetMaximum(static_cast<int>(project.Files.size()));
  context_.progress.Show();
  chain_.Build(project, sources_);
}

void BuildController::ContinueAfterProject(const std::string& projectResult) {
  ++projectIndex_;
  if (rebuildAll_) summary_ += project_->Name + " " + projectResult + "\r";
  if (rebuildAll_ && projectIndex_ < context_.workspace.Count()) {
    project_ = &context_.workspace.Items(projectIndex_);
    context_.progress.SetPosition(project_->NextSourceFile(0));
    context_.progress.SetMaximum(static_cast<int>(project_->Files.size()));
    chain_.Build(*project_, sources_);
  } else if (rebuildAll_) {
    Finish("Completed\r" + summary_);
  } else {
    Finish("Completed " + projectResult);
  }
}

void BuildController::Finish(const std::string& label) {
  chain_.ReleaseFolders();
  outcome_.errors = diagnostics_.Errors() + outcome_.errorsWithoutPlace;
  outcome_.warnings = diagnostics_.Warnings();
  if (context_.resultLine)
    AddBuildMessage(context_.buildMessages, BuildResultLine(outcome_.errors, outcome_.warnings));
  context_.progress.SetLabel(label);
  context_.progress.ShowFinished();
  building_ = false;
  if (BuildFinished) BuildFinished();
}
