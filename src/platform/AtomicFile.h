// Whole-file reads, and whole-file writes that never leave a file half old and half new where
// the system allows it, and never change more of a file than its content.
#pragma once

#include <string>

// Reads the whole file into `content`. A file that does not exist reads as empty and succeeds;
// any other failure returns false with a message in `error`.
bool readFileIfPresent(const std::string& path, std::string& content, std::string& error);

// Writes `content` as the file at `path` and returns an error text, empty on success.
//
// A symbolic link is followed: its target is written and the link stays. The content goes into
// a temporary file in the target's folder, is flushed to disk and renamed over the target, so
// the old file stays whole if anything fails; the file keeps its permissions, owner and group.
// Where a rename would change more than the content the file is written in place instead: it
// has other hard links, its owner or group cannot be given to a new file, or its folder takes
// no new files. Space for the content is then reserved before the first byte is written, so a
// full device leaves the old content. Missing folders are created when `createFolders` is set.
std::string writeFileAtomically(const std::string& path, const std::string& content,
                                bool createFolders = true);
