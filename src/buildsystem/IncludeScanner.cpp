// Only #include lines are looked at; conditions around them are not evaluated, so a header
// included under any condition counts. Places are written as the preprocessor writes them (a
// folder, "/", the name), so that each is looked at exactly where the preprocessor looks.
#include "IncludeScanner.h"

#include "AtomicFile.h"
#include "Paths.h"
#include "ProcessRunner.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <sstream>

namespace {

std::size_t SkipBlanks(const std::string& line, std::size_t at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
    ++at;
  return at;
}

// The folder part of a name without its last "/", or "." when it has none.
std::string FolderPart(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? "." : name.substr(0, slash);
}

std::string Normal(const std::string& path) {
  return std::filesystem::path(path).lexically_normal().string();
}

} // namespace

const std::vector<IncludeScanner::Include>& IncludeScanner::IncludesOf(const std::string& file) {
  const auto known = includes_.find(file);
  if (known != includes_.end()) return known->second;
  std::vector<Include>& found = includes_[file];
  // Read without blocking: a pipe or a device named here must not stop the window.
  std::string bytes, error;
  (void)ReadFileIfPresent(file, bytes, error);
  std::istringstream in(bytes);
  std::string line;
  while (std::getline(in, line)) {
    std::size_t at = SkipBlanks(line, 0);
    if (at >= line.size() || line[at] != '#') continue;
    at = SkipBlanks(line, at + 1);
    if (line.compare(at, 7, "include") != 0) continue;
    at = SkipBlanks(line, at + 7);
    if (at >= line.size() || (line[at] != '"' && line[at] != '<')) continue;
    const char close = line[at] == '"' ? '"' : '>';
    const std::size_t end = line.find(close, at + 1);
    if (end == std::string::npos || end == at + 1) continue;
    found.push_back({line.substr(at + 1, end - at - 1), close == '"'});
  }
  return found;
}

IncludeScanner::Walk IncludeScanner::StartWalk(const std::string& source,
                                               const std::vector<std::string>& includeOptions) {
  Walk walk{FolderPart(source), {}, {Normal(source)}, {}, {}, {}};
  for (const std::string& option : includeOptions)
    AddFolder(option, walk);
  return walk;
}

// Every folder is taken inside the main source's folder, an absolute one too; each is searched
// once, at the place it was first named.
void IncludeScanner::AddFolder(const std::string& folder, Walk& walk) {
  const std::string place = walk.mainFolder + "/" + folder;
  if (std::find(walk.folders.begin(), walk.folders.end(), place) == walk.folders.end())
    walk.folders.push_back(place);
}

std::optional<std::string> IncludeScanner::Find(const Include& include, Walk& walk) {
  // The folder of the name counts before the name itself is looked for.
  AddFolder(FolderPart(include.name), walk);
  std::vector<std::string> places;
  if (include.name[0] == '/') {
    places.push_back(include.name);
  } else {
    if (include.quoted) places.push_back(walk.mainFolder + "/" + include.name);
    for (const std::string& folder : walk.folders)
      places.push_back(folder + "/" + include.name);
  }
  for (const std::string& place : places) {
    if (paths::FileExists(place)) return place;
    walk.inVain.push_back(place);
  }
  return std::nullopt;
}

void IncludeScanner::Visit(const std::string& file, Walk& walk) {
  walk.levels.emplace_back();
  for (const Include& include : IncludesOf(file)) {
    const std::optional<std::string> place = Find(include, walk);
    if (!place) continue;
    const std::string header = Normal(*place);
    if (!walk.seen.insert(header).second) continue;
    IncludedHeader met{header, {}};
    for (const std::vector<std::string>& level : walk.levels)
      met.context.insert(met.context.end(), level.begin(), level.end());
    walk.headers.push_back(std::move(met));
    Visit(*place, walk);
    walk.levels.back().push_back(header);
  }
  walk.levels.pop_back();
}

std::vector<IncludedHeader> IncludeScanner::HeadersOf(const std::string& source,
                                                      const std::vector<std::string>& includeOptions) {
  Walk walk = StartWalk(source, includeOptions);
  Visit(source, walk);
  return std::move(walk.headers);
}

SourceDependencies IncludeScanner::DependenciesOf(const std::string& source,
                                                  const std::vector<std::string>& includeOptions) {
  Walk walk = StartWalk(source, includeOptions);
  Visit(source, walk);
  SourceDependencies dependencies{{source}, {}};
  for (const IncludedHeader& header : walk.headers)
    dependencies.files.push_back(header.path);
  std::set<std::string> listed;
  for (const std::string& place : walk.inVain)
    if (listed.insert(place).second) dependencies.notThere.push_back(place);
  return dependencies;
}

std::vector<std::string> IncludeOptions(const std::string& commandLine) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  std::vector<std::string> options;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].rfind("-I", 0) != 0) continue;
    std::string folder = words[i].substr(2);
    if (folder.empty() && i + 1 < words.size()) folder = words[++i];
    if (!folder.empty()) options.push_back(folder);
  }
  return options;
}
