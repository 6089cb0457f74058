// The runner with real child processes: order and completeness of the output, exactly one end
// notice after the drain, termination, destruction while a child runs, and the error texts.
#include "BuildTestSupport.h"
#include "ChildProcess.h"
#include "ProcessRunner.h"
#include "QtHandOver.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <tuple>

namespace {

std::shared_ptr<HandOver> UiThread() { return std::make_shared<QtHandOver>(); }

// A runner that records every event in arrival order.
struct Recorder {
  // Held here too: once the runner is gone, the poll thread alone holds the other reference.
  std::shared_ptr<HandOver> handOver = UiThread();
  std::unique_ptr<ProcessRunner> runner = std::make_unique<ProcessRunner>(handOver);
  std::string out, err;
  std::vector<std::string> events;
  int terminated = 0;

  explicit Recorder(const std::string& commandLine) {
    runner->SetParameters(commandLine);
    runner->OnData = [this](ProcessRunner&, const char* b, std::size_t n) {
      out.append(b, n);
      events.push_back("out");
    };
    runner->OnErrorData = [this](ProcessRunner&, const char* b, std::size_t n) {
      err.append(b, n);
      events.push_back("err");
    };
    runner->OnTerminated =
        [this](ProcessRunner& sender, const ProcessEnd& end) {
          EXPECT_FALSE(sender.Active())
              << "inactive before the end notice, so the handler may start the next tool";
          EXPECT_EQ(sender.LastEnd()->signal, end.signal);
          ++terminated;
          events.push_back("end");
        };
  }

  [[nodiscard]] bool WaitForEnd() {
    return WaitUntil([this] { return terminated > 0; });
  }
  [[nodiscard]] bool RunToEnd() {
    runner->Execute();
    return WaitForEnd();
  }
};

std::string Error(const std::function<void()>& action) {
  try {
    action();
  } catch (const TessarinError& error) {
    return error.Message();
  }
  return "no error";
}

} // namespace

TEST(ProcessRunnerTest, DeliversAllOutputInOrderThenEndsExactlyOnce) {
  Recorder record("sh -c \"seq 1 1200; echo done >&2\"");
  ProcessRunner& runner = *record.runner;
  runner.Execute();
  EXPECT_TRUE(runner.Active());
  ASSERT_TRUE(record.WaitForEnd());
  ASSERT_TRUE(WaitUntil([&] { return !runner.Polling(); })); // a second end notice would be in by now

  std::string expected;
  for (int i = 1; i <= 1200; ++i)
    expected += std::to_string(i) + "\n";
  EXPECT_EQ(record.out, expected);
  EXPECT_EQ(record.err, "done\n");
  EXPECT_EQ(record.terminated, 1);
  EXPECT_EQ(record.events.back(), "end");
  EXPECT_TRUE(runner.LastEnd()->Succeeded());
  EXPECT_EQ(runner.ProcessHandle(), 0);
}

TEST(ProcessRunnerTest, FiveThousandBytesOnStandardErrorArriveWhole) {
  Recorder record(StandinTool("q3lcc") + " --standin-flood=5000");
  ASSERT_TRUE(record.RunToEnd());
  ASSERT_EQ(record.err.size(), 5000u);
  EXPECT_EQ(record.err.substr(0, 21), "flood line 000000001\n");
  EXPECT_EQ(record.err.substr(4977, 21), "flood line 000000238\n");
  EXPECT_EQ(record.terminated, 1);
}

TEST(ProcessRunnerTest, ImmediatelyExitingChildsAndHowTheyEnded) {
  const std::string crash = StandinTool("q3lcc") + " --standin-crash";
  for (const auto& [command, status, signal] :
       {std::tuple{std::string("true"), 0, 0}, std::tuple{std::string("false"), 1, 0},
        std::tuple{crash, 0, SIGABRT}}) {
    Recorder record(command);
    ProcessRunner& runner = *record.runner;
    ASSERT_TRUE(record.RunToEnd()) << command;
    EXPECT_EQ(record.events, std::vector<std::string>{"end"});
    EXPECT_EQ(runner.LastEnd()->exitStatus, status) << command;
    EXPECT_EQ(runner.LastEnd()->signal, signal) << command;
    EXPECT_FALSE(runner.LastEnd()->timedOut);
  }
}

TEST(ProcessRunnerTest, BinaryAndNulBytesArriveAsTheyWere) {
  Recorder record(StandinTool("q3lcc") + " --standin-binary");
  ASSERT_TRUE(record.RunToEnd());
  ASSERT_EQ(record.err.size(), 256u);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(static_cast<unsigned char>(record.err[i]), i);
}

