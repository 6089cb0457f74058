#include "ChildProcess.h"

#include "TempDir.h"
#include "WaitUntil.h"

#include <csignal>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int RunInChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

bool ProcessGone(pid_t pid) {
  return WaitUntil(
      [pid] {
        const std::string stat = pid > 0 ? TempDir::read("/proc/" + std::to_string(pid) + "/stat") : "";
        const auto state = stat.rfind(") ");
        return ::kill(pid, 0) != 0 || (state != std::string::npos && stat[state + 2] == 'Z');
      },
      5000);
}

bool DropRootPrivileges() {
  constexpr uid_t kNobody = 65534;
  if (::geteuid() != 0) return true;
  return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

void FillDeviceAfter(long bytes) {
  ::signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  ::setrlimit(RLIMIT_FSIZE, &limit);
}
