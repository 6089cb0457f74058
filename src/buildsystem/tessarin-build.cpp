// tessarin-build: builds the projects of a workspace from the command line with the same
// settings, runner and build sequence as the program's own build commands.
#include "BuildController.h"
#include "CompilationDatabase.h"
#include "GameSession.h"
#include "HeadlessBuild.h"
#include "QtHandOver.h"
#include "RegistryStore.h"
#include "StopSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>

namespace {

const char* const kUsage =
    "Usage: tessarin-build [--set NAME=VALUE]... [--timeout SECONDS] [--jobs N] [--rebuild] "
    "WORKSPACE.tsw [PROJECT...]\n"
    "       tessarin-build [--set NAME=VALUE]... --compile-commands FILE WORKSPACE.tsw\n"
    "       tessarin-build [--set NAME=VALUE]... --run WORKSPACE.tsw\n"
    "\n"
    "Builds the named projects of the workspace, or all of them in workspace order, with the\n"
    "compiler, assembler and output folder of Tessarin's settings. Only the sources that changed\n"
    "since they were last compiled are compiled again.\n"
    "\n"
    "  --set NAME=VALUE  use VALUE for the setting NAME for this run only (lcclocation,\n"
    "                    lcclarguments, q3asmlocation, q3asmlarguments, outputlocation)\n"
    "  --timeout SECONDS end a tool that runs longer and count it as failed\n"
    "  --jobs N          compile up to N files of a project at once (\"Parallel compiles\")\n"
    "  --rebuild         compile every source, changed or not (as \"Rebuild All\")\n"
    "  --compile-commands FILE\n"
    "                    build nothing; write the workspace's compilation database (the\n"
    "                    compile_commands.json of clangd and other C front ends) as FILE\n"
    "  --run             build every project (only what changed), then start the game, or the\n"
    "                    dedicated server (RunDedicatedServer=1), as Launch does; its console\n"
    "                    goes to standard output and this program's standard input to its\n"
    "                    console; the game's exit status is this program's. Settings for it:\n"
    "                    quake3location, quake3arguments, ServerLocation, ServerMap,\n"
    "                    RunDedicatedServer\n"
    "  --help            show this text\n"
    "\n"
    "The tools' messages go to standard output as they arrive, the progress to standard error.\n"
    "Exit status: 0 when every project produced its .qvm and no tool reported an error;\n"
    "1 when a build failed; 2 when the command line or the workspace could not be used;\n"
    "130, 143 or 129 when Ctrl+C, SIGTERM or SIGHUP ended it (the running tool first).\n";

// Prints each "Debug" line once it is complete, and the last one when a build ends. The lines
// keep only the last one, so nothing printed stays in memory.
class LinePrinter : public MessageLines::Watcher {
public:
  explicit LinePrinter(MessageLines& lines) : lines_(lines) {
    lines_.AddWatcher(this);
    // A flooding tool's lines leave in large writes, to a terminal as well as to a file: the
    // timer below shows them soon enough.
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    // Flushing every line would cost a system call per line of a flooding tool (and reading the
    // clock a line costs as much as the rest); a tenth of a second is soon enough for a reader.
    flushTimer_.callOnTimeout([] { std::fflush(stdout); });
    flushTimer_.start(100);
  }
  ~LinePrinter() override { lines_.RemoveWatcher(this); }

  void Flush() {
    if (!lines_.Empty() && !lines_.Last().empty()) Print(lines_.Last());
    std::fflush(stdout);
  }

private:
  void LineAdded() override {
    const auto& lines = lines_.Lines();
    if (lines.size() >= 2) Print(lines[lines.size() - 2]);
  }

  // Only the event loop's thread prints.
  static void Print(const std::string& line) {
    fwrite_unlocked(line.data(), 1, line.size(), stdout);
    fputc_unlocked('\n', stdout);
  }