// A tool waiting for input would never end: its standard input is empty and at its end.
TEST(ProcessRunnerTest, ChildReadingStandardInputFindsItAtItsEnd) {
  Recorder record(StandinTool("q3lcc") + " --standin-stdin");
  ASSERT_TRUE(record.RunToEnd());
  EXPECT_EQ(record.err, "standard input at end\n");
  EXPECT_TRUE(record.runner->LastEnd()->Succeeded());
}

// A chunk of output is at most kLargestChunk bytes, so the event loop runs between the slices
// of a flood; together they are the whole output in order.
TEST(ProcessRunnerTest, AFloodArrivesInBoundedSlicesInOrder) {
  Recorder record(StandinTool("q3lcc") + " --standin-flood=5000000");
  std::size_t largest = 0;
  record.runner->OnErrorData = [&](ProcessRunner&, const char* b, std::size_t n) {
    largest = std::max(largest, n);
    record.err.append(b, n);
  };
  ASSERT_TRUE(record.RunToEnd());
  ASSERT_EQ(record.err.size(), 5000000u);
  EXPECT_LE(largest, ProcessRunner::kLargestChunk);
  for (std::size_t at = 0, n = 1; at + 21 <= record.err.size(); at += 21, ++n) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "flood line %09zu\n", n);
    ASSERT_EQ(record.err.compare(at, 21, expected), 0) << "line " << n;
  }
}

// What a tool leaves running in the background neither holds up its end nor outlives it: the
// end comes once the tool's own output is in, and the tool's process group goes with it.
TEST(ProcessRunnerTest, BackgroundChildrenNeitherDelayTheEndNorOutliveIt) {
  TempDir dir;
  const std::string pidFile = dir.file("background.pid");
  for (const std::string& background :
       {std::string("sleep 60"), std::string("while :; do echo bg; sleep 0.01; done")}) {
    std::filesystem::remove(pidFile);
    Recorder record("sh -c \"(" + background + ") & echo $! > " + pidFile + "; echo done\"");
    ASSERT_TRUE(record.RunToEnd()) << background;
    EXPECT_NE(record.out.find("done\n"), std::string::npos) << background;
    const pid_t child = std::stoi(TempDir::read(pidFile));
    EXPECT_TRUE(ProcessGone(child)) << background;
    ASSERT_TRUE(WaitUntil([&] { return !record.runner->Polling(); }));
    EXPECT_EQ(record.terminated, 1);
  }
}

// The classic wait: the end is held back a while, and what arrives meanwhile is delivered first.
TEST(ProcessRunnerTest, AnEndWaitDeliversLateOutputBeforeTheEnd) {
  Recorder record("sh -c \"(sleep 0.05; echo late) & echo early\"");
  record.runner->EndWait = std::chrono::milliseconds(3000);
  ASSERT_TRUE(record.RunToEnd());
  EXPECT_EQ(record.out, "early\nlate\n");
  EXPECT_EQ(record.events.back(), "end");
}

// Ending a tool ends what it started: its whole process group, killed when it ignores the
// request, also a background child that keeps the output pipe open and busy.
TEST(ProcessRunnerTest, TerminateEndsTheWholeProcessGroupEvenWhenItResists) {
  Recorder record(
      "sh -c \"trap '' TERM; (while :; do echo busy; sleep 0.01; done) & while :; do sleep 1; done\"");
  ProcessRunner& runner = *record.runner;
  runner.Execute();
  const pid_t group = runner.ProcessHandle();
  ASSERT_TRUE(WaitUntil([&] { return record.out.size() > 20; }));
  runner.Terminate(0);
  ASSERT_TRUE(record.WaitForEnd());
  EXPECT_EQ(runner.LastEnd()->signal, SIGKILL);
  const std::size_t seen = record.out.size();
  ASSERT_TRUE(WaitUntil([&] { return !runner.Polling(); }));
  EXPECT_EQ(record.out.size(), seen);
  EXPECT_TRUE(ProcessGone(-group)) << "the background child is gone";
}

