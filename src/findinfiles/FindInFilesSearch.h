// The search behind Find in Files: which files a search covers, and the hits of one file, read
// as stored or as its open window shows it. No widgets.
#pragma once

#include "ProjectList.h"
#include "TextMatcher.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class SearchWhere { ActiveProject, Workspace, Folder };

struct SearchScope {
  SearchWhere where = SearchWhere::ActiveProject;
  std::string folder;               // for SearchWhere::Folder
  std::string patterns = "*.c;*.h"; // file-name patterns of the folder's files, ';' between them
  bool subfolders = true;           // the folder's subfolders too, hidden ones aside
  bool operator==(const SearchScope&) const = default;
};

// The files a search covers, in order: the active project's as listed; the workspace's project
// by project, a file that several projects hold at its first place only; a folder's that match
// a pattern, sorted by path, without following links to folders.
[[nodiscard]] std::vector<std::string> FilesToSearch(const ProjectList& workspace, const SearchScope& scope);

// Whether `name` matches one of the ';'-separated shell patterns ("*.c;*.h"); blank patterns are
// ignored, and no pattern at all matches every name.
[[nodiscard]] bool MatchesFilePatterns(const std::string& name, const std::string& patterns);

// A file to search: as its window shows it when that has unsaved changes, else as stored.
struct SearchSource {
  std::string path;
  std::optional<std::string> shownText;
};

struct FileHits {
  std::string path;
  std::vector<LineHit> lines;
  [[nodiscard]] int MatchCount() const;
  bool operator==(const FileHits&) const = default;
};

// The hits of one file. Raises TessarinError "Cannot open file <path>" when a file to be read
// from disk cannot be read.
[[nodiscard]] FileHits SearchFile(TextMatcher& matcher, const SearchSource& source);

// "path:line: text", with each tab of the text replaced by one blank: the message-line form the
// jump to source reads back.
[[nodiscard]] std::string FindInFilesEntry(const std::string& path, int line, std::string_view text);
