// What a file on disk looks like from outside: enough to tell that another program changed,
// replaced or deleted it since it was last read or written.
#pragma once

#include <cstdint>
#include <string>

struct FileState {
  bool exists = false;
  std::int64_t modified = 0; // nanoseconds since the epoch
  // The status change time: a program may write the same size and put the old modification time
  // back, but it cannot set this one.
  std::int64_t changed = 0;
  std::int64_t size = 0;
  std::uint64_t device = 0;
  std::uint64_t inode = 0; // a replaced file has another one

  // The state of the file `path` names, following links; a file that cannot be looked at counts
  // as absent.
  [[nodiscard]] static FileState Of(const std::string& path);
  bool operator==(const FileState&) const = default;
};