TEST(ProcessRunnerTest, ARunPastItsTimeLimitIsEnded) {
  Recorder record("sleep 60");
  record.runner->TimeLimit = std::chrono::milliseconds(300);
  ASSERT_TRUE(record.RunToEnd());
  EXPECT_TRUE(record.runner->LastEnd()->timedOut);
  EXPECT_FALSE(record.runner->LastEnd()->Succeeded());

  // A limit beyond what the clock can count is no limit, not one already past.
  for (const auto limit : {std::chrono::milliseconds::max(), std::chrono::milliseconds(9300000000000000)}) {
    Recorder endless("sh -c \"sleep 0.2\"");
    endless.runner->TimeLimit = limit;
    ASSERT_TRUE(endless.RunToEnd());
    EXPECT_TRUE(endless.runner->LastEnd()->Succeeded()) << limit.count();
  }
}

TEST(ProcessRunnerTest, WorkingDirectoryAndPathSearch) {
  TempDir dir;
  Recorder record("pwd");
  ProcessRunner& runner = *record.runner;
  runner.SetDirectory(dir.path());
  ASSERT_TRUE(record.RunToEnd());
  EXPECT_EQ(record.out, std::filesystem::canonical(dir.path()).string() + "\n");
}

TEST(ProcessRunnerTest, DestroyedWhileRunningKillsTheChildWithoutFurtherEvents) {
  Recorder record(StandinTool("q3lcc") + " --standin-flood=50000000");
  record.runner->TerminateOnDestroy = true;
  record.runner->Execute();
  const pid_t pid = record.runner->ProcessHandle();
  ASSERT_TRUE(WaitUntil([&] { return !record.err.empty(); }));
  const std::size_t seen = record.err.size();
  record.runner.reset();
  EXPECT_TRUE(ProcessGone(pid));
  // The poll thread lets go of the hand-over when it ends; whatever it handed over came before.
  ASSERT_TRUE(WaitUntil([&] { return record.handOver.use_count() == 1; }));
  EXPECT_EQ(record.err.size(), seen);
  EXPECT_EQ(record.terminated, 0);
}

TEST(ProcessRunnerTest, AnErrorInADataHandlerStopsTheEventsAndLeavesTheRunnerActive) {
  Recorder record("sh -c \"echo one; sleep 0.3; echo two\"");
  ProcessRunner& runner = *record.runner;
  int calls = 0;
  runner.OnData = [&](ProcessRunner&, const char*, std::size_t) {
    ++calls;
    throw TessarinError("handler failed");
  };
  runner.TerminateOnDestroy = true;
  runner.Execute();
  ASSERT_TRUE(WaitUntil([&] { return !runner.Polling(); }));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(record.terminated, 0);
  EXPECT_TRUE(runner.Active());
}

