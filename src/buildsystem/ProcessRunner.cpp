// The child-process runner on POSIX primitives: pipe2, posix_spawn into a process group of its
// own, ioctl(FIONREAD), a pidfd (or waitid) for the 100 ms waits on the child's end, and kill
// on the group.
#include "ProcessRunner.h"

#include "UserQuestions.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kPollWait = std::chrono::milliseconds(100);
// How long a group asked to end may take before it is killed.
constexpr auto kGraceBeforeKill = std::chrono::seconds(2);
// Output still arriving this long after the kill comes from a process that left the group; the
// run ends without it.
constexpr auto kLongestDrainAfterKill = std::chrono::seconds(1);

[[noreturn]] void RaiseLastError(const std::string& message, int code) {
  throw TessarinError(message + std::to_string(code));
}

// "Error creating process : 2 (/usr/games/q3lcc: No such file or directory)": the code as
// ever, then what could not be started and why.
[[noreturn]] void RaiseStartError(const std::string& what, int code) {
  throw TessarinError("Error creating process : " + std::to_string(code) + " (" + what + ": " +
                      std::strerror(code) + ")");
}

bool IsBlank(const std::string& text) {
  for (unsigned char c : text)
    if (c > ' ') return false;
  return true;
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

int OpenPidFd(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  return -1;
#endif
}

// Case-insensitive comparison in the 8-bit code page: ASCII letters fold, other bytes compare as
// they are.
bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

} // namespace

struct ProcessRun {
  ProcessRunner* owner = nullptr; // cleared when the runner is destroyed; touched on the UI thread only
  std::shared_ptr<HandOver> handOver;
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> polling{false}; // the poll thread has not yet left its loop
  std::atomic<bool> killed{false};
  std::atomic<bool> endRequested{false}; // Terminate or the time limit asked the group to end
  std::atomic<bool> timedOut{false};
  std::atomic<std::uint32_t> AvailableBytes{0};
  pid_t pid = 0;
  pid_t group = 0; // the child's process group; kept after the child is reaped
  std::optional<Clock::time_point> deadline;
  // Poll thread only: when it first saw the end request, and when it killed the group.
  std::optional<Clock::time_point> endSeenAt, killedAt;
  int pidFd = -1;
  int stdinRead = -1, stdinWrite = -1;
  int stdoutRead = -1, stdoutWrite = -1;
  int stderrRead = -1, stderrWrite = -1;

  ProcessRun() = default;
  ProcessRun(const ProcessRun&) = delete;
  ProcessRun& operator=(const ProcessRun&) = delete;

  ~ProcessRun() {
    ClosePipes();
    CloseFd(pidFd);
    // A child killed on the runner's destruction is reaped here; one left running is not waited for.
    if (pid != 0) ::waitpid(pid, nullptr, killed ? 0 : WNOHANG);
  }

  void ClosePipes() {
    for (int* fd : {&stdinRead, &stdinWrite, &stdoutRead, &stdoutWrite, &stderrRead, &stderrWrite})
      CloseFd(*fd);
  }

  // Runs a step of the runner on the user-interface thread; a runner that is gone ends the loop.
  void RunOnOwner(void (ProcessRunner::*step)()) {
    handOver->Run([this, step] {
      if (owner == nullptr) throw TessarinError("runner destroyed");
      (owner->*step)();
    });
  }

  // Peeks at one output pipe and hands a read over when bytes wait; true when something was read.
  bool CheckPipe(int fd, void (ProcessRunner::*readStep)()) {
    int waiting = 0;
    if (::ioctl(fd, FIONREAD, &waiting) != 0) return false;
    AvailableBytes = static_cast<std::uint32_t>(waiting);
    if (waiting <= 0) return false;
    RunOnOwner(readStep);
    return true;
  }

  bool CheckStdOut() { return CheckPipe(stdoutRead, &ProcessRunner::ReadStdOut); }
  bool CheckStdErr() { return CheckPipe(stderrRead, &ProcessRunner::ReadStdErr); }

