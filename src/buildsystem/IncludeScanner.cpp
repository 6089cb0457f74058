// A line-by-line look for `#include`: comments, macros and conditions are not understood, which
// can only add headers, never miss one a plain `#include` names.
#include "IncludeScanner.h"

#include "ProcessRunner.h"

#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string Joined(const std::string& folder, const std::string& name) {
  return (fs::path(folder) / name).lexically_normal().string();
}

std::string FolderOf(const std::string& file) { return fs::path(file).parent_path().string(); }

} // namespace

const std::vector<IncludeScanner::Include>& IncludeScanner::IncludesOf(const std::string& file) {
  if (const auto found = known_.find(file); found != known_.end()) return found->second;
  std::vector<Include> includes;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    std::size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line[at] != '#') continue;
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line.compare(at, 7, "include") != 0) continue;
    at = line.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || (line[at] != '"' && line[at] != '<')) continue;
    const char close = line[at] == '"' ? '"' : '>';
    const std::size_t end = line.find(close, at + 1);
    if (end != std::string::npos && end > at + 1)
      includes.push_back({line.substr(at + 1, end - at - 1), close == '"'});
  }
  return known_.emplace(file, std::move(includes)).first->second;
}

SourceDependencies IncludeScanner::DependenciesOf(const std::string& source,
                                                  const std::vector<std::string>& includeFolders) {
  SourceDependencies dependencies;
  std::set<std::string> seen{source}, looked;
  std::vector<std::string> toRead{source};
  dependencies.files.push_back(source);
  while (!toRead.empty()) {
    const std::string file = toRead.back();
    toRead.pop_back();
    for (const Include& include : IncludesOf(file)) {
      std::vector<std::string> places;
      if (fs::path(include.name).is_absolute()) {
        places.push_back(fs::path(include.name).lexically_normal().string());
      } else {
        if (include.quoted) places.push_back(Joined(FolderOf(file), include.name));
        for (const std::string& folder : includeFolders)
          places.push_back(Joined(folder, include.name));
      }
      for (const std::string& place : places) {
        if (IsFile(place)) {
          if (seen.insert(place).second) {
            dependencies.files.push_back(place);
            toRead.push_back(place);
          }
          break;
        }
        if (looked.insert(place).second) dependencies.notThere.push_back(place);
      }
    }
  }
  return dependencies;
}

std::vector<std::string> IncludeFolders(const std::string& commandLine, const std::string& source) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].rfind("-I", 0) != 0) continue;
    std::string folder = words[i].substr(2);
    if (folder.empty() && i + 1 < words.size()) folder = words[++i];
    if (folder.empty()) continue;
    folders.push_back(fs::path(folder).is_absolute() ? fs::path(folder).lexically_normal().string()
                                                     : Joined(FolderOf(source), folder));
  }
  return folders;
}
