// Whole-file reads, and whole-file writes that never leave a file half old and half new where
// the system allows it, and never change more of a file than its content.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Writes all of `bytes` to `fd`, going on after a signal interrupts it; false when a write fails
// (errno says why) or takes nothing.
bool WriteAll(int fd, std::string_view bytes);

// What a path names, learnt without waiting: opening a pipe, a device or a socket for reading can
// block for ever, so the file is opened without blocking and looked at before a byte is read.
struct FileProbe {
  bool exists = false;
  bool regular = false; // a plain file: the only kind that is read
  std::uint64_t size = 0;
  std::string problem; // why it cannot be read ("Cannot open <path>: it is a folder"), or empty
};
[[nodiscard]] FileProbe probeFile(const std::string& path);

// Reads the whole file into `content`. A file that does not exist reads as empty and succeeds;
// anything but a regular file (a pipe, a device, a folder) and any other failure return false
// with a message in `error`. Never blocks on what the path names.
bool ReadFileIfPresent(const std::string& path, std::string& content, std::string& error);

// The file's first `most` bytes at most; empty when it is no regular file or cannot be read.
[[nodiscard]] std::string readFileStart(const std::string& path, std::size_t most);

// Writes `content` as the file at `path` and returns an error text, empty on success.
//
// A symbolic link is followed: its target is written and the link stays. The content goes into
// a temporary file in the target's folder, is flushed to disk and renamed over the target, so
// the old file stays whole if anything fails; the file keeps its permissions, owner and group.
// Where a rename would change more than the content the file is written in place instead: it
// has other hard links, its owner or group cannot be given to a new file, or its folder takes
// no new files. Space for the content is then reserved before the first byte is written, so a
// full device leaves the old content. Missing folders are created when `createFolders` is set.
std::string WriteFileAtomically(const std::string& path, const std::string& content,
                                bool createFolders = true);