  MessageLines& lines_;
  QTimer flushTimer_;
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

// A relative path on the command line names one in the current folder, as for any command; a
// bare program name is looked up on PATH.
std::string FromCurrentFolder(const std::string& path) {
  return paths::ExpandFileName(path,
                               paths::IncludeTrailingDelimiter(std::filesystem::current_path().string()));
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
  if (name == "outputlocation")
    *member = WithTrailingDelimiter(FromCurrentFolder(value), PathStyle::Native());
  else if (member != &settings.lcclarguments && member != &settings.q3asmlarguments &&
           value.find('/') != std::string::npos)
    *member = FromCurrentFolder(value);
  else
    *member = value;
  return true;
}

// The settings only --run uses.
bool ApplyGameSetting(Settings& settings, const std::string& assignment) {
  const auto equals = assignment.find('=');
  if (equals == std::string::npos) return false;
  const std::string name = assignment.substr(0, equals), value = assignment.substr(equals + 1);
  if (name == "quake3location" || name == "ServerLocation") {
    const std::string found =
        value.find('/') != std::string::npos ? FromCurrentFolder(value) : FindOnSearchPath(value);
    (name == "quake3location" ? settings.quake3location : settings.ServerLocation) =
        found.empty() ? value : found;
  } else if (name == "quake3arguments")
    settings.quake3arguments = value;
  else if (name == "ServerMap")
    settings.ServerMap = value;
  else if (name == "RunDedicatedServer")
    settings.RunDedicatedServer = value == "1";
  else
    return false;
  return true;
}

// Prints the game's console as it comes: its lines to standard output, this program's notes about
// it to standard error.
class GamePrinter : public MessageLines::Watcher {
public:
  explicit GamePrinter(MessageLines& lines) : lines_(lines) { lines_.AddWatcher(this); }
  ~GamePrinter() override { lines_.RemoveWatcher(this); }
  GamePrinter(const GamePrinter&) = delete;
  GamePrinter& operator=(const GamePrinter&) = delete;

private:
  void LineAdded() override {
    const auto& lines = lines_.Lines();
    if (lines.size() < 2) return;
    const std::string& line = lines[lines.size() - 2];
    std::FILE* stream = line.rfind(kGameNotePrefix, 0) == 0 ? stderr : stdout;
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
  }

  MessageLines& lines_;
};

// Starts the game and runs until it ends; this program's input goes to its console, line by line.
// The game's exit status, or 128 and the signal that ended it.
int RunGame(const Settings& settings, StopSignals& stop) {
  GameSession game(std::make_shared<QtHandOver>(), MessageLines::Keep::LastLineOnly);
  GamePrinter printer(game.Lines());
  try {
    game.Start(GameCommandFor(settings));
  } catch (const TessarinError& error) {
    std::cerr << "tessarin-build: " << error.Message() << std::endl;
    return 1;
  }
  stop.OnStop = [&game] { game.Stop(); };
  std::string typed;
  QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count <= 0) {
      // The end of the input leaves the game running, as it does at its own console.
      input.setEnabled(false);
      return;
    }
    typed.append(buffer, static_cast<std::size_t>(count));
    for (std::size_t end = typed.find('\n'); end != std::string::npos; end = typed.find('\n')) {
      const std::string command = typed.substr(0, end);
      typed.erase(0, end + 1);
      if (game.Running()) game.Send(command);
    }
  });
  while (!game.End())
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  if (stop.Received() != 0) return 128 + stop.Received();
  return game.End()->signal != 0 ? 128 + game.End()->signal : game.End()->exitStatus;
}

int Fail(const std::string& message) {
  std::cerr << "tessarin-build: " << message << std::endl;
  return 2;
}

// A whole number above 0, or none.
std::optional<long> PositiveNumber(const std::string& text) {
  std::size_t used = 0;
  try {
    const long number = std::stol(text, &used);
    if (used == text.size() && number > 0) return number;
  } catch (const std::exception&) {
  }
  return std::nullopt;
}

