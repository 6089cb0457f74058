// Message-line parsing follows the list's own format: the file name runs to the first colon
// (after a drive letter's colon in the Windows style), the line number to the next.
#include "JumpToSource.h"

#include "BuildDiagnostics.h"
#include "MessageCollector.h"
#include "ProjectList.h"

#include <algorithm>
#include <charconv>

namespace {

// The whole number `text` holds up to `stop` (or its end), after blanks and a plus sign. A
// message line is read in place: a tool may print a million of them.
std::optional<int> NumberUpTo(std::string_view text, char stop) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  text.remove_prefix(first);
  if (text[0] == '+') text.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || (end != text.data() + text.size() && *end != stop)) return std::nullopt;
  return value;
}

// Leading decimal digits of `text`, when there are any.
std::optional<int> LeadingNumber(std::string_view text) {
  return NumberUpTo(text.substr(0, text.find_first_not_of("0123456789")), ':');
}

// The second form: any text, a colon, one character, then a file name up to its own colon and,
// when digits follow that colon, the line.
std::optional<int> SecondForm(std::string_view rest, PathStyle style,
                              const std::function<bool(const std::string&)>& isFile, std::string& file) {
  if (rest.empty()) return std::nullopt;
  rest.remove_prefix(1);
  std::size_t end = rest.find(':');
  if (end == std::string_view::npos) return std::nullopt;
  if (style.windows) {
    end = rest.find(':', end + 1);
    if (end == std::string_view::npos) return std::nullopt;
  }
  file.assign(rest.substr(0, end));
  if (style.windows) std::replace(file.begin(), file.end(), '/', '\\');
  if (!isFile(file)) return std::nullopt;
  return LeadingNumber(rest.substr(end + 1)).value_or(1);
}

} // namespace

std::optional<int> ParseMessagePlace(std::string_view line, std::size_t colon, PathStyle style,
                                     const std::function<bool(const std::string&)>& isFile,
                                     std::string& file) {
  std::string_view rest = line;
  std::size_t fileSize = 0;
  if (colon != std::string_view::npos) {
    fileSize = colon;
    rest.remove_prefix(colon + 1);
  }
  if (const auto number = NumberUpTo(rest, ':')) {
    // A bare number names no file; there is nothing to open.
    if (fileSize == 0) return std::nullopt;
    file.assign(line.substr(0, fileSize));
    return number;
  }
  return SecondForm(rest, style, isFile, file);
}

std::optional<MessageLocation> ParseMessageLine(const std::string& line, PathStyle style,
                                                const std::function<bool(const std::string&)>& isFile) {
  std::string file;
  const std::optional<int> number = ParseMessagePlace(line, FileNameColon(line, style), style, isFile, file);
  if (!number) return std::nullopt;
  return MessageLocation{std::move(file), *number};
}

namespace {

std::optional<MessageLocation> NativeLocation(const std::string& line) {
  return ParseMessageLine(line, PathStyle::Native(), paths::FileExists);
}

} // namespace

void JumpToPlace(const SourcePlace& place, EditorWindows& windows) {
  JumpTarget& window = windows.OpenEditorWindow(place.file);
  window.SetMarkColour(place.markColour);
  window.MarkLine(place.line);
  window.SetTopLine(place.line - window.VisibleLineCount() / 2);
  // The focus goes to the editor, so the fix can be typed there at once.
  window.SetCaretY(place.line);
  window.BringToFront();
}

void JumpToMessage(const std::optional<std::string>& selectedLine, EditorWindows& windows) {
  if (!selectedLine) return;
  if (const auto location = NativeLocation(*selectedLine))
    JumpToPlace({location->file, location->line, kBuildMessageMarkColour}, windows);
}

std::optional<int> NextMessageRow(int rowCount, int current, int step,
                                  const std::function<std::string(int row)>& lineAt) {
  auto message = [](const std::string& line) {
    return KindOfMessage(line, PathStyle::Native(), paths::FileExists).has_value();
  };
  if (current < 0 || current >= rowCount || !message(lineAt(current))) current = step > 0 ? -1 : rowCount;
  for (int row = current + step; row >= 0 && row < rowCount; row += step)
    if (message(lineAt(row))) return row;
  return std::nullopt;
}
