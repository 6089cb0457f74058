// The double-click on a message line ("Debug" or "Find in Files"): find the file and line it
// names, open the file's editor window, mark the line and centre it.
#pragma once

#include "EditorWindows.h"
#include "Paths.h"

#include <functional>
#include <optional>
#include <string>

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

enum class MessageListKind { BuildMessages, FindInFiles };

constexpr std::uint32_t kBuildMessageMarkColour = 255;     // red
constexpr std::uint32_t kFindInFilesMarkColour = 16711680; // blue

// The handler of both lists; `selectedLine` is empty when nothing is selected.
void JumpToMessage(const std::optional<std::string>& selectedLine, MessageListKind sender,
                   EditorWindows& windows);

// Next / Previous message: the first row after `current` (`step` 1) or before it (`step` -1)
// whose line is a message (by default: names a place); none when there is no such row. A
// `current` of -1, or one whose line is no message (the list follows the build's last line),
// starts from the top for Next and from the bottom for Previous.
[[nodiscard]] std::optional<int>
NextMessageRow(int rowCount, int current, int step, const std::function<std::string(int row)>& lineAt,
               const std::function<bool(const std::string& line)>& isMessage = {});
