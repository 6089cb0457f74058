#include "SourceFile.h"

#include "AtomicFile.h"

namespace source_file {

std::string ExpandTabs(std::string_view line) {
  std::size_t width = 0;
  for (char ch : line)
    width += ch == '\t' ? kTabColumns - width % kTabColumns : 1;
  std::string expanded;
  expanded.reserve(width); // exactly: a large file's lines leave no holes in the heap
  for (char ch : line) {
    if (ch != '\t') {
      expanded += ch;
      continue;
    }
    expanded.append(kTabColumns - expanded.size() % kTabColumns, ' ');
  }
  return expanded;
}

bool IndentedWithTabs(const std::vector<std::string>& lines) {
  int balance = 0; // lines starting with a tab less those starting with a space
  for (const std::string& line : lines)
    if (!line.empty()) balance += line.front() == '\t' ? 1 : line.front() == ' ' ? -1 : 0;
  return balance > 0;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  // An empty file is read as the editor's one empty line, and stays empty.
  if (lines.size() == 1 && lines.front().empty()) return {};
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

bool LooksLikeText(const std::string& path) {
  const std::string start = readFileStart(path, 64 * 1024);
  std::size_t control = 0;
  for (const unsigned char byte : start) {
    if (byte == 0) return false;
    if (byte < 0x20 &&
        std::string_view("\t\n\r\f\v\x1b").find(static_cast<char>(byte)) == std::string_view::npos)
      ++control;
  }
  // Text from any code page has a control character here and there, never many.
  return control * 10 <= start.size();
}

LoadResult Load(const std::string& path, bool keepLayout) {
  LoadResult result;
  std::string bytes;
  if (!ReadFileIfPresent(path, bytes, result.error)) return result;
  if (keepLayout) {
    result.layout = LineLayout::Read(bytes, result.lines);
    return result;
  }
  // One pass that builds each line in its final form: large files open in a moment.
  ForEachLine(bytes, [&result](std::string_view line, LineEnd) {
    if (line.find('\t') == std::string_view::npos)
      result.lines.emplace_back(line);
    else
      result.lines.push_back(ExpandTabs(line));
  });
  return result;
}

} // namespace source_file
