// Files as stored on disk, for everything that reads or writes them outside a document window's
// loading: the bytes of a file, its lines, and the safe save (a backup copy made once, then an
// atomic replace that keeps the file's permissions, links, owner and group).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace stored_file {

// Splits at CR LF, CR and LF; every other byte (NUL and bytes above 127 included) is kept.
// A text ending in a line end has no empty last line.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view bytes);

// The bytes of a file as stored on disk, for the class view and Find in Files. Raises
// TessarinError "Cannot open file <path>" for a file that is missing or is not a plain file: a
// pipe or a device could block the read for ever.
[[nodiscard]] std::string ReadStoredBytes(const std::string& path);
// ReadStoredBytes split into lines.
[[nodiscard]] std::vector<std::string> ReadStoredLines(const std::string& path);

// The backup's name: up to and including the last '.' or delimiter, then "~", then the
// extension with its dot ("/mod/logic.c" -> "/mod/logic.~.c", "/mod/notes" -> "/mod/~").
[[nodiscard]] std::string BackupName(const std::string& fileName);

// Copies the file on disk to its backup name unless a file of that name already exists, whole or
// not at all, with the file's permissions. Returns the error text, empty on success (also when
// there is no file to copy).
[[nodiscard]] std::string MakeBackup(const std::string& fileName);

// Writes the bytes atomically, keeping an existing file's permissions; on failure the file on
// disk is untouched. A backup that cannot be made stops the save before the file is touched.
// Returns the error text, empty on success.
[[nodiscard]] std::string Save(const std::string& path, const std::string& bytes, bool backup);

} // namespace stored_file
