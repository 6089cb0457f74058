// The child-process runner on POSIX primitives: pipe2, posix_spawn into a process group of its
// own, and a watch thread that sleeps in poll() on the two output pipes, a pidfd for the child's
// end and an eventfd that wakes it for Terminate. It never wakes on a timer, except for the
// deadlines it was given (time limit, the kill after an ignored end request, the end wait).
#include "ProcessRunner.h"

#include "UserQuestions.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// How long a group asked to end may take before it is killed.
constexpr auto kGraceBeforeKill = std::chrono::seconds(2);
// Without a pidfd (kernels before 5.3) the child's end can only be looked for now and then.
constexpr auto kEndCheckWithoutPidFd = std::chrono::milliseconds(20);

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

std::size_t BytesWaiting(int fd) {
  int waiting = 0;
  return fd >= 0 && ::ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0 ? static_cast<std::size_t>(waiting)
                                                                        : 0;
}

} // namespace

struct ProcessRun : std::enable_shared_from_this<ProcessRun> {
  // One output pipe as the watch thread reads it.
  struct Stream {
    int fd = -1;          // the runner's end; -1 once the pipe has ended
    std::size_t owed = 0; // bytes the ended child left in the pipe, not yet read
    bool isError = false;
  };
  // Output read from one pipe, waiting for the user-interface thread.
  struct Chunk {
    bool isError = false;
    std::string bytes;
  };

  ProcessRunner* owner = nullptr; // cleared when the runner is destroyed; touched on the UI thread only
  bool stopped = false;           // UI thread only: a handler failed, nothing more is delivered
  std::shared_ptr<HandOver> handOver;
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> watching{false}; // the watch thread has not yet left its loop
  std::atomic<bool> killed{false};
  std::atomic<bool> endRequested{false}; // Terminate or the time limit asked the group to end
  std::atomic<bool> timedOut{false};
  pid_t pid = 0;
  pid_t group = 0; // the child's process group
  std::optional<Clock::time_point> deadline;
  Clock::duration endWait{};
  int pidFd = -1;
  int wakeFd = -1; // an eventfd: Terminate and the runner's end wake the watch thread with it
  int stdoutWrite = -1, stderrWrite = -1; // the child's ends, closed once it has them
  int stdinRead = -1;                     // the child's end of its input, when it takes input
  int stdinWrite = -1;                    // the runner's end, which the watch thread writes to
  bool takesInput = false;
  Stream out{-1, 0, false};
  Stream err{-1, 0, true};
  // Watch thread only: when it first saw the end request, when it killed the group, when the
  // child ended; and the buffer it reads into.
  std::optional<Clock::time_point> endSeenAt, killedAt, endedAt;
  std::vector<char> buffer = std::vector<char>(ProcessRunner::kLargestChunk);

  // Shared by both threads, under `mutex`: the output read and not yet delivered, whether the
  // child's end follows it, and whether a delivery is on its way to the UI thread. The watch
  // thread goes on reading while the UI thread is busy, so a tool printing line by line reaches
  // the UI thread in large chunks.
  std::mutex mutex;
  std::condition_variable taken;
  std::deque<Chunk> waiting;
  std::size_t waitingBytes = 0;
  // The buffers of delivered chunks, for the next ones: a fresh large buffer a chunk would cost
  // its pages' faults each time.
  std::vector<std::string> spare;
  bool endFollows = false;
  bool deliveryPosted = false;
  // Also under `mutex`: the input written and not yet taken by the child, whether the input ends
  // after it, and the error of a write that failed.
  std::string input;
  bool inputEnds = false;
  int inputError = 0;

  ProcessRun() = default;
  ProcessRun(const ProcessRun&) = delete;
  ProcessRun& operator=(const ProcessRun&) = delete;

  ~ProcessRun() {
    ClosePipes();
    CloseFd(pidFd);
    CloseFd(wakeFd);
    // A child killed on the runner's destruction is reaped here; one left running is not waited for.
    if (pid != 0) ::waitpid(pid, nullptr, killed ? 0 : WNOHANG);
  }

  void ClosePipes() {
    for (int* fd : {&out.fd, &err.fd, &stdoutWrite, &stderrWrite, &stdinRead, &stdinWrite})
      CloseFd(*fd);
  }

  // Asks the watch thread to stop, wherever it waits.
  void Stop() {
    stopRequested = true;
    const std::uint64_t one = 1;
    (void)!::write(wakeFd, &one, sizeof one);
    std::lock_guard lock(mutex);
    taken.notify_all();
  }

