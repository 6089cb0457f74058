// Listing the files of a search and searching one of them.
#include "FindInFilesSearch.h"

#include "StoredFile.h"

#include <fnmatch.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;

namespace {

// The same file under two names (a link, "a/../b") counts once.
struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  std::string path; // for a file that is not there
  auto operator<=>(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0) return {info.st_dev, info.st_ino, {}};
  return {0, 0, fs::path(path).lexically_normal().string()};
}

std::vector<std::string> WorkspaceFiles(const ProjectList& workspace) {
  std::vector<std::string> files;
  std::set<FileIdentity> seen;
  for (int i = 0; i < workspace.Count(); ++i)
    for (const ProjectFile& file : workspace.Items(i).Files)
      if (seen.insert(IdentityOf(file.Path)).second) files.push_back(file.Path);
  return files;
}

std::vector<std::string> FolderFiles(const SearchScope& scope) {
  std::vector<std::string> files;
  std::error_code failed;
  auto take = [&](const fs::directory_entry& entry) {
    if (entry.is_regular_file(failed) &&
        MatchesFilePatterns(entry.path().filename().string(), scope.patterns))
      files.push_back(entry.path().string());
  };
  if (!scope.subfolders) {
    for (const auto& entry :
         fs::directory_iterator(scope.folder, fs::directory_options::skip_permission_denied, failed))
      take(entry);
  } else {
    fs::recursive_directory_iterator it(scope.folder, fs::directory_options::skip_permission_denied, failed),
        end;
    for (; it != end; it.increment(failed)) {
      if (failed) break;
      // Hidden folders (.git and the like) hold no sources of the mod.
      if (it->is_directory(failed) && it->path().filename().string().starts_with('.')) {
        it.disable_recursion_pending();
        continue;
      }
      take(*it);
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

} // namespace

bool MatchesFilePatterns(const std::string& name, const std::string& patterns) {
  bool any = false;
  std::size_t start = 0;
  while (start <= patterns.size()) {
    const std::size_t end = std::min(patterns.find(';', start), patterns.size());
    std::string pattern = patterns.substr(start, end - start);
    pattern.erase(0, pattern.find_first_not_of(' '));
    pattern.erase(pattern.find_last_not_of(' ') + 1);
    if (!pattern.empty()) {
      any = true;
      if (::fnmatch(pattern.c_str(), name.c_str(), 0) == 0) return true;
    }
    start = end + 1;
  }
  return !any;
}

std::vector<std::string> FilesToSearch(const ProjectList& workspace, const SearchScope& scope) {
  switch (scope.where) {
  case SearchWhere::ActiveProject: {
    std::vector<std::string> files;
    if (workspace.ActiveProject != nullptr)
      for (const ProjectFile& file : workspace.ActiveProject->Files)
        files.push_back(file.Path);
    return files;
  }
  case SearchWhere::Workspace: return WorkspaceFiles(workspace);
  case SearchWhere::Folder: return FolderFiles(scope);
  }
  return {};
}

int FileHits::MatchCount() const {
  int count = 0;
  for (const LineHit& line : lines)
    count += static_cast<int>(line.matches.size());
  return count;
}

FileHits SearchFile(TextMatcher& matcher, const SearchSource& source) {
  FileHits hits{source.path, {}};
  const std::string stored = source.shownText ? std::string() : stored_file::ReadStoredBytes(source.path);
  matcher.FindLines(source.shownText ? *source.shownText : stored,
                    [&hits](LineHit hit) { hits.lines.push_back(std::move(hit)); });
  return hits;
}

std::string FindInFilesEntry(const std::string& path, int line, std::string_view text) {
  std::string entry = path + ":" + std::to_string(line) + ": ";
  const std::size_t textStart = entry.size();
  entry += text;
  std::replace(entry.begin() + static_cast<std::ptrdiff_t>(textStart), entry.end(), '\t', ' ');
  return entry;
}
