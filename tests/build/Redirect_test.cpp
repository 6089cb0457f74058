// The runner with real child processes: order and completeness of the output, exactly one end
// notice after the drain, termination, destruction while a child runs, and the error texts.
#include "BuildTestSupport.h"
#include "QtHandOver.h"
#include "Redirect.h"
#include "TempDir.h"
#include "UserQuestions.h"

#include <csignal>
#include <gtest/gtest.h>

namespace {

// Records every event in arrival order.
struct Recorder {
  std::string out, err;
  std::vector<std::string> events;
  int terminated = 0;

  void Attach(TRedirector& runner) {
    runner.OnData = [this](TRedirector&, const char* b, std::size_t n) {
      out.append(b, n);
      events.push_back("out");
    };
    runner.OnErrorData = [this](TRedirector&, const char* b, std::size_t n) {
      err.append(b, n);
      events.push_back("err");
    };
    runner.OnTerminated =
        [this](TRedirector& sender) {
          EXPECT_FALSE(sender.Active())
              << "inactive before the end notice, so the handler may start the next tool";
          ++terminated;
          events.push_back("end");
        };
  }
};

std::shared_ptr<HandOver> UiThread() { return std::make_shared<QtHandOver>(); }

std::string Error(const std::function<void()>& action) {
  try {
    action();
  } catch (const TessarinError& error) {
    return error.message();
  }
  return "no error";
}

bool ProcessGone(pid_t pid) {
  return WaitUntil([pid] { return ::kill(pid, 0) != 0; }, 5000);
}

} // namespace

TEST(BuildRedirector, DeliversAllOutputInOrderThenEndsExactlyOnce) {
  TRedirector runner(UiThread());
  Recorder record;
  record.Attach(runner);
  runner.SetParameters("sh -c \"seq 1 1200; echo done >&2\"");
  runner.Execute();
  EXPECT_TRUE(runner.Active());
  ASSERT_TRUE(WaitUntil([&] { return record.terminated > 0; }));
  QCoreApplication::processEvents(); // a second end notice would show up here

  std::string expected;
  for (int i = 1; i <= 1200; ++i)
    expected += std::to_string(i) + "\n";
  EXPECT_EQ(record.out, expected);
  EXPECT_EQ(record.err, "done\n");
  EXPECT_EQ(record.terminated, 1);
  EXPECT_EQ(record.events.back(), "end");
  EXPECT_EQ(runner.ExitCode(), 0);
  EXPECT_EQ(runner.ProcessHandle(), 0);
}

TEST(BuildRedirector, FiveThousandBytesOnStandardErrorArriveWhole) {
  TRedirector runner(UiThread());
  Recorder record;
  record.Attach(runner);
  runner.SetParameters(StandinTool("q3lcc") + " --standin-flood=5000");
  runner.Execute();
  ASSERT_TRUE(WaitUntil([&] { return record.terminated > 0; }));
  ASSERT_EQ(record.err.size(), 5000u);
  EXPECT_EQ(record.err.substr(0, 21), "flood line 000000001\n");
  EXPECT_EQ(record.err.substr(4977, 21), "flood line 000000238\n");
  EXPECT_EQ(record.terminated, 1);
}

TEST(BuildRedirector, ImmediatelyExitingChildsAndExitCodes) {
  for (const auto& [command, code] : {std::pair{"true", 0}, std::pair{"false", 1}}) {
    TRedirector runner(UiThread());
    Recorder record;
    record.Attach(runner);
    runner.SetParameters(command);
    runner.Execute();
    ASSERT_TRUE(WaitUntil([&] { return record.terminated > 0; })) << command;
    EXPECT_EQ(record.events, std::vector<std::string>{"end"});
    EXPECT_EQ(runner.ExitCode(), code);
  }
}

TEST(BuildRedirector, BinaryAndNulBytesArriveAsTheyWere) {
  TRedirector runner(UiThread());
  Recorder record;
  record.Attach(runner);
  runner.SetParameters(StandinTool("q3lcc") + " --standin-binary");
  runner.Execute();
  ASSERT_TRUE(WaitUntil([&] { return record.terminated > 0; }));
  ASSERT_EQ(record.err.size(), 256u);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(static_cast<unsigned char>(record.err[i]), i);
}

