// A folder held elsewhere is waited for on a thread of its own, which tries again every tenth of
// a second until it gets the lock or is told to stop; the user-interface thread never blocks.
#include "FolderLocks.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

struct FolderLocks::Wait {
  std::atomic<bool> stop{false};
};

namespace {

// The folder opened for its lock, never passed on to the tools; -1 when it cannot be opened.
int OpenFolder(const std::string& folder) {
  return ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool TryLock(int descriptor) { return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0; }

} // namespace

FolderLocks::FolderLocks(std::shared_ptr<HandOver> handOver) : handOver_(std::move(handOver)) {}

FolderLocks::~FolderLocks() { Unlock(); }

bool FolderLocks::Waiting() const { return wait_ != nullptr; }

void FolderLocks::Lock(const std::vector<std::string>& folders,
                       std::function<void(const std::string& folder)> waiting, std::function<void()> locked) {
  Unlock();
  folders_.clear();
  for (const std::string& folder : folders)
    if (std::find(folders_.begin(), folders_.end(), folder) == folders_.end()) folders_.push_back(folder);
  waiting_ = std::move(waiting);
  locked_ = std::move(locked);
  LockFrom(0);
}

// Always in the order given, so two builds that want the same folders never hold one each.
void FolderLocks::LockFrom(std::size_t next) {
  for (; next < folders_.size(); ++next) {
    const int descriptor = OpenFolder(folders_[next]);
    if (descriptor < 0) continue;
    if (TryLock(descriptor)) {
      held_.push_back(descriptor);
      continue;
    }
    if (waiting_) waiting_(folders_[next]);
    auto wait = std::make_shared<Wait>();
    wait_ = wait;
    std::thread([this, wait, descriptor, next, handOver = handOver_] {
      while (!wait->stop && !TryLock(descriptor))
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      handOver->Post([this, wait, descriptor, next] {
        if (wait->stop) {
          ::close(descriptor);
          return;
        }
        wait_.reset();
        held_.push_back(descriptor);
        LockFrom(next + 1);
      });
    }).detach();
    return;
  }
  // A copy: the step may start the next project, which locks anew.
  const std::function<void()> locked = locked_;
  if (locked) locked();
}

void FolderLocks::Unlock() {
  if (wait_) wait_->stop = true;
  wait_.reset();
  for (int descriptor : held_)
    ::close(descriptor);
  held_.clear();
}
