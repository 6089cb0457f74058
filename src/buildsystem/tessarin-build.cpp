// tessarin-build: builds the projects of a workspace from the command line with the same
// settings, runner and build sequence as the program's own build commands.
#include "BuildController.h"
#include "HeadlessBuild.h"
#include "QtHandOver.h"
#include "RegistryStore.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace {

const char* const kUsage =
    "Usage: tessarin-build [--set NAME=VALUE]... WORKSPACE.tsw [PROJECT...]\n"
    "\n"
    "Builds the named projects of the workspace, or all of them in workspace order (as\n"
    "\"Rebuild All\"), with the compiler, assembler and output folder of Tessarin's settings.\n"
    "\n"
    "  --set NAME=VALUE  use VALUE for the setting NAME for this run only (lcclocation,\n"
    "                    lcclarguments, q3asmlocation, q3asmlarguments, outputlocation)\n"
    "  --help            show this text\n"
    "\n"
    "The tools' messages go to standard output as they arrive, the progress to standard error.\n"
    "Exit status: 0 when every project produced its .qvm and no tool reported an error;\n"
    "1 when a build failed; 2 when the command line or the workspace could not be used.\n";

// Prints each "Debug" line once it is complete, and the last one when a build ends.
class LinePrinter : public MessageLines::Watcher {
public:
  explicit LinePrinter(MessageLines& lines) : lines_(lines) { lines_.AddWatcher(this); }
  ~LinePrinter() override { lines_.RemoveWatcher(this); }

  void Flush() {
    PrintUpTo(lines_.Lines().size());
    if (!lines_.Empty() && !lines_.Last().empty()) printed_ = lines_.Lines().size();
  }

private:
  void LinesCleared() override { printed_ = 0; }
  void LineAdded() override { PrintUpTo(lines_.Lines().size() - 1); }

  void PrintUpTo(std::size_t end) {
    for (; printed_ < end; ++printed_) {
      const std::string& line = lines_.Lines()[printed_];
      std::fwrite(line.data(), 1, line.size(), stdout);
      std::fputc('\n', stdout);
    }
    // Flushing every line would cost a system call per line of a flooding tool; a tenth of a
    // second is soon enough for a reader.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastFlush_ > std::chrono::milliseconds(100) || end == lines_.Lines().size()) {
      std::fflush(stdout);
      lastFlush_ = now;
    }
  }

  MessageLines& lines_;
  std::size_t printed_ = 0;
  std::chrono::steady_clock::time_point lastFlush_;
};

// Prints the progress window's caption and label whenever the label changes (the caption
// always changes together with it).
void PrintProgress(const ProgressState& progress, std::string& shownLabel) {
  if (progress.Label().empty() || progress.Label() == shownLabel) return;
  shownLabel = progress.Label();
  std::string text = progress.Caption() + ": " + progress.Label();
  for (char& c : text)
    if (c == '\r') c = '\n';
  std::cerr << text << std::endl;
}

bool ApplySetting(Settings& settings, const std::string& assignment) {
  const auto equals = assignment.find('=');
  if (equals == std::string::npos) return false;
  const std::string name = assignment.substr(0, equals), value = assignment.substr(equals + 1);
  std::string* member = name == "lcclocation"       ? &settings.lcclocation
                        : name == "lcclarguments"   ? &settings.lcclarguments
                        : name == "q3asmlocation"   ? &settings.q3asmlocation
                        : name == "q3asmlarguments" ? &settings.q3asmlarguments
                        : name == "outputlocation"  ? &settings.outputlocation
                                                    : nullptr;
  if (!member) return false;
  *member = name == "outputlocation" ? WithTrailingDelimiter(value, PathStyle::Native()) : value;
  return true;
}

int Fail(const std::string& message) {
  std::cerr << "tessarin-build: " << message << std::endl;
  return 2;
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  RegistryStore store(RegistryStore::defaultFilePath());
  const std::string storeProblem = store.load();
  if (!storeProblem.empty()) std::cerr << "tessarin-build: settings: " << storeProblem << std::endl;
  Settings settings = LoadSettings(store, SettingsConventions::Native());

  std::vector<std::string> words(argv + 1, argv + argc);
  std::string workspaceFile;
  std::vector<std::string> projectNames;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--help" || words[i] == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (words[i] == "--set") {
      if (i + 1 >= words.size() || !ApplySetting(settings, words[++i])) return Fail("--set needs NAME=VALUE");
    } else if (workspaceFile.empty()) {
      workspaceFile = words[i];
    } else {
      projectNames.push_back(words[i]);
    }
  }
  if (workspaceFile.empty()) return Fail("no workspace given (see --help)");

  TProjectList workspace;
  try {
    const std::string here = paths::IncludeTrailingDelimiter(std::filesystem::current_path().string());
    workspace.LoadFromFile(paths::ExpandFileName(workspaceFile, here));
  } catch (const TessarinError& error) {
    return Fail(error.message());
  }
  std::vector<TProjectItem*> projects;
  for (const std::string& name : projectNames) {
    TProjectItem* found = nullptr;
    for (int i = 0; i < workspace.Count() && !found; ++i)
      if (workspace.Items(i).Name == name) found = &workspace.Items(i);
    if (!found) return Fail("no project named \"" + name + "\" in " + workspaceFile);
    projects.push_back(found);
  }
  if (workspace.Count() == 0) return Fail(workspaceFile + " holds no projects");

  MessageLines debug;
  LinePrinter printer(debug);
  ProgressState progress;
  std::string shownProgress;
  progress.Changed = [&] { PrintProgress(progress, shownProgress); };
  NoEditorWindows editors;
  ConsoleQuestions questions;
  TBuildController controller(BuildContext{
      settings, workspace, debug, progress, editors, questions, std::make_shared<QtHandOver>(), {}});

  bool failed = false;
  auto runToEnd = [&](const std::vector<TProjectItem*>& expected) {
    while (controller.Building())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    printer.Flush();
    const BuildOutcome& outcome = controller.Outcome();
    failed = failed || outcome.toolReportedError || !outcome.failure.empty();
    for (const TProjectItem* project : expected)
      if (!outcome.modulesInstalled.count(project->Name)) {
        std::cerr << "tessarin-build: " << project->Name << ".qvm was not built" << std::endl;
        failed = true;
      }
  };
  if (projects.empty()) {
    controller.BuildAllActionExecute();
    std::vector<TProjectItem*> all;
    for (int i = 0; i < workspace.Count(); ++i)
      all.push_back(&workspace.Items(i));
    runToEnd(all);
  } else {
    for (TProjectItem* project : projects) {
      controller.BuildActionExecute(*project);
      runToEnd({project});
    }
  }
  return failed ? 1 : 0;
}