TEST(BuildRedirector, ChildReadingStandardInputRunsUntilTerminated) {
  TRedirector runner(UiThread());
  Recorder record;
  record.Attach(runner);
  runner.SetParameters("cat");
  runner.Execute();
  WaitUntil([] { return false; }, 300);
  EXPECT_TRUE(runner.Active()) << "standard input stays open and unwritten";
  EXPECT_EQ(record.terminated, 0);
  runner.Terminate(0);
  ASSERT_TRUE(WaitUntil([&] { return record.terminated > 0; }));
  EXPECT_EQ(record.terminated, 1);
  EXPECT_EQ(runner.ExitCode(), 128 + SIGKILL);
}

TEST(BuildRedirector, WorkingDirectoryAndPathSearch) {
  TempDir dir;
  TRedirector runner(UiThread());
  Recorder record;
  record.Attach(runner);
  runner.SetParameters("pwd");
  runner.SetDirectory(dir.path());
  runner.Execute();
  ASSERT_TRUE(WaitUntil([&] { return record.terminated > 0; }));
  EXPECT_EQ(record.out, std::filesystem::canonical(dir.path()).string() + "\n");
}

TEST(BuildRedirector, DestroyedWhileRunningKillsTheChildWithoutFurtherEvents) {
  pid_t pid = 0;
  Recorder record;
  {
    TRedirector runner(UiThread());
    record.Attach(runner);
    runner.TerminateOnDestroy = true;
    runner.SetParameters(StandinTool("q3lcc") + " --standin-flood=50000000");
    runner.Execute();
    pid = runner.ProcessHandle();
    ASSERT_TRUE(WaitUntil([&] { return !record.err.empty(); }));
  }
  EXPECT_TRUE(ProcessGone(pid));
  const std::size_t seen = record.err.size();
  WaitUntil([] { return false; }, 400);
  EXPECT_EQ(record.err.size(), seen);
  EXPECT_EQ(record.terminated, 0);
}

TEST(BuildRedirector, AnErrorInADataHandlerStopsTheEventsAndLeavesTheRunnerActive) {
  TRedirector runner(UiThread());
  Recorder record;
  record.Attach(runner);
  int calls = 0;
  runner.OnData = [&](TRedirector&, const char*, std::size_t) {
    ++calls;
    throw TessarinError("handler failed");
  };
  runner.TerminateOnDestroy = true;
  runner.SetParameters("sh -c \"echo one; sleep 0.3; echo two\"");
  runner.Execute();
  WaitUntil([] { return false; }, 900);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(record.terminated, 0);
  EXPECT_TRUE(runner.Active());
}

TEST(BuildRedirector, ErrorTexts) {
  TRedirector runner(UiThread());
  runner.TerminateOnDestroy = true;
  EXPECT_EQ(Error([&] { runner.Terminate(0); }), "Cannot Terminate an inactive process");
  runner.SetParameters(" \t ");
  EXPECT_EQ(Error([&] { runner.Execute(); }), "No commandline to run");
  runner.SetParameters("/no/such/program -x");
  EXPECT_EQ(Error([&] { runner.Execute(); }), "Error creating process : 2");
  EXPECT_FALSE(runner.Active());
  runner.SetParameters("true");
  runner.SetDirectory("/no/such/folder");
  EXPECT_EQ(Error([&] { runner.Execute(); }), "Error creating process : 2");

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

TEST(BuildRedirector, SplitsCommandLinesByTheWindowsRules) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("a  b\tc"), (V{"a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("q3asm  \"/my vm/a.asm\" \"b.asm\""), (V{"q3asm", "/my vm/a.asm", "b.asm"}));
  EXPECT_EQ(SplitCommandLine("-I\"/a b\" \"\""), (V{"-I/a b", ""}));
  EXPECT_EQ(SplitCommandLine(R"(a\\b "c\"d" e\\\\"f g")"), (V{R"(a\\b)", "c\"d", R"(e\\f g)"}));
  EXPECT_EQ(SplitCommandLine("   "), V{});
}
