// Only #include lines are looked at; conditions around them are not evaluated, so a header
// included under any condition counts.
#include "IncludeScanner.h"

#include "AtomicFile.h"
#include "Paths.h"
#include "ProcessRunner.h"

#include <optional>
#include <sstream>

namespace {

std::size_t SkipBlanks(const std::string& line, std::size_t at) {
  while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
    ++at;
  return at;
}

} // namespace

const std::vector<IncludeScanner::Include>& IncludeScanner::IncludesOf(const std::string& file) {
  const auto known = includes_.find(file);
  if (known != includes_.end()) return known->second;
  std::vector<Include>& found = includes_[file];
  // Read without blocking: a pipe or a device named here must not stop the window.
  std::string bytes, error;
  (void)readFileIfPresent(file, bytes, error);
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

std::optional<std::string> IncludeScanner::Find(const Include& include, const std::string& folder,
                                                Walk& walk) {
  std::vector<std::string> places;
  if (include.quoted) places.push_back(paths::ExpandFileName(include.name, folder));
  for (const std::string& includeFolder : walk.includeFolders)
    places.push_back(paths::ExpandFileName(include.name, includeFolder));
  for (const std::string& place : places) {
    if (paths::FileExists(place)) return place;
    walk.inVain.push_back(place);
  }
  return std::nullopt;
}

void IncludeScanner::Visit(const std::string& file, Walk& walk) {
  const std::string folder = paths::ExtractFilePath(file);
  walk.levels.emplace_back();
  for (const Include& include : IncludesOf(file)) {
    const std::optional<std::string> header = Find(include, folder, walk);
    if (!header || !walk.seen.insert(*header).second) continue;
    IncludedHeader met{*header, {}};
    for (const std::vector<std::string>& level : walk.levels)
      met.context.insert(met.context.end(), level.begin(), level.end());
    walk.headers.push_back(std::move(met));
    Visit(*header, walk);
    walk.levels.back().push_back(*header);
  }
  walk.levels.pop_back();
}

std::vector<IncludedHeader> IncludeScanner::HeadersOf(const std::string& source,
                                                      const std::vector<std::string>& includeFolders) {
  Walk walk{includeFolders, {source}, {}, {}, {}};
  Visit(source, walk);
  return std::move(walk.headers);
}

SourceDependencies IncludeScanner::DependenciesOf(const std::string& source,
                                                  const std::vector<std::string>& includeFolders) {
  Walk walk{includeFolders, {source}, {}, {}, {}};
  Visit(source, walk);
  SourceDependencies dependencies{{source}, {}};
  for (const IncludedHeader& header : walk.headers)
    dependencies.files.push_back(header.path);
  std::set<std::string> listed;
  for (const std::string& place : walk.inVain)
    if (listed.insert(place).second) dependencies.notThere.push_back(place);
  return dependencies;
}

std::vector<std::string> IncludeFolders(const std::string& commandLine, const std::string& source) {
  const std::vector<std::string> words = SplitCommandLine(commandLine);
  const std::string sourceFolder = paths::ExtractFilePath(source);
  std::vector<std::string> folders;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].rfind("-I", 0) != 0) continue;
    std::string folder = words[i].substr(2);
    if (folder.empty() && i + 1 < words.size()) folder = words[++i];
    if (!folder.empty())
      folders.push_back(paths::ExcludeTrailingDelimiter(paths::ExpandFileName(folder, sourceFolder)));
  }
  return folders;
}
