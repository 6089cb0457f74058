// Typing with clangd following the document, against typing without it: one character typed and
// taken back in a 10,000-line C file, each keystroke with one pass of the event loop (where the
// change goes out to the server), once the server has parsed the file; in the bare editor, and in
// the editor control shown in a window, each key painted. The server is clangd when it is
// installed; without it the navigator still mirrors the text and the ratio says what that costs.
//
// Go to Definition and completion on the example mod once clangd has parsed the file: from the
// request to the answer in the editor's terms, against the 100 ms a user feels as waiting.
#include "ClangdWorkspace.h"
#include "DocumentFeed.h"
#include "EditorPair.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr int kLines = 10'000;
constexpr double kWaitingMs = 100.0;
constexpr double kTenthOfAFrameUs = 1600.0;

// Waits for the event loop to deliver what `done` waits for.
template <typename Done> bool Await(Done done, int seconds = 60) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done() && std::chrono::steady_clock::now() < until)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

// The keys go to a bare editor, or to the editor control shown in a window, where each one is
// painted in its pass of the event loop.
void TypeAndTakeBack(benchmark::State& state, bool withServer, bool inWindow) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("g_big.c").toStdString();
  std::unique_ptr<Ours> window = inWindow ? std::make_unique<Ours>() : nullptr;
  std::unique_ptr<TextEditor> bare = inWindow ? nullptr : std::make_unique<TextEditor>();
  TextEditor& editor = inWindow ? window->editor.Editor() : *bare;
  editor.Document().Load(SplitSource(GenerateSource(kLines)));
  std::shared_ptr<ClangdNavigator> navigator;
  std::unique_ptr<DocumentFeed> feed;
  if (withServer) {
    LanguageServer::Options options;
    options.program = ClangdProgram();
    options.folder = dir.path().toStdString();
    options.arguments = {"--log=error"};
    navigator = std::make_shared<ClangdNavigator>(options);
    navigator->Start();
    bool parsed = false;
    navigator->OnDiagnostics = [&parsed](const std::string&, const std::vector<ServerDiagnostic>&) {
      parsed = true;
    };
    feed = std::make_unique<DocumentFeed>(editor.Document(), navigator, path);
    // The server's first parse of the file is no part of typing in it.
    if (!FindOnSearchPath(ClangdProgram()).empty() && !Await([&parsed] { return parsed; })) {
      state.SkipWithError(("clangd did not parse the file: " + navigator->Problem()).c_str());
      return;
    }
    navigator->OnDiagnostics = nullptr;
  }
  editor.State().SetCaretXY({1, kLines / 2});
  QCoreApplication::processEvents();
  const auto press = [&](int key, const QString& text) {
    if (inWindow) {
      QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
      QApplication::sendEvent(&window->editor, &event);
    } else if (key == Qt::Key_Backspace) {
      editor.ExecuteCommand(ecDeleteLastChar);
    } else {
      editor.KeyPress(text.toStdString());
    }
    QCoreApplication::processEvents();
  };
  for (auto _ : state) {
    press(Qt::Key_X, QStringLiteral("x"));
    press(Qt::Key_Backspace, QStringLiteral("\b"));
  }
  state.counters["keystrokes"] = benchmark::Counter(2, benchmark::Counter::kIsIterationInvariant);
  feed.reset();
  if (navigator) navigator->Stop();
}

void Keystroke_WithoutServer(benchmark::State& state) { TypeAndTakeBack(state, false, false); }
void Keystroke_WithServer(benchmark::State& state) { TypeAndTakeBack(state, true, false); }
void WindowKeystroke_WithoutServer(benchmark::State& state) { TypeAndTakeBack(state, false, true); }
void WindowKeystroke_WithServer(benchmark::State& state) { TypeAndTakeBack(state, true, true); }

// The example mod with clangd started on it and g_cmds.c parsed; `problem` says why not.
struct ParsedMod {
  QTemporaryDir dir;
  ProjectList workspace;
  Settings settings;
  std::unique_ptr<ClangdWorkspace> clangd;
  std::string commands; // g_cmds.c
  std::string problem;