  void Wake() const {
    const std::uint64_t one = 1;
    (void)!::write(wakeFd, &one, sizeof one);
  }

  [[nodiscard]] bool Busy() {
    std::lock_guard lock(mutex);
    return watching || deliveryPosted;
  }

  void RequestEnd() {
    ::kill(-group, SIGTERM);
    endRequested = true;
  }

  // Carries out the time limit and the kill that follows an ignored end request.
  void EnforceEnd(Clock::time_point now) {
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

  // The soonest moment the loop has something to do without being woken; none: sleep until then.
  [[nodiscard]] std::optional<Clock::time_point> NextDeadline() const {
    std::optional<Clock::time_point> next;
    auto consider = [&next](Clock::time_point at) {
      if (!next || at < *next) next = at;
    };
    if (deadline && !endRequested) consider(*deadline);
    if (endSeenAt && !killedAt) consider(*endSeenAt + kGraceBeforeKill);
    if (endedAt && endWait > Clock::duration::zero()) consider(*endedAt + endWait);
    if (!endedAt && pidFd < 0) consider(Clock::now() + kEndCheckWithoutPidFd);
    return next;
  }

  // Sends the UI thread to Deliver unless it is already on its way; called with `mutex` held.
  void PostDelivery(std::unique_lock<std::mutex>& lock) {
    if (deliveryPosted) return;
    deliveryPosted = true;
    lock.unlock();
    handOver->Post([self = shared_from_this()] { self->Deliver(); });
  }

  // A tool that prints faster than its output is taken waits on its full pipe.
  void WaitForRoom(const std::optional<Clock::time_point>& until) {
    constexpr std::size_t kMostWaiting = 1 << 20;
    std::unique_lock lock(mutex);
    auto room = [this] { return waitingBytes < kMostWaiting || stopRequested; };
    if (until)
      taken.wait_until(lock, *until, room);
    else
      taken.wait(lock, room);
  }

  // Reads one chunk and queues it; the end of the pipe closes it.
  void Read(Stream& stream) {
    const ssize_t count = ::read(stream.fd, buffer.data(), buffer.size());
    if (count < 0) {
      if (errno == EINTR || errno == EAGAIN) return;
      throw TessarinError("Error reading pipe : " + std::to_string(errno));
    }
    if (count == 0) {
      CloseFd(stream.fd);
      stream.owed = 0;
      return;
    }
    const auto size = static_cast<std::size_t>(count);
    stream.owed -= std::min(stream.owed, size);
    std::unique_lock lock(mutex);
    const bool joinsLast = !waiting.empty() && waiting.back().isError == stream.isError &&
                           waiting.back().bytes.size() + size <= ProcessRunner::kLargestChunk;
    if (!joinsLast) waiting.push_back({stream.isError, SpareBuffer()});
    waiting.back().bytes.append(buffer.data(), size);
    waitingBytes += size;
    PostDelivery(lock);
  }

  // An empty buffer with room for a chunk; called with `mutex` held.
  std::string SpareBuffer() {
    std::string bytes;
    if (spare.empty()) {
      bytes.reserve(ProcessRunner::kLargestChunk);
    } else {
      bytes = std::move(spare.back());
      spare.pop_back();
    }
    return bytes;
  }

  // Writes what the pipe takes of the waiting input; closes the input when it ends and all of it
  // is written, or when the child no longer reads it.
  void FeedInput() {
    std::lock_guard lock(mutex);
    while (!input.empty() && stdinWrite >= 0) {
      const ssize_t count = ::write(stdinWrite, input.data(), input.size());
      if (count < 0 && errno == EINTR) continue;
      if (count < 0 && errno == EAGAIN) return;
      if (count < 0) {
        inputError = errno;
        input.clear();
        CloseFd(stdinWrite);
        return;
      }
      input.erase(0, static_cast<std::size_t>(count));
    }
    if (inputEnds && input.empty()) CloseFd(stdinWrite);
  }

  [[nodiscard]] bool InputWaiting() {
    std::lock_guard lock(mutex);
    return !input.empty() && stdinWrite >= 0;
  }

  [[nodiscard]] bool ChildEnded() const {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid != 0;
  }

  // The child has ended and everything it wrote is read (what it left running may still write;
  // that is not waited for).
  [[nodiscard]] bool Finished(Clock::time_point now) const {
    return endedAt && out.owed == 0 && err.owed == 0 && now >= *endedAt + endWait;
  }

  void WatchLoop() {
    // A child that closed its input would end this program with SIGPIPE on the next write: here
    // the write fails with EPIPE instead.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    ::pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    try {
      while (!stopRequested) {
        WaitForRoom(NextDeadline());
        EnforceEnd(Clock::now());
        FeedInput();
        const auto next = NextDeadline();
        int timeout = -1;
        if (next)
          timeout = static_cast<int>(std::max<std::int64_t>(
              0, std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count()));
        pollfd watched[5] = {{out.fd, POLLIN, 0},
                             {err.fd, POLLIN, 0},
                             {endedAt ? -1 : pidFd, POLLIN, 0},
                             {wakeFd, POLLIN, 0},
                             {InputWaiting() ? stdinWrite : -1, POLLOUT, 0}};
        if (::poll(watched, 5, timeout) < 0 && errno != EINTR) break;
        if (watched[3].revents != 0) {
          std::uint64_t count = 0;
          (void)!::read(wakeFd, &count, sizeof count);
        }
        if (stopRequested) break;
        // Within one pass standard output goes first.
        if (watched[0].revents != 0) Read(out);
        if (watched[1].revents != 0) Read(err);
        if (!endedAt && (watched[2].revents != 0 || (pidFd < 0 && ChildEnded()))) {
          // The child's writes are all in the pipes by now: these bytes are the last it owes.
          endedAt = Clock::now();
          out.owed = BytesWaiting(out.fd);
          err.owed = BytesWaiting(err.fd);
        }
        if (Finished(Clock::now())) {
          // The child is not reaped yet, so its process group cannot have been reused.
          ::kill(-group, SIGKILL);
          std::unique_lock lock(mutex);
          endFollows = true;
          PostDelivery(lock);
          break;
        }
      }
    } catch (...) {
      // A failed read ends the loop; it is not reported.
    }
    std::lock_guard lock(mutex);
    watching = false;
  }

