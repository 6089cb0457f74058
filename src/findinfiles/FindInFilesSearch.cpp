// Placing a whole file's matches on their lines and turning those lines into list entries.
#include "FindInFilesSearch.h"

#include "StoredFile.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

// Walks forward through the lines of a text: which line holds a position, and where it ends.
class LineWalker {
public:
  explicit LineWalker(std::string_view text) : text_(text), nextReturn_(Find('\r')), nextFeed_(Find('\n')) {}

  // Moves to the line holding `position`, which is not before the current line's start.
  void MoveTo(std::size_t position) {
    for (std::size_t end = End(); end < position; end = End()) {
      start_ = end + (text_[end] == '\r' && end + 1 < text_.size() && text_[end + 1] == '\n' ? 2 : 1);
      ++number_;
    }
  }
  [[nodiscard]] int Number() const { return number_; }
  [[nodiscard]] std::string_view Text() { return text_.substr(start_, End() - start_); }

private:
  // Where the current line ends: its first CR or LF, or the end of the text. The next CR and LF
  // are looked up once each and kept until the walk passes them.
  std::size_t End() {
    if (nextReturn_ < start_) nextReturn_ = Find('\r');
    if (nextFeed_ < start_) nextFeed_ = Find('\n');
    return std::min(nextReturn_, nextFeed_);
  }
  [[nodiscard]] std::size_t Find(char byte) const {
    const void* found = std::memchr(text_.data() + start_, byte, text_.size() - start_);
    return found == nullptr ? text_.size()
                            : static_cast<std::size_t>(static_cast<const char*>(found) - text_.data());
  }

  std::string_view text_;
  std::size_t start_ = 0;
  int number_ = 1;
  std::size_t nextReturn_, nextFeed_;
};

// The plain way, for the patterns a whole-text scan cannot take: one line at a time.
void SearchLineByLine(TkxEditSearch& engine, const std::string& path, std::string_view bytes,
                      const FindInFilesEntrySink& addEntry) {
  const std::vector<std::string> lines = stored_file::SplitLines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i)
    if (engine.FindAllIn(lines[i]) > 0) addEntry(FindInFilesEntry(path, static_cast<int>(i) + 1, lines[i]));
}

} // namespace

std::string FindInFilesEntry(const std::string& path, int line, std::string_view text) {
  std::string entry = path + ":" + std::to_string(line) + ": ";
  const std::size_t textStart = entry.size();
  entry += text;
  std::replace(entry.begin() + static_cast<std::ptrdiff_t>(textStart), entry.end(), '\t', ' ');
  return entry;
}

void SearchText(TkxEditSearch& engine, const std::string& path, std::string_view bytes,
                const FindInFilesEntrySink& addEntry) {
  // A match never spans a line end when the pattern holds none, and a line end delimits a word
  // as the start and end of a line do: the matches in the whole text are those of its lines.
  // Columns are ints, so a text too long for one goes line by line too.
  if (engine.Pattern().find_first_of("\r\n") != std::string::npos || bytes.size() >= INT_MAX)
    return SearchLineByLine(engine, path, bytes, addEntry);
  const int matches = engine.FindAllIn(bytes);
  LineWalker lines(bytes);
  int listed = 0;
  for (int i = 0; i < matches; ++i) {
    lines.MoveTo(static_cast<std::size_t>(engine.ResultAt(i) - 1));
    if (lines.Number() == listed) continue;
    listed = lines.Number();
    addEntry(FindInFilesEntry(path, listed, lines.Text()));
  }
}

void SearchFile(TkxEditSearch& engine, const std::string& path, const FindInFilesEntrySink& addEntry) {
  SearchText(engine, path, stored_file::ReadStoredBytes(path), addEntry);
}

void SearchFiles(TkxEditSearch& engine, const std::vector<ProjectFile>& files,
                 const FindInFilesEntrySink& addEntry) {
  for (const ProjectFile& file : files)
    SearchFile(engine, file.Path, addEntry);
}
