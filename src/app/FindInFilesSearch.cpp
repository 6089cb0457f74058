// Reading project files from disk and turning matching lines into list entries.
#include "FindInFilesSearch.h"

#include "AtomicFile.h"
#include "SourceFile.h"
#include "UserQuestions.h"

#include <algorithm>
#include <filesystem>

std::vector<std::string> ReadStoredLines(const std::string& path) {
  std::error_code failed;
  std::string bytes, error;
  // readFileIfPresent takes a missing file for an empty one; here it is an error.
  if (!std::filesystem::is_regular_file(path, failed) || !readFileIfPresent(path, bytes, error))
    throw TessarinError("Cannot open file " + path);
  return source_file::SplitLines(bytes);
}

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
    const std::vector<std::string> lines = ReadStoredLines(file.Path);
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (engine.FindAllIn(lines[i]) > 0)
        addEntry(FindInFilesEntry(file.Path, static_cast<int>(i) + 1, lines[i]));
  }
}
