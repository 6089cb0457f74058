// Keeps two builds, in this program or in another (a window and tessarin-build, two windows),
// from working in one folder at once: each build locks its build folder and its output folder
// (flock on the folder itself, so every spelling of its path counts and no file is left behind)
// before it writes there, and lets go when its project is done. A build that finds a folder
// locked waits for it, and is told so.
#pragma once

#include "ProcessRunner.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class FolderLocks {
public:
  explicit FolderLocks(std::shared_ptr<HandOver> handOver);
  ~FolderLocks();
  FolderLocks(const FolderLocks&) = delete;
  FolderLocks& operator=(const FolderLocks&) = delete;

  // Locks each existing folder of `folders` in turn (each folder once). `waiting` hears of a folder
  // another build holds; `locked` runs once all are held: at once when none is held elsewhere,
  // otherwise later through the hand-over. A folder that cannot be opened is left unlocked.
  void Lock(const std::vector<std::string>& folders, std::function<void(const std::string& folder)> waiting,
            std::function<void()> locked);
  // Lets go of every lock, and stops waiting for one.
  void Unlock();
  [[nodiscard]] bool Waiting() const;

private:
  struct Wait;
  void LockFrom(std::size_t next);

  std::shared_ptr<HandOver> handOver_;
  std::vector<std::string> folders_;
  std::vector<int> held_; // descriptors of the locked folders
  std::function<void(const std::string&)> waiting_;
  std::function<void()> locked_;
  std::shared_ptr<Wait> wait_; // of the folder being waited for
};
