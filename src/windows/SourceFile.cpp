#include "SourceFile.h"

#include "AtomicFile.h"
#include "Paths.h"

#include <sys/stat.h>

#include <filesystem>

namespace source_file {

std::string ExpandTabs(std::string_view line) {
  std::string expanded;
  expanded.reserve(line.size());
  for (char ch : line) {
    if (ch != '\t') {
      expanded += ch;
      continue;
    }
    expanded.append(kTabColumns - expanded.size() % kTabColumns, ' ');
  }
  return expanded;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.emplace_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::size_t size = 0;
  for (const std::string& line : lines)
    size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

LoadResult Load(const std::string& path) {
  LoadResult result;
  // A pipe would block the open itself, so anything but a plain file is refused up front.
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    result.error = "Cannot open " + path + ": " +
                   (S_ISDIR(info.st_mode) ? "it is a folder" : "it is not a regular file");
    return result;
  }
  std::string bytes;
  if (!readFileIfPresent(path, bytes, result.error)) return result;
  result.lines = SplitLines(bytes);
  bytes = std::string(); // the lines hold the text now; a large file need not sit twice
  for (std::string& line : result.lines)
    if (line.find('\t') != std::string::npos) line = ExpandTabs(line);
  return result;
}

std::string BackupName(const std::string& fileName) {
  return paths::ReplaceAfterLastDelimiterOrDot(fileName, "~") + paths::ExtractFileExt(fileName);
}

void MakeBackup(const std::string& fileName) {
  std::error_code ignored;
  std::filesystem::copy_file(fileName, BackupName(fileName), std::filesystem::copy_options::none, ignored);
}

std::string Save(const std::string& path, const std::vector<std::string>& lines, bool backup) {
  if (backup) MakeBackup(path);
  return writeFileAtomically(path, JoinLines(lines), false);
}

} // namespace source_file
