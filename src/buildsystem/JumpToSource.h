// The jump to a place in a source file, from whichever list names it: open the file's editor
// window, mark the line in the list's colour and centre it. And the build messages' own part:
// finding the place a message line names.
#pragma once

#include "EditorWindows.h"
#include "Paths.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct MessageLocation {
  std::string file;
  int line = 0;
  bool operator==(const MessageLocation&) const = default;
};

// Reads "file:line:text", or, failing that, "prefix: file:text", which names a file when `isFile`
// accepts its long form: at the line the text starts with, as in the compiler's
// "main.c: header.h:31: text" and the preprocessor's "cpp: path:24 text", else at line 1.
[[nodiscard]] std::optional<MessageLocation>
ParseMessageLine(const std::string& line, PathStyle style,
                 const std::function<bool(const std::string&)>& isFile);
// The same, for a caller that reads a flood of lines: `colon` is FileNameColon(line, style), which
// the caller needs too; the file name goes into `file`, whose buffer serves again for the next
// line. Returns the line number.
[[nodiscard]] std::optional<int> ParseMessagePlace(std::string_view line, std::size_t colon, PathStyle style,
                                                   const std::function<bool(const std::string&)>& isFile,
                                                   std::string& file);

// A place to jump to: the file, its line, and the colour the line is marked in.
struct SourcePlace {
  std::string file;
  int line = 0;
  std::uint32_t markColour = 0;
};

constexpr std::uint32_t kBuildMessageMarkColour = 255; // red

void JumpToPlace(const SourcePlace& place, EditorWindows& windows);

// The handler of the build message list; `selectedLine` is empty when nothing is selected.
void JumpToMessage(const std::optional<std::string>& selectedLine, EditorWindows& windows);

// Next / Previous message: the first row after `current` (`step` 1) or before it (`step` -1)
// whose line is an error or a warning; none when there is no such row. A `current` of -1, or one
// whose line is neither (the list follows the build's last line), starts from the top for Next
// and from the bottom for Previous.
[[nodiscard]] std::optional<int> NextMessageRow(int rowCount, int current, int step,
                                                const std::function<std::string(int row)>& lineAt);