  // Waits up to 100 ms for the child to end, without reaping it: the process id stays reserved
  // until the UI thread reaps it, so a Terminate in between never hits another process.
  bool WaitForEnd() {
    if (pidFd >= 0) {
      pollfd entry{pidFd, POLLIN, 0};
      return ::poll(&entry, 1, static_cast<int>(kPollWait.count())) > 0;
    }
    siginfo_t info{};
    if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0)
      return true;
    std::this_thread::sleep_for(kPollWait);
    return false;
  }

  void RequestEnd() {
    ::kill(-group, SIGTERM);
    endRequested = true;
  }

  // Carries out the time limit and the kill that follows an ignored end request.
  void EnforceEnd() {
    const auto now = Clock::now();
    if (deadline && now >= *deadline && !endRequested) {
      timedOut = true;
      RequestEnd();
    }
    if (!endRequested || killedAt) return;
    if (!endSeenAt) endSeenAt = now;
    if (now - *endSeenAt >= kGraceBeforeKill) {
      ::kill(-group, SIGKILL);
      killedAt = now;
    }
  }

  // Output that was still in the pipes when the child ended: standard output first, then error.
  void Drain() {
    for (;;) {
      std::this_thread::sleep_for(kPollWait);
      EnforceEnd();
      if (killedAt && Clock::now() - *killedAt >= kLongestDrainAfterKill) return;
      if (CheckStdOut()) continue;
      if (CheckStdErr()) continue;
      return;
    }
  }

  void PollLoop() {
    try {
      while (!stopRequested) {
        EnforceEnd();
        bool idle = true;
        if (CheckStdOut()) idle = false;
        if (CheckStdErr()) idle = false;
        if (idle && WaitForEnd()) {
          RunOnOwner(&ProcessRunner::ProcessExited);
          Drain();
          if (!stopRequested) RunOnOwner(&ProcessRunner::ProcessTerminated);
        }
      }
    } catch (...) {
      // An error handed back from the UI thread ends the loop; it is not reported.
    }
    polling = false;
  }
};

ProcessRunner::ProcessRunner(std::shared_ptr<HandOver> handOver) : handOver_(std::move(handOver)) {}

ProcessRunner::~ProcessRunner() {
  if (!run_) return;
  if (Active() && TerminateOnDestroy) {
    OnTerminated = nullptr;
    run_->stopRequested = true;
    run_->killed = true;
    ::kill(-run_->group, SIGKILL);
  }
  run_->owner = nullptr;
}

bool ProcessRunner::Active() const { return run_ && run_->pid != 0; }

bool ProcessRunner::Polling() const { return run_ && run_->polling; }

pid_t ProcessRunner::ProcessHandle() const { return Active() ? run_->pid : 0; }

std::string ProcessRunner::CommandLine() const {
  return ApplicationName.empty() ? parameters_ : ApplicationName + " " + parameters_;
}

void ProcessRunner::SetParameters(const std::string& parameters) {
  if (Active() && !SameTextIgnoringCase(parameters, parameters_))
    throw TessarinError("Cannot change Parameters while process is active");
  parameters_ = parameters;
}

void ProcessRunner::SetDirectory(const std::string& directory) {
  if (Active() && !SameTextIgnoringCase(directory, directory_))
    throw TessarinError("Cannot change Directory while process is active");
  directory_ = directory;
}

void ProcessRunner::CreatePipes(ProcessRun& run) {
  // Every end is close-on-exec: the child receives its three ends as 0, 1 and 2 only, so no
  // other runner's pipe leaks into it.
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) RaiseLastError("Error on STDIN pipe creation : ", errno);
  run.stdinRead = ends[0];
  run.stdinWrite = ends[1];
  if (::pipe2(ends, O_CLOEXEC) != 0) RaiseLastError("Error on STDOUT pipe creation : ", errno);
  run.stdoutRead = ends[0];
  run.stdoutWrite = ends[1];
  if (::pipe2(ends, O_CLOEXEC) != 0) RaiseLastError("Error on STDERR pipe creation : ", errno);
  run.stderrRead = ends[0];
  run.stderrWrite = ends[1];
  // While the poll thread waits its 100 ms for the child's end, a flooding tool fills the pipe
  // and stops; a larger pipe lets it get further in each wait. Not getting one is harmless.
  constexpr int kOutputPipeSize = 1 << 20;
  ::fcntl(run.stdoutRead, F_SETPIPE_SZ, kOutputPipeSize);
  ::fcntl(run.stderrRead, F_SETPIPE_SZ, kOutputPipeSize);
}