  ParsedMod() {
    if (FindOnSearchPath(ClangdProgram()).empty()) {
      problem = "clangd is not installed (the Debian package clangd)";
      return;
    }
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toLocal8Bit());
    const std::filesystem::path mod = std::filesystem::path(dir.path().toStdString()) / "mymod";
    std::filesystem::copy(std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod", mod,
                          std::filesystem::copy_options::recursive);
    workspace.LoadFromFile((mod / "mymod.tsw").string());
    clangd =
        std::make_unique<ClangdWorkspace>((mod / "mymod.tsw").string(), workspace, settings, ClangdProgram());
    bool parsed = false;
    clangd->Navigator().OnDiagnostics = [&parsed](const std::string&, const std::vector<ServerDiagnostic>&) {
      parsed = true;
    };
    commands = (mod / "game/g_cmds.c").string();
    std::ifstream in(commands);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    clangd->Navigator().OpenDocument(commands, lines);
    if (!Await([&] { return parsed; }))
      problem = "clangd did not parse the file: " + clangd->Navigator().Problem();
    clangd->Navigator().OnDiagnostics = nullptr;
  }
};

// From the request to the answer, for each iteration; `ask` sends the request with a handler that
// takes whether it was answered.
template <typename Ask> void TimeAnswers(benchmark::State& state, Ask ask) {
  ParsedMod mod;
  if (!mod.problem.empty()) {
    state.SkipWithError(mod.problem.c_str());
    return;
  }
  for (auto _ : state) {
    bool answered = false;
    ask(mod, answered);
    if (!Await([&] { return answered; })) state.SkipWithError("no answer came");
  }
}

// On "G_Printf( text );" in Cmd_Say; a column further is just after its "G_".
constexpr TextPosition kCall{18, 3};

void Definition(benchmark::State& state) {
  TimeAnswers(state, [](ParsedMod& mod, bool& answered) {
    mod.clangd->Navigator().Definition(mod.commands, kCall, [&answered](const Reply<Locations>& reply) {
      answered = reply.status == ReplyStatus::Answered;
    });
  });
}

// The names that start as "G_" does, as after typing those two characters.
void Completion(benchmark::State& state) {
  TimeAnswers(state, [](ParsedMod& mod, bool& answered) {
    mod.clangd->Navigator().Complete(
        mod.commands, {kCall.line, kCall.column + 1}, [&answered](const Reply<Completions>& reply) {
          answered = reply.status == ReplyStatus::Answered && !reply.value.items.empty();
        });
  });
}

BENCHMARK(Keystroke_WithoutServer)->Unit(benchmark::kMicrosecond)->Iterations(50000);
BENCHMARK(Keystroke_WithServer)->Unit(benchmark::kMicrosecond)->Iterations(50000);
BENCHMARK(WindowKeystroke_WithoutServer)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(WindowKeystroke_WithServer)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(Definition)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(Completion)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  for (const std::string where : {"", "Window"}) {
    const double without = reporter.seconds[where + "Keystroke_WithoutServer"] * 1e6 / 2;
    const double with = reporter.seconds[where + "Keystroke_WithServer"] * 1e6 / 2;
    const double withoutCpu = reporter.cpuSeconds[where + "Keystroke_WithoutServer"] * 1e6 / 2;
    const double withCpu = reporter.cpuSeconds[where + "Keystroke_WithServer"] * 1e6 / 2;
    if (without <= 0 || with <= 0) continue;
    std::printf(
        "keystroke %s in a %d-line file: %.1f us with clangd following it, %.1f us without (%.2fx, "
        "goal at most 1.2x); processor time %.1f us vs %.1f us (%.2fx); the server's share %.1f us of "
        "the %.0f us a tenth of a frame allows\n",
        where.empty() ? "in the bare editor" : "in the window, painted", kLines, with, without,
        with / without, withCpu, withoutCpu, withCpu / withoutCpu, withCpu - withoutCpu, kTenthOfAFrameUs);
  }
  const double definition = reporter.seconds["Definition"] * 1e3;
  std::printf("Go to Definition, file parsed: %.1f ms (%.2fx the %.0f ms a user feels as waiting)\n",
              definition, definition / kWaitingMs, kWaitingMs);
  const double completion = reporter.seconds["Completion"] * 1e3;
  std::printf("Completion after \"G_\", file parsed: %.1f ms (%.2fx the %.0f ms a user feels as waiting)\n",
              completion, completion / kWaitingMs, kWaitingMs);
  benchmark::Shutdown();
  return 0;
}
