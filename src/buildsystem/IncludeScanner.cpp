// Only #include lines are looked at; conditions around them are not evaluated, so a header
// included under any condition counts.
#include "IncludeScanner.h"

#include "Paths.h"

#include <fstream>
#include <optional>

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
  std::ifstream in(file, std::ios::binary);
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

void IncludeScanner::Visit(const std::string& file, const std::vector<std::string>& includeFolders,
                           std::set<std::string>& seen, std::vector<std::string>& headers) {
  const std::string folder = paths::ExtractFilePath(file);
  for (const Include& include : IncludesOf(file)) {
    std::optional<std::string> header;
    if (include.quoted && paths::FileExists(paths::ExpandFileName(include.name, folder)))
      header = paths::ExpandFileName(include.name, folder);
    for (std::size_t i = 0; i < includeFolders.size() && !header; ++i)
      if (paths::FileExists(paths::ExpandFileName(include.name, includeFolders[i])))
        header = paths::ExpandFileName(include.name, includeFolders[i]);
    if (!header || !seen.insert(*header).second) continue;
    headers.push_back(*header);
    Visit(*header, includeFolders, seen, headers);
  }
}

std::vector<std::string> IncludeScanner::HeadersOf(const std::string& source,
                                                   const std::vector<std::string>& includeFolders) {
  std::set<std::string> seen{source};
  std::vector<std::string> headers;
  Visit(source, includeFolders, seen, headers);
  return headers;
}
