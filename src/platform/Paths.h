// Path algebra over one of two path styles: Windows (`\`, drive letters and \\server\share) and
// POSIX (`/`). The program works in the native style; the Windows style is kept so paths written
// by Windows users (and the Windows examples of the build rules) can be handled and tested.
#pragma once

#include <string>

struct PathStyle {
  char separator;
  bool windows;

  [[nodiscard]] bool isDelimiter(char c) const { return c == separator || (windows && c == '/'); }
  [[nodiscard]] static PathStyle Windows() { return {'\\', true}; }
  [[nodiscard]] static PathStyle Posix() { return {'/', false}; }
  [[nodiscard]] static PathStyle Native();
};

namespace paths {

// The drive of a path: "C:" or "\\server\share" in the Windows style, "/" for an absolute POSIX
// path; empty when the path has none.
[[nodiscard]] std::string Drive(const std::string& path, PathStyle style = PathStyle::Native());
// A path carries a drive when it does not depend on a current folder.
[[nodiscard]] bool CarriesDrive(const std::string& path, PathStyle style = PathStyle::Native());

// Folder part including its trailing delimiter ("C:\mods\a.c" -> "C:\mods\"); empty when none.
[[nodiscard]] std::string ExtractFilePath(const std::string& path, PathStyle style = PathStyle::Native());
// The name after the last delimiter (or drive colon).
[[nodiscard]] std::string ExtractFileName(const std::string& path, PathStyle style = PathStyle::Native());
// The extension including its dot ("a.tar.gz" -> ".gz"); empty when the name has no dot.
[[nodiscard]] std::string ExtractFileExt(const std::string& path, PathStyle style = PathStyle::Native());
// Lower-cased extension, for the case-insensitive extension tests.
[[nodiscard]] std::string LowerFileExt(const std::string& path, PathStyle style = PathStyle::Native());
// Replaces the extension: `newExt` includes its dot, or is empty to drop the extension.
[[nodiscard]] std::string ChangeFileExt(const std::string& path, const std::string& newExt,
                                        PathStyle style = PathStyle::Native());
// Keeps everything up to and including the last delimiter or dot and appends `ext` (no dot):
// the workspace reader's way of renaming "server.dsp" to "server.tsp".
[[nodiscard]] std::string ReplaceAfterLastDelimiterOrDot(const std::string& path, const std::string& ext,
                                                         PathStyle style = PathStyle::Native());

[[nodiscard]] std::string IncludeTrailingDelimiter(const std::string& folder,
                                                   PathStyle style = PathStyle::Native());
[[nodiscard]] std::string ExcludeTrailingDelimiter(const std::string& folder,
                                                   PathStyle style = PathStyle::Native());

// Resolves "." and ".." folder names and doubled delimiters; delimiters become the style's own.
// A relative path is taken relative to `base` (a folder) first.
[[nodiscard]] std::string ExpandFileName(const std::string& path, const std::string& base,
                                         PathStyle style = PathStyle::Native());

// `target` relative to the folder `base` (which ends with a delimiter): "..\" for each folder of
// the base not shared with the target, then the target's own remaining folders and its name.
// Folder names compare case-insensitively; a target on another drive comes back unchanged.
[[nodiscard]] std::string ExtractRelativePath(const std::string& base, const std::string& target,
                                              PathStyle style = PathStyle::Native());

// Converts a path read from a file written in either style into the native style: on POSIX,
// backslashes become slashes unless the path carries a Windows drive (such a path names a file
// that is not here, and is kept as it was written).
[[nodiscard]] std::string FromStoredPath(const std::string& stored);

// Whether two names name one file: the same name, or one file reached through a link (the same
// device and inode). Names that carry a Windows drive compare without case, as Windows does.
[[nodiscard]] bool SameFileName(const std::string& a, const std::string& b);
[[nodiscard]] std::string LowerCase(std::string text);

[[nodiscard]] bool FileExists(const std::string& path);

} // namespace paths