// One line per project that got no module or whose tools reported errors; true when there was any.
bool ReportFailures(const BuildOutcome& outcome, const std::vector<Project*>& expected) {
  bool failed = outcome.toolReportedError || !outcome.failure.empty();
  for (const auto& [name, problem] : outcome.projectProblems)
    std::cerr << "tessarin-build: " << name << ": " << problem << std::endl;
  for (const Project* project : expected) {
    const bool explained =
        std::any_of(outcome.projectProblems.begin(), outcome.projectProblems.end(),
                    [project](const auto& problem) { return problem.first == project->Name; });
    if (outcome.modulesInstalled.count(project->Name) || explained) continue;
    std::cerr << "tessarin-build: " << project->Name << ": not built"
              << (outcome.failure.empty() ? std::string() : " (" + outcome.failure + ")") << std::endl;
    failed = true;
  }
  return failed;
}

} // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  RegistryStore store(RegistryStore::DefaultFilePath());
  const std::string storeProblem = store.Load();
  if (!storeProblem.empty()) std::cerr << "tessarin-build: settings: " << storeProblem << std::endl;
  const SettingsConventions conventions = SettingsConventions::Native();
  Settings settings = LoadSettings(store, conventions);

  std::vector<std::string> words(argv + 1, argv + argc);
  std::string workspaceFile;
  std::vector<std::string> projectNames;
  std::optional<std::chrono::seconds> timeLimit;
  Sources sources = Sources::Changed;
  std::string databaseFile;
  bool runGame = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--help" || words[i] == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (words[i] == "--set") {
      if (i + 1 >= words.size() ||
          !(ApplySetting(settings, words[i + 1]) || ApplyGameSetting(settings, words[i + 1])))
        return Fail("--set needs NAME=VALUE");
      ++i;
    } else if (words[i] == "--timeout") {
      // A billion seconds is over thirty years; far more would overflow the clock's count.
      constexpr long kLongestTimeout = 1000000000;
      const std::optional<long> seconds = i + 1 < words.size() ? PositiveNumber(words[++i]) : std::nullopt;
      if (!seconds || *seconds > kLongestTimeout)
        return Fail("--timeout needs a number of seconds from 1 to " + std::to_string(kLongestTimeout));
      timeLimit = std::chrono::seconds(*seconds);
    } else if (words[i] == "--run") {
      runGame = true;
    } else if (words[i] == "--rebuild") {
      sources = Sources::All;
    } else if (words[i] == "--jobs") {
      const std::optional<long> jobs = i + 1 < words.size() ? PositiveNumber(words[++i]) : std::nullopt;
      if (!jobs || *jobs > 64) return Fail("--jobs needs a number from 1 to 64");
      settings.ParallelCompiles = static_cast<int>(*jobs);
    } else if (words[i] == "--compile-commands") {
      if (i + 1 >= words.size() || words[i + 1].empty()) return Fail("--compile-commands needs a file name");
      databaseFile = FromCurrentFolder(words[++i]);
    } else if (workspaceFile.empty()) {
      workspaceFile = words[i];
    } else {
      projectNames.push_back(words[i]);
    }
  }
  if (workspaceFile.empty()) return Fail("no workspace given (see --help)");

  ProjectList workspace;
  try {
    workspace.LoadFromFile(FromCurrentFolder(workspaceFile));
  } catch (const TessarinError& error) {
    return Fail(error.Message());
  }
  std::vector<Project*> projects;
  for (const std::string& name : projectNames) {
    Project* found = nullptr;
    for (int i = 0; i < workspace.Count() && !found; ++i)
      if (workspace.Items(i).Name == name) found = &workspace.Items(i);
    if (!found) return Fail("no project named \"" + name + "\" in " + workspaceFile);
    projects.push_back(found);
  }
  if (workspace.Count() == 0) return Fail(workspaceFile + " holds no projects");
  if (!databaseFile.empty()) {
    if (!projectNames.empty())
      return Fail("--compile-commands describes the whole workspace; name no projects");
    const std::string problem = WriteCompilationDatabase(databaseFile, workspace, settings);
    if (problem.empty()) return 0;
    std::cerr << "tessarin-build: " << problem << std::endl;
    return 1;
  }

  MessageLines debug(MessageLines::Keep::LastLineOnly);
  LinePrinter printer(debug);
  ProgressState progress;
  std::string shownProgress;
  progress.Changed = [&] { PrintProgress(progress, shownProgress); };
  NoEditorWindows editors;
  ConsoleQuestions questions;
  BuildContext context{
      settings, workspace, debug, progress, editors, questions, std::make_shared<QtHandOver>()};
  context.toolTimeLimit = timeLimit;
  context.buildCacheFolder = conventions.buildCacheFolder;
  context.toolEndWait = conventions.toolEndWait;
  context.resultLine = conventions.listsBuildResult;
  BuildController controller(context);
  StopSignals stop;
  stop.OnStop = [&progress] { progress.Cancel(); };

  bool failed = false;
  // Runs one build command to its end; false when a signal asked the program to stop.
  auto run = [&](const std::function<void()>& command, const std::vector<Project*>& expected) {
    command();
    while (controller.Building())
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    printer.Flush();
    if (stop.Received() != 0) return false;
    failed = ReportFailures(controller.Outcome(), expected) || failed;
    return true;
  };
  if (projects.empty()) {
    std::vector<Project*> all;
    for (int i = 0; i < workspace.Count(); ++i)
      all.push_back(&workspace.Items(i));
    run([&] { controller.BuildAll(sources); }, all);
  } else {
    for (Project* project : projects)
      if (!run([&] { controller.Build(*project, sources); }, {project})) break;
  }
  if (stop.Received() != 0) return 128 + stop.Received();
  if (failed) return 1;
  return runGame ? RunGame(settings, stop) : 0;
}
