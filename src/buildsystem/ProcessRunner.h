// Runs one external program as a child process with its standard output and error captured
// through pipes. A watch thread sleeps until output arrives, an output pipe ends or the child
// ends; the output and the final notice reach the user-interface thread through a HandOver, in
// order, one slice per turn of its event loop.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Runs steps on the user-interface thread, later, in the order they were posted.
class HandOver {
public:
  virtual ~HandOver() = default;
  virtual void Post(std::function<void()> step) = 0;
};

// How a child process ended.
struct ProcessEnd {
  int exitStatus = 0;    // when it exited by itself
  int signal = 0;        // the signal that ended it; 0 when it exited
  bool timedOut = false; // it ran past the runner's TimeLimit and was ended
  [[nodiscard]] bool Succeeded() const { return signal == 0 && exitStatus == 0 && !timedOut; }
};

class ProcessRunner;
using ProcessDataEvent = std::function<void(ProcessRunner& sender, const char* buffer, std::size_t count)>;
using ProcessEndEvent = std::function<void(ProcessRunner& sender, const ProcessEnd& end)>;

// One child process run: its pipe ends, its process and the watch thread's stop request. Shared
// between the runner and its watch thread, so that a runner destroyed while its thread still
// runs leaves the thread valid state to finish with.
struct ProcessRun;

class ProcessRunner {
public:
  // The most bytes one data event carries: a flooding tool's output reaches the user-interface
  // thread in slices, and the event loop runs between them.
  static constexpr std::size_t kLargestChunk = 256 * 1024;

  explicit ProcessRunner(std::shared_ptr<HandOver> handOver);
  ~ProcessRunner();
  ProcessRunner(const ProcessRunner&) = delete;
  ProcessRunner& operator=(const ProcessRunner&) = delete;

  [[nodiscard]] bool Active() const;
  // The watch thread of the last run still runs: events may still arrive.
  [[nodiscard]] bool Polling() const;
  // The child's process id; zero when inactive.
  [[nodiscard]] pid_t ProcessHandle() const;
  [[nodiscard]] std::string CommandLine() const;

  [[nodiscard]] const std::string& Parameters() const { return parameters_; }
  void SetParameters(const std::string& parameters);
  [[nodiscard]] const std::string& Directory() const { return directory_; }
  void SetDirectory(const std::string& directory);

  // How the last run ended; empty until a run has ended.
  [[nodiscard]] const std::optional<ProcessEnd>& LastEnd() const { return end_; }

  std::string ApplicationName;
  // "NAME=value" entries; absent means the child inherits this process's environment.
  std::optional<std::vector<std::string>> Environment;
  bool TerminateOnDestroy = false;
  // A run that takes longer is ended as by Terminate, and its end says it timed out. A limit too
  // large to reckon with counts as none.
  std::optional<std::chrono::milliseconds> TimeLimit;
  // The end is reported this long after the child ended at the soonest; output that arrives
  // meanwhile (from what the child left running) is still delivered.
  std::chrono::milliseconds EndWait{0};
  ProcessDataEvent OnData;
  ProcessDataEvent OnErrorData;
  ProcessEndEvent OnTerminated;
  // The child's standard input is a pipe that WriteInput feeds, for a child that takes commands
  // (the game's console, a language server); otherwise it is empty and at its end.
  bool TakesInput = false;
  // The most bytes written and not yet taken by the child: one that stops reading is an error,
  // not a growing heap.
  std::size_t InputLimit = 64 * 1024;

  // The child runs in a process group of its own, with an empty standard input that is at its
  // end unless it TakesInput. When the child has ended and its output is delivered, whatever it left running
  // in its group is killed.
  void Execute();
  // POSIX cannot hand a child an exit code from outside. The child's process group gets SIGTERM,
  // and SIGKILL when it is still there 2 s later; the end is then reported as for any other.
  void Terminate(int exitCode);
  // Ends the child's process group at once, with SIGKILL.
  void Kill();
  // Queues `text` for the standard input of a running child that TakesInput; the watch thread
  // writes it as the child reads. Never blocks: more than InputLimit waiting, a child that closed
  // its input, or input already closed raises an error.
  void WriteInput(const std::string& text);
  // The child's input ends once what was written has reached it.
  void CloseInput();
  // Waits at most `limit` for the child to end by itself; true when it has.
  bool AwaitEnd(std::chrono::milliseconds limit);

private:
  friend struct ProcessRun;
  void CreatePipes(ProcessRun& run);
  void StartProcess(ProcessRun& run);
  void ProcessTerminated();

  std::shared_ptr<HandOver> handOver_;
  std::shared_ptr<ProcessRun> run_;
  std::string parameters_;
  std::string directory_;
  std::optional<ProcessEnd> end_;
};

// Splits a command line into arguments as a POSIX shell splits words, without expanding
// anything: blanks, tabs and line ends separate; single quotes keep everything up to the next;
// double quotes keep everything but a backslash before $ ` " \ or a line end; elsewhere a
// backslash keeps the character after it. An unclosed quote runs to the end.
[[nodiscard]] std::vector<std::string> SplitCommandLine(const std::string& commandLine);
// `argument` as one word of a command line SplitCommandLine reads back: as it is when nothing in
// it needs quoting, else in double quotes.
[[nodiscard]] std::string QuoteArgument(const std::string& argument);
