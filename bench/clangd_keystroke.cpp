// Typing with clangd following the document, against typing without it: one character typed and
// taken back in a 10,000-line C file, each keystroke with one pass of the event loop (where the
// change goes out to the server). The server is clangd when it is installed; without it the
// navigator still mirrors the text and the ratio says what that costs.
//
// Go to Definition on the example mod once clangd has parsed the file: from the request to the
// answer in the editor's terms, against the 100 ms a user feels as waiting.
#include "ClangdWorkspace.h"
#include "DocumentFeed.h"
#include "GeneratedSource.h"
#include "RatioReporter.h"
#include "TextEditor.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

constexpr int kLines = 10'000;
constexpr double kWaitingMs = 100.0;

void TypeAndTakeBack(benchmark::State& state, bool withServer) {
  QTemporaryDir dir;
  const std::string path = dir.filePath("g_big.c").toStdString();
  TextEditor editor;
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
    feed = std::make_unique<DocumentFeed>(editor.Document(), navigator, path);
  }
  editor.State().SetCaretXY({1, kLines / 2});
  for (auto _ : state) {
    editor.KeyPress('x');
    QCoreApplication::processEvents();
    editor.ExecuteCommand(ecDeleteLastChar);
    QCoreApplication::processEvents();
  }
  state.counters["keystrokes"] = benchmark::Counter(2, benchmark::Counter::kIsIterationInvariant);
  feed.reset();
  if (navigator) navigator->Stop();
}

void Keystroke_WithoutServer(benchmark::State& state) { TypeAndTakeBack(state, false); }
void Keystroke_WithServer(benchmark::State& state) { TypeAndTakeBack(state, true); }

// Waits for the event loop to deliver what `done` waits for.
template <typename Done> bool Await(Done done, int seconds = 60) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done() && std::chrono::steady_clock::now() < until)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

void Definition(benchmark::State& state) {
  if (FindOnSearchPath(ClangdProgram()).empty()) {
    state.SkipWithError("clangd is not installed (the Debian package clangd)");
    return;
  }
  QTemporaryDir dir;
  qputenv("XDG_CACHE_HOME", dir.filePath("cache").toLocal8Bit());
  const std::filesystem::path mod = std::filesystem::path(dir.path().toStdString()) / "mymod";
  std::filesystem::copy(std::filesystem::path(TESSARIN_SOURCE_DIR) / "examples/mymod", mod,
                        std::filesystem::copy_options::recursive);
  ProjectList workspace;
  workspace.LoadFromFile((mod / "mymod.tsw").string());
  Settings settings;
  ClangdWorkspace clangd((mod / "mymod.tsw").string(), workspace, settings, ClangdProgram());
  Navigator& navigator = clangd.Navigator();
  bool parsed = false;
  navigator.OnDiagnostics = [&parsed](const std::string&, const std::vector<ServerDiagnostic>&) {
    parsed = true;
  };
  const std::string commands = (mod / "game/g_cmds.c").string();
  std::ifstream in(commands);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  navigator.OpenDocument(commands, lines);
  if (!Await([&] { return parsed; })) {
    state.SkipWithError(("clangd did not parse the file: " + navigator.Problem()).c_str());
    return;
  }
  const TextPosition call{18, 3}; // "G_Printf( text );" in Cmd_Say
  for (auto _ : state) {
    bool answered = false;
    navigator.Definition(commands, call, [&answered](const Reply<Locations>& reply) {
      answered = reply.status == ReplyStatus::Answered;
    });
    if (!Await([&] { return answered; })) state.SkipWithError("no definition came");
  }
}

BENCHMARK(Keystroke_WithoutServer)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(Keystroke_WithServer)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(Definition)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double without = reporter.seconds["Keystroke_WithoutServer"] * 1e6 / 2;
  const double with = reporter.seconds["Keystroke_WithServer"] * 1e6 / 2;
  std::printf("keystroke in a %d-line file: %.1f us with clangd following it, %.1f us without (%.2fx)\n",
              kLines, with, without, with / without);
  const double definition = reporter.seconds["Definition"] * 1e3;
  std::printf("Go to Definition, file parsed: %.1f ms (%.2fx the %.0f ms a user feels as waiting)\n",
              definition, definition / kWaitingMs, kWaitingMs);
  benchmark::Shutdown();
  return 0;
}