  // On the UI thread: hands one chunk to its event, then lets the event loop run before the next;
  // the end comes after the last chunk.
  void Deliver() {
    std::unique_lock lock(mutex);
    if (!waiting.empty()) {
      Chunk chunk = std::move(waiting.front());
      waiting.pop_front();
      waitingBytes -= chunk.bytes.size();
      lock.unlock();
      taken.notify_one();
      Hand(chunk);
      lock.lock();
      // As many as the waiting output can fill.
      constexpr std::size_t kMostSpare = 4;
      if (spare.size() < kMostSpare && chunk.bytes.capacity() <= ProcessRunner::kLargestChunk) {
        chunk.bytes.clear();
        spare.push_back(std::move(chunk.bytes));
      }
    }
    if (!waiting.empty() && !stopped) {
      lock.unlock();
      handOver->Post([self = shared_from_this()] { self->Deliver(); });
      return;
    }
    deliveryPosted = false;
    const bool end = endFollows && !stopped;
    lock.unlock();
    if (end && owner != nullptr) owner->ProcessTerminated();
  }

  void Hand(const Chunk& chunk) {
    if (owner == nullptr || stopped) return;
    const ProcessDataEvent& event = chunk.isError ? owner->OnErrorData : owner->OnData;
    try {
      if (event) event(*owner, chunk.bytes.data(), chunk.bytes.size());
    } catch (...) {
      // A handler that fails ends the events of this run; the error is not reported.
      stopped = true;
      Stop();
    }
  }
};

ProcessRunner::ProcessRunner(std::shared_ptr<HandOver> handOver) : handOver_(std::move(handOver)) {}

ProcessRunner::~ProcessRunner() {
  if (!run_) return;
  if (Active() && TerminateOnDestroy) {
    OnTerminated = nullptr;
    run_->killed = true;
    ::kill(-run_->group, SIGKILL);
  }
  run_->owner = nullptr;
  run_->Stop();
}

bool ProcessRunner::Active() const { return run_ && run_->pid != 0; }