void ProcessRunner::StartProcess(ProcessRun& run) {
  std::vector<std::string> arguments = SplitCommandLine(IsBlank(parameters_) ? std::string() : parameters_);
  const bool hasProgramFile = !IsBlank(ApplicationName);
  // posix_spawn reports a missing working folder like a missing program; it is told apart here.
  struct stat folder {};
  if (!IsBlank(directory_) && ::stat(directory_.c_str(), &folder) != 0) RaiseStartError(directory_, errno);
  if (!IsBlank(directory_) && !S_ISDIR(folder.st_mode)) RaiseStartError(directory_, ENOTDIR);
  if (arguments.empty()) arguments.push_back(ApplicationName);
  std::vector<char*> argv;
  for (auto& argument : arguments)
    argv.push_back(argument.data());
  argv.push_back(nullptr);

  std::vector<std::string> environment = Environment.value_or(std::vector<std::string>());
  std::vector<char*> envp;
  for (auto& entry : environment)
    envp.push_back(entry.data());
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, run.stdinRead, STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, run.stdoutWrite, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, run.stderrWrite, STDERR_FILENO);
  if (!IsBlank(directory_)) posix_spawn_file_actions_addchdir_np(&actions, directory_.c_str());

  // The child starts with default signal handling and nothing blocked, whatever this process set,
  // as the leader of a new process group.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);

  pid_t pid = 0;
  char** childEnvironment = Environment ? envp.data() : environ;
  const int result =
      hasProgramFile
          ? ::posix_spawn(&pid, ApplicationName.c_str(), &actions, &attributes, argv.data(), childEnvironment)
          : ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), childEnvironment);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (result != 0) RaiseStartError(hasProgramFile ? ApplicationName : argv[0], result);
  run.pid = pid;
  run.group = pid;
  run.pidFd = OpenPidFd(pid);
}

void ProcessRunner::Execute() {
  if (Active()) throw TessarinError("Process is already active");
  if (IsBlank(CommandLine())) throw TessarinError("No commandline to run");

  auto run = std::make_shared<ProcessRun>();
  run->owner = this;
  run->handOver = handOver_;
  // On failure the run's destructor closes whatever was created.
  CreatePipes(*run);
  StartProcess(*run);

  if (TimeLimit) run->deadline = Clock::now() + *TimeLimit;
  if (run_) run_->owner = nullptr;
  run_ = run;
  end_.reset();
  run->polling = true;
  std::thread([run] { run->PollLoop(); }).detach();
}

void ProcessRunner::Terminate(int /*exitCode*/) {
  if (!Active()) throw TessarinError("Cannot Terminate an inactive process");
  run_->RequestEnd();
}

void ProcessRunner::ReadPipe(int fd, const char* failureMessage, const ProcessDataEvent& event) {
  std::vector<char> buffer(run_->AvailableBytes);
  const ssize_t count = ::read(fd, buffer.data(), buffer.size());
  if (count < 0) {
    const int code = errno;
    run_->stopRequested = true;
    RaiseLastError(failureMessage, code);
  }
  if (event) event(*this, buffer.data(), static_cast<std::size_t>(count));
}

void ProcessRunner::ReadStdOut() { ReadPipe(run_->stdoutRead, "Error reading STDOUT pipe : ", OnData); }

void ProcessRunner::ReadStdErr() { ReadPipe(run_->stderrRead, "Error reading STDERR pipe : ", OnErrorData); }

void ProcessRunner::ProcessExited() {
  if (OnExited) OnExited(*this);
}

void ProcessRunner::ProcessTerminated() {
  run_->stopRequested = true;
  run_->ClosePipes();
  CloseFd(run_->pidFd);
  int status = 0;
  ProcessEnd end;
  if (::waitpid(run_->pid, &status, 0) == run_->pid) {
    end.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 0;
    end.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  }
  end.timedOut = run_->timedOut;
  end_ = end;
  run_->pid = 0;
  if (OnTerminated) OnTerminated(*this, end);
}

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  std::string current;
  bool inArgument = false;
  bool quoted = false;
  for (std::size_t i = 0; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    if (c == '\\') {
      std::size_t run = 0;
      while (i + run < commandLine.size() && commandLine[i + run] == '\\')
        ++run;
      const bool beforeQuote = i + run < commandLine.size() && commandLine[i + run] == '"';
      current.append(beforeQuote ? run / 2 : run, '\\');
      if (beforeQuote && run % 2 == 1) {
        current += '"';
        i += run; // the escaped quote
      } else {
        i += run - 1;
      }
      inArgument = true;
    } else if (c == '"') {
      quoted = !quoted;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      if (inArgument) arguments.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) arguments.push_back(current);
  return arguments;
}
