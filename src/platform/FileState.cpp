#include "FileState.h"

#include <sys/stat.h>

FileState FileState::Of(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  const auto nanoseconds = [](const timespec& time) {
    constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
    return static_cast<std::int64_t>(time.tv_sec) * kNanosecondsPerSecond + time.tv_nsec;
  };
  return {true,
          nanoseconds(info.st_mtim),
          nanoseconds(info.st_ctim),
          static_cast<std::int64_t>(info.st_size),
          static_cast<std::uint64_t>(info.st_dev),
          static_cast<std::uint64_t>(info.st_ino)};
}
