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
  [[nodiscard]] const std::optional<std::string>& LongForm(const std::string& path);
  void Clear() { known_.clear(); }

private:
  LookUp lookUp_;
  std::unordered_map<std::string, std::optional<std::string>> known_;
};

// One collector serves one tool run: the lines of separate runs never join.
class MessageCollector {
public:
  explicit MessageCollector(PathStyle style = PathStyle::Native(),
                            std::shared_ptr<LongPathCache> longPaths = std::make_shared<LongPathCache>());

  void CollectOutput(const std::string& text, MessageLines& lines, bool isError);
  // The tool's output has ended: a last line without a line end is complete all the same.
  void EndOutput(MessageLines& lines);

  // Set by the build: true while the assembler runs.
  bool Assembling = false;
  // " - " and the last line of the current assembly that contains "total errors".
  std::string AssemblerResult;
  // A carriage return was the last line-end character seen, so a line feed now only completes
  // the pair. Kept across chunks and streams.
  bool LineBreakPending = false;
  // Given each completed standard-error line of the assembler; a line it returns is listed
  // right after it.
  std::function<std::optional<std::string>(const std::string& line)> ExplainAssemblerLine;
  // Given each line of the tool's output when it is complete.
  std::function<void(const std::string& line)> LineCompleted;

private:
  void AppendRun(std::string_view run, MessageLines& lines, bool isError);
  void BreakLine(MessageLines& lines, bool isError);

  PathStyle style_;
  std::shared_ptr<LongPathCache> longPaths_;
  bool lastRunIsError_ = false; // the stream of the text that the last line ends with
  // The last line's file-name field is complete and normalised, so later runs cannot change it.
  bool lastLineSettled_ = false;
  // The last line holds "total errors", so every run that extends it renews AssemblerResult.
  bool lastLineHasSummary_ = false;
};

// Each tab becomes blanks up to the next column that is a multiple of 8; `startColumn` is the
// column (from 0) at which `text` begins.
[[nodiscard]] std::string ExpandTabs(const std::string& text, std::size_t startColumn = 0);

// Replaces a path at the start of the line, up to its first colon (after a drive letter's colon
// in the Windows style), by its long form when it names an existing file.
[[nodiscard]] std::string NormaliseMessageLine(const std::string& line, PathStyle style,
                                               LongPathCache& longPaths);
[[nodiscard]] std::string NormaliseMessageLine(const std::string& line,
                                               PathStyle style = PathStyle::Native());

// Position of the colon that ends a message line's file name, or npos.
[[nodiscard]] std::size_t FileNameColon(const std::string& line, PathStyle style);