TEST(ProcessRunnerTest, ErrorTexts) {
  ProcessRunner runner(UiThread());
  runner.TerminateOnDestroy = true;
  EXPECT_EQ(Error([&] { runner.Terminate(0); }), "Cannot Terminate an inactive process");
  runner.SetParameters(" \t ");
  EXPECT_EQ(Error([&] { runner.Execute(); }), "No commandline to run");
  runner.SetParameters("/no/such/program -x");
  EXPECT_EQ(Error([&] { runner.Execute(); }),
            "Error creating process : 2 (/no/such/program: No such file or directory)");
  EXPECT_FALSE(runner.Active());
  TempDir dir;
  const std::string notExecutable = dir.write("q3lcc", "");
  std::filesystem::permissions(notExecutable,
                               std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  runner.SetParameters(notExecutable);
  EXPECT_EQ(Error([&] { runner.Execute(); }),
            "Error creating process : 13 (" + notExecutable + ": Permission denied)");
  runner.SetParameters("true");
  runner.SetDirectory("/no/such/folder");
  EXPECT_EQ(Error([&] { runner.Execute(); }),
            "Error creating process : 2 (/no/such/folder: No such file or directory)");

  runner.SetDirectory("");
  runner.SetParameters("Cat");
  runner.ApplicationName = "/bin/cat";
  runner.Execute();
  EXPECT_EQ(Error([&] { runner.Execute(); }), "Process is already active");
  EXPECT_EQ(Error([&] { runner.SetParameters("dog"); }), "Cannot change Parameters while process is active");
  EXPECT_EQ(runner.Parameters(), "Cat");
  EXPECT_EQ(Error([&] { runner.SetParameters("CAT"); }), "no error") << "a change of case only is accepted";
  EXPECT_EQ(runner.Parameters(), "CAT");
  EXPECT_EQ(Error([&] { runner.SetDirectory("/tmp"); }), "Cannot change Directory while process is active");
  EXPECT_EQ(runner.CommandLine(), "/bin/cat CAT");
}

// Words as a shell splits them, nothing expanded; a quoted argument reads back as itself.
TEST(ProcessRunnerTest, SplitsCommandLinesAsAShellSplitsWords) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("a  b\tc"), (V{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("q3asm  \"/my vm/a.asm\" \"b.asm\""), (V{"q3asm", "/my vm/a.asm", "b.asm"}));
  EXPECT_EQ(SplitCommandLine("-I\"/a b\" \"\" ''"), (V{"-I/a b", "", ""}));
  EXPECT_EQ(SplitCommandLine("-DNAME='a b' -DQ='\"x\"'"), (V{"-DNAME=a b", "-DQ=\"x\""}));
  EXPECT_EQ(SplitCommandLine(R"(a\ b c\\d "e\"f\g" '\h' $HOME)"),
            (V{"a b", R"(c\d)", R"(e"f\g)", R"(\h)", "$HOME"}));
  EXPECT_EQ(SplitCommandLine("a \\\n b 'c"), (V{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("   "), V{});
  for (const std::string argument : {"plain", "/my vm/o'brien.c", "", "a\"b\\c$d`e", "tab\there"})
    EXPECT_EQ(SplitCommandLine("x " + QuoteArgument(argument) + " y"), (V{"x", argument, "y"})) << argument;
}

TEST(ProcessRunner, AChildThatTakesInputReadsWhatIsWrittenAndOneThatClosedItIsAnError) {
  Recorder echo("cat");
  echo.runner->TakesInput = true;
  echo.runner->Execute();
  echo.runner->WriteInput("map q3dm1\n");
  ASSERT_TRUE(WaitUntil([&] { return echo.out == "map q3dm1\n"; }));
  echo.runner->Terminate(0);
  ASSERT_TRUE(echo.WaitForEnd());
  EXPECT_THROW(echo.runner->WriteInput("late\n"), TessarinError);

  // Writing to a child that closed its input would raise SIGPIPE and end this program.
  Recorder closed("sh -c \"exec 0<&-; sleep 10\"");
  closed.runner->TakesInput = true;
  closed.runner->Execute();
  std::string refusal;
  EXPECT_TRUE(WaitUntil([&] {
    refusal = Error([&] { closed.runner->WriteInput("quit\n"); });
    return refusal != "no error";
  }));
  EXPECT_NE(refusal.find("Broken pipe"), std::string::npos) << refusal;
  closed.runner->Terminate(0);
  EXPECT_TRUE(closed.WaitForEnd());
}

// However it is cut, input far beyond what a pipe holds reaches the child whole and in order, and
// the child sees its end once all of it is there. A child that reads nothing is refused more than
// the limit instead of the writer blocking or the queue growing.
TEST(ProcessRunner, InputReachesTheChildWholeInOrderThenEndsAndADeafChildIsRefused) {
  std::mt19937 random(37);
  std::uniform_int_distribution<std::size_t> pieceSize(1, 200000);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 3; ++round) {
    Recorder echo("cat");
    echo.runner->TakesInput = true;
    echo.runner->InputLimit = 8 << 20;
    echo.runner->Execute();
    std::string sent;
    while (sent.size() < (2u << 20)) {
      std::string piece(pieceSize(random), '\0');
      for (char& c : piece)
        c = static_cast<char>(byte(random));
      echo.runner->WriteInput(piece);
      sent += piece;
    }
    echo.runner->CloseInput();
    EXPECT_THROW(echo.runner->WriteInput("after the end"), TessarinError);
    ASSERT_TRUE(echo.WaitForEnd()) << round;
    EXPECT_TRUE(echo.out == sent) << round << ": " << echo.out.size() << " of " << sent.size() << " bytes";
    EXPECT_TRUE(echo.runner->LastEnd()->Succeeded());
  }

  Recorder deaf("sleep 10");
  deaf.runner->TakesInput = true;
  deaf.runner->InputLimit = 256 << 10;
  deaf.runner->Execute();
  std::size_t written = 0;
  std::string refusal = "no error";
  while (refusal == "no error" && written < (4u << 20)) {
    refusal = Error([&] { deaf.runner->WriteInput(std::string(16 << 10, 'x')); });
    if (refusal == "no error") written += 16 << 10;
  }
  EXPECT_EQ(refusal, "The process does not read its input");
  EXPECT_GE(written, deaf.runner->InputLimit);
  deaf.runner->Terminate(0);
  EXPECT_TRUE(deaf.WaitForEnd());
}
