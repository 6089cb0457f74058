// A source file as the editor windows read and write it: bytes to lines, either as they are or
// with tabs expanded, lines back to CR LF bytes, the backup copy and the crash-safe write. No
// widgets here.
#pragma once

#include "LineLayout.h"

#include <string>
#include <string_view>
#include <vector>

namespace source_file {

inline constexpr int kTabColumns = 4;

// Each tab becomes the spaces up to the next multiple of four columns.
[[nodiscard]] std::string ExpandTabs(std::string_view line);

// Splits at CR LF, CR and LF; every other byte (NUL and bytes above 127 included) is kept.
// A text ending in a line end has no empty last line.
[[nodiscard]] std::vector<std::string> SplitLines(std::string_view bytes);

// Whether more lines start with a tab than with a space.
[[nodiscard]] bool IndentedWithTabs(const std::vector<std::string>& lines);

// Every line followed by CR LF; the empty text (no line, or one empty line) is no bytes.
[[nodiscard]] std::string JoinLines(const std::vector<std::string>& lines);

struct LoadResult {
  std::vector<std::string> lines; // empty for a file that does not exist
  std::string error;              // empty on success
  LineLayout layout;              // how the lines ended, when they were kept as they are
};

// The bytes of a file as stored on disk, for the class view and Find in Files. Raises
// TessarinError "Cannot open file <path>" for a file that is missing or is not a plain file: a
// pipe or a device could block the read for ever.
[[nodiscard]] std::string ReadStoredBytes(const std::string& path);
// ReadStoredBytes split into lines (tabs kept).
[[nodiscard]] std::vector<std::string> ReadStoredLines(const std::string& path);

// Whether the start of the file reads as text: no NUL byte, and few control characters besides
// the usual white space. A file that cannot be read counts as text (its reading reports why).
[[nodiscard]] bool LooksLikeText(const std::string& path);

// Reads `path` as lines: with `keepLayout` every byte as it is, with the line ends in the layout;
// otherwise with tabs expanded. A missing file gives no lines and no error; a folder, a device or
// an unreadable file gives an error and no lines.
[[nodiscard]] LoadResult Load(const std::string& path, bool keepLayout);

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

} // namespace source_file
