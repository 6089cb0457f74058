// Reading project files from disk and turning matching lines into list entries.
#include "FindInFilesSearch.h"

#include "SourceFile.h"

#include <algorithm>

std::string FindInFilesEntry(const std::string& path, int line, std::string_view text) {
  std::string entry = path + ":" + std::to_string(line) + ": ";
  const std::size_t textStart = entry.size();
  entry += text;
  std::replace(entry.begin() + static_cast<std::ptrdiff_t>(textStart), entry.end(), '\t', ' ');
  return entry;
}

void SearchFiles(TkxEditSearch& engine, const std::vector<TProjectFile>& files,
                 const std::function<void(std::string)>& addEntry) {
  for (const TProjectFile& file : files) {
    const std::vector<std::string> lines = source_file::ReadStoredLines(file.Path);
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (engine.FindAllIn(lines[i]) > 0)
        addEntry(FindInFilesEntry(file.Path, static_cast<int>(i) + 1, lines[i]));
  }
}
