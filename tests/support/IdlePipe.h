// A named pipe nobody writes to, for code that must never block on one: opening it for reading
// the usual way waits for a writer for ever. Code run through Within() that is still busy after
// a few seconds is let go by a watchdog, which opens the pipe for writing and closes it again
// (the blocked open returns, the read finds the end), and the test fails instead of hanging.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <type_traits>

class IdlePipe {
public:
  explicit IdlePipe(std::string path) : path_(std::move(path)) {
    EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0) << "cannot make the pipe " << path_;
  }

  [[nodiscard]] const std::string& path() const { return path_; }

  // Runs `work` and returns what it returns; fails the test when the watchdog had to free it.
  template <typename Work> auto Within(Work work, std::chrono::seconds patience = std::chrono::seconds(5)) {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false, freed = false;
    std::thread watchdog([&] {
      std::unique_lock lock(mutex);
      if (finished.wait_for(lock, patience, [&] { return done; })) return;
      freed = true;
      while (!finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
        const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (writer >= 0) ::close(writer);
      }
    });
    const auto finish = [&] {
      {
        const std::lock_guard lock(mutex);
        done = true;
      }
      finished.notify_all();
      watchdog.join();
      EXPECT_FALSE(freed) << "blocked on the pipe " << path_ << " until the watchdog let it go";
    };
    if constexpr (std::is_void_v<decltype(work())>) {
      work();
      finish();
    } else {
      auto result = work();
      finish();
      return result;
    }
  }

private:
  std::string path_;
};
