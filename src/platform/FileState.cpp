#include "FileState.h"

#include <sys/stat.h>

FileState FileState::Of(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return {};
  constexpr std::int64_t kNanosecondsPerSecond = 1'000'000'000;
  return {true, static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanosecondsPerSecond + info.st_mtim.tv_nsec,
          static_cast<std::int64_t>(info.st_size), static_cast<std::uint64_t>(info.st_dev),
          static_cast<std::uint64_t>(info.st_ino)};
}
