// Turns chunks of tool output into message-list lines: joins partial lines, expands tabs,
// rewrites the file name at the start of error lines into its long form, and notes the
// assembler's "total errors" summary.
#pragma once

#include "MessageLines.h"
#include "Paths.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// The long form of each path that message lines start with, looked up once: a tool may name the
// same file a million times. The build empties it when it starts.
class LongPathCache {
public:
  // The long form of an existing file; none when the path names no file.
  using LookUp = std::function<std::optional<std::string>(const std::string& path)>;
  [[nodiscard]] static std::optional<std::string> LookUpFile(const std::string& path);

  explicit LongPathCache(LookUp lookUp = LookUpFile) : lookUp_(std::move(lookUp)) {}
  [[nodiscard]] const std::optional<std::string>& LongForm(std::string_view path);
  void Clear() {
    known_.clear();
    last_ = nullptr;
  }

private:
  // Looked up by the name as it stands in the line, without copying it first.
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>()(name); }
  };

  LookUp lookUp_;
  std::unordered_map<std::string, std::optional<std::string>, NameHash, std::equal_to<>> known_;
  // The entry of the last name asked for: a flood names one file line after line.
  const std::pair<const std::string, std::optional<std::string>>* last_ = nullptr;
};

// One collector serves one tool run: the lines of separate runs never join. Each output stream
// has its own line being filled, so a line the tool writes in pieces stays whole whatever the
// other stream writes in between; only complete lines reach the list.
class MessageCollector {
public:
  explicit MessageCollector(PathStyle style = PathStyle::Native(),
                            std::shared_ptr<LongPathCache> longPaths = std::make_shared<LongPathCache>());

  void CollectOutput(std::string_view text, MessageLines& lines, bool isError);
  // The tool's output has ended: a last line without a line end is complete all the same.
  void EndOutput(MessageLines& lines);

  // Set by the build: true while the assembler runs.
  bool Assembling = false;
  // " - " and the last line of the current assembly that contains "total errors".
  std::string AssemblerResult;
  // Given each completed standard-error line of the assembler; a line it returns is listed
  // right after it.
  std::function<std::optional<std::string>(const std::string& line)> ExplainAssemblerLine;
  // Given each line of the tool's output when it is complete.
  std::function<void(const std::string& line)> LineCompleted;

private:
  // The line a stream has begun and not yet ended.
  struct Pending {
    std::string text;
    // A carriage return was the last line-end character of this stream, so a line feed now only
    // completes the pair.
    bool afterCarriageReturn = false;
  };

  void CollectLine(Pending& pending, std::string_view part, bool partHasTab, bool ended, MessageLines& lines,
                   bool isError);
  void Complete(std::string_view line, bool mayHaveTab, MessageLines& lines, bool isError);
  [[nodiscard]] std::string_view LongFormed(std::string_view line);

  PathStyle style_;
  std::shared_ptr<LongPathCache> longPaths_;
  Pending output_, errors_;
  // Reused for every line that needs rewriting, so a flood of lines costs no allocation each.
  std::string expanded_, longFormed_;
};

// Each tab becomes blanks up to the next column that is a multiple of 8; `startColumn` is the
// column (from 0) at which `text` begins.
[[nodiscard]] std::string ExpandTabs(std::string_view text, std::size_t startColumn = 0);

// Replaces a path at the start of the line, up to its first colon (after a drive letter's colon
// in the Windows style), by its long form when it names an existing file.
[[nodiscard]] std::string NormaliseMessageLine(const std::string& line, PathStyle style,
                                               LongPathCache& longPaths);
[[nodiscard]] std::string NormaliseMessageLine(const std::string& line,
                                               PathStyle style = PathStyle::Native());

// Position of the colon that ends a message line's file name, or npos.
[[nodiscard]] std::size_t FileNameColon(std::string_view line, PathStyle style);