bool ProcessRunner::Polling() const { return run_ && run_->Busy(); }

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
  // Every end is close-on-exec: the child receives its two ends as 1 and 2 only, so no other
  // runner's pipe leaks into it.
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) RaiseLastError("Error on STDOUT pipe creation : ", errno);
  run.out.fd = ends[0];
  run.stdoutWrite = ends[1];
  if (::pipe2(ends, O_CLOEXEC) != 0) RaiseLastError("Error on STDERR pipe creation : ", errno);
  run.err.fd = ends[0];
  run.stderrWrite = ends[1];
  if (TakesInput) {
    if (::pipe2(ends, O_CLOEXEC) != 0) RaiseLastError("Error on STDIN pipe creation : ", errno);
    run.stdinRead = ends[0];
    run.stdinWrite = ends[1];
    run.takesInput = true;
    ::fcntl(run.stdinWrite, F_SETFL, O_NONBLOCK);
  }
  run.wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (run.wakeFd < 0) RaiseLastError("Error on wake-up event creation : ", errno);
  // A flooding tool goes on writing while a chunk is handed over; a larger pipe lets it get
  // further meanwhile. Not getting one is harmless.
  constexpr int kOutputPipeSize = 1 << 20;
  ::fcntl(run.out.fd, F_SETPIPE_SZ, kOutputPipeSize);
  ::fcntl(run.err.fd, F_SETPIPE_SZ, kOutputPipeSize);
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
  // A tool that reads its input finds it empty and at its end, instead of waiting for ever.
  if (run.stdinRead >= 0)
    posix_spawn_file_actions_adddup2(&actions, run.stdinRead, STDIN_FILENO);
  else
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
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
  // Only the child holds the write ends now, so a pipe ends when the child and whatever it
  // started have let go of it.
  CloseFd(run->stdoutWrite);
  CloseFd(run->stderrWrite);
  CloseFd(run->stdinRead);

  const auto now = Clock::now();
  const auto room = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::time_point::max() - now);
  if (TimeLimit && *TimeLimit < room) run->deadline = now + *TimeLimit;
  run->endWait = EndWait;
  if (run_) run_->owner = nullptr;
  run_ = run;
  end_.reset();
  run->watching = true;
  std::thread([run] { run->WatchLoop(); }).detach();
}

void ProcessRunner::Terminate(int /*exitCode*/) {
  if (!Active()) throw TessarinError("Cannot Terminate an inactive process");
  run_->RequestEnd();
  run_->Wake();
}

void ProcessRunner::Kill() {
  if (!Active()) return;
  ::kill(-run_->group, SIGKILL);
  run_->endRequested = true;
  run_->Wake();
}

void ProcessRunner::WriteInput(const std::string& text) {
  if (!Active() || !run_->takesInput) throw TessarinError("The process takes no input");
  {
    std::lock_guard lock(run_->mutex);
    if (run_->inputError != 0)
      throw TessarinError(std::string("Error writing to the process : ") + std::strerror(run_->inputError));
    if (run_->inputEnds) throw TessarinError("The process's input is closed");
    if (run_->input.size() + text.size() > InputLimit)
      throw TessarinError("The process does not read its input");
    run_->input += text;
  }
  run_->Wake();
}

void ProcessRunner::CloseInput() {
  if (!Active() || !run_->takesInput) return;
  {
    std::lock_guard lock(run_->mutex);
    run_->inputEnds = true;
  }
  run_->Wake();
}

bool ProcessRunner::AwaitEnd(std::chrono::milliseconds limit) {
  if (!Active()) return true;
  const auto until = Clock::now() + limit;
  while (!run_->ChildEnded()) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left <= 0) return false;
    pollfd end{run_->pidFd, POLLIN, 0};
    if (run_->pidFd >= 0)
      ::poll(&end, 1, static_cast<int>(left));
    else
      std::this_thread::sleep_for(kEndCheckWithoutPidFd);
  }
  return true;
}

void ProcessRunner::ProcessTerminated() {
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
  char quote = 0; // the quote the current text is in
  for (std::size_t i = 0; i < commandLine.size(); ++i) {
    const char c = commandLine[i];
    const bool last = i + 1 == commandLine.size();
    if (quote == '\'') {
      if (c == '\'')
        quote = 0;
      else
        current += c;
    } else if (c == '\\' && !last &&
               (quote == 0 ||
                std::string_view("$`\"\\\n").find(commandLine[i + 1]) != std::string_view::npos)) {
      // An escaped line end continues the line.
      if (commandLine[++i] == '\n') continue;
      current += commandLine[i];
      inArgument = true;
    } else if (c == '"' || (c == '\'' && quote == 0)) {
      quote = quote == c ? 0 : c;
      inArgument = true;
    } else if ((c == ' ' || c == '\t' || c == '\n') && quote == 0) {
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

std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n'\"\\$`") == std::string::npos) return argument;
  std::string quoted = "\"";
  for (char c : argument) {
    if (std::string_view("$`\"\\").find(c) != std::string_view::npos) quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}
