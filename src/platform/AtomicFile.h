// Whole-file reads and crash-safe whole-file writes.
#pragma once

#include <string>

// Reads the whole file into `content`. A file that does not exist reads as empty and succeeds;
// any other failure returns false with a message in `error`.
bool readFileIfPresent(const std::string& path, std::string& content, std::string& error);

// Writes `content` into a temporary file in the target's folder, flushes it to disk and renames
// it over `path`, so the old file stays intact if anything fails. Missing folders are created
// when `createFolders` is set. An existing file's permissions are kept. Returns an error text,
// empty on success.
std::string writeFileAtomically(const std::string& path, const std::string& content,
                                bool createFolders = true);
