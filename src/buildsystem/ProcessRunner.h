// Runs one external program as a child process with its standard output and error captured
// through pipes. A poll thread watches the pipes and the child's end and hands every chunk and
// the final notice over to the user-interface thread, synchronously, through a HandOver.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Runs a step on the user-interface thread and waits until it has finished; an error raised by
// the step is raised again in the calling thread.
class HandOver {
public:
  virtual ~HandOver() = default;
  virtual void Run(const std::function<void()>& step) = 0;
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

// One child process run: its pipe ends, its process and the poll thread's stop request. Shared
// between the runner and its poll thread, so that a runner destroyed while its thread still
// runs leaves the thread valid state to finish with.
struct ProcessRun;

class ProcessRunner {
public:
  explicit ProcessRunner(std::shared_ptr<HandOver> handOver);
  ~ProcessRunner();
  ProcessRunner(const ProcessRunner&) = delete;
  ProcessRunner& operator=(const ProcessRunner&) = delete;

  [[nodiscard]] bool Active() const;
  // The poll thread of the last run still watches the child: events may still arrive.
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
  // A run that takes longer is ended as by Terminate, and its end says it timed out.
  std::optional<std::chrono::milliseconds> TimeLimit;
  ProcessDataEvent OnData;
  ProcessDataEvent OnErrorData;
  ProcessEndEvent OnTerminated;
  // The child has ended and its last output is still being collected: OnTerminated follows.
  std::function<void(ProcessRunner& sender)> OnExited;

  // The child runs in a process group of its own, so that ending it ends whatever it started.
  void Execute();
  // POSIX cannot hand a child an exit code from outside. The child's process group gets SIGTERM,
  // and SIGKILL when it is still there 2 s later; the end is then reported as for any other.
  void Terminate(int exitCode);

private:
  friend struct ProcessRun;
  void CreatePipes(ProcessRun& run);
  void StartProcess(ProcessRun& run);
  void ReadStdOut();
  void ReadStdErr();
  void ReadPipe(int fd, const char* failureMessage, const ProcessDataEvent& event);
  void ProcessExited();
  void ProcessTerminated();

  std::shared_ptr<HandOver> handOver_;
  std::shared_ptr<ProcessRun> run_;
  std::string parameters_;
  std::string directory_;
  std::optional<ProcessEnd> end_;
};

// Splits a command line into arguments by the Windows rules: blanks and tabs separate, double
// quotes group (and are removed), a backslash escapes a double quote only when it precedes one.
[[nodiscard]] std::vector<std::string> SplitCommandLine(const std::string& commandLine);
