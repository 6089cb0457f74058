// Line joining across chunks: a lone CR, a lone LF and a CR LF pair (also split between two
// chunks) each end one line.
#include "MessageCollector.h"

#include "ProjectList.h"

std::optional<std::string> LongPathCache::LookUpFile(const std::string& path) {
  try {
    if (paths::FileExists(path)) return path;
  } catch (...) {
    // A name the file system cannot take names no file.
  }
  return std::nullopt;
}

const std::optional<std::string>& LongPathCache::LongForm(const std::string& path) {
  // A tool naming ever new paths does not make the cache grow without end.
  constexpr std::size_t kMostKnown = 10000;
  if (const auto known = known_.find(path); known != known_.end()) return known->second;
  if (known_.size() >= kMostKnown) known_.clear();
  return known_.emplace(path, lookUp_(path)).first->second;
}

MessageCollector::MessageCollector(PathStyle style, std::shared_ptr<LongPathCache> longPaths)
    : style_(style), longPaths_(std::move(longPaths)) {}

void MessageCollector::CollectOutput(const std::string& text, MessageLines& lines, bool isError) {
  if (lines.Empty()) {
    lines.Add(std::string());
    LineBreakPending = false;
    lastLineSettled_ = lastLineHasSummary_ = false;
  }
  std::size_t at = 0;
  while (at < text.size()) {
    const char c = text[at];
    if (c == '\r' || c == '\n') {
      const bool completesPair = c == '\n' && LineBreakPending;
      LineBreakPending = c == '\r';
      if (!completesPair) BreakLine(lines, isError);
      ++at;
      continue;
    }
    LineBreakPending = false;
    std::size_t end = at;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
      ++end;
    AppendRun(std::string_view(text).substr(at, end - at), lines, isError);
    lastRunIsError_ = isError;
    at = end;
  }
}

void MessageCollector::EndOutput(MessageLines& lines) {
  if (!lines.Empty() && !lines.Last().empty()) BreakLine(lines, lastRunIsError_);
  LineBreakPending = false;
}

void MessageCollector::BreakLine(MessageLines& lines, bool isError) {
  if (LineCompleted) LineCompleted(lines.Last());
  if (isError && Assembling && ExplainAssemblerLine)
    if (auto explanation = ExplainAssemblerLine(lines.Last())) lines.Add(std::move(*explanation));
  lines.Add(std::string());
  lastLineSettled_ = lastLineHasSummary_ = false;
}

void MessageCollector::AppendRun(std::string_view run, MessageLines& lines, bool isError) {
  // Only the new run is expanded and only the new text is searched: the last line may grow
  // very long when a tool prints without line ends, and it holds no tabs any more.
  const std::size_t oldSize = lines.Last().size();
  if (run.find('\t') == std::string_view::npos)
    lines.AppendToLast(run);
  else
    lines.AppendToLast(ExpandTabs(std::string(run), oldSize));
  const std::string& line = lines.Last();
  if (isError && !lastLineSettled_ && (oldSize == 0 || run.find(':') != std::string_view::npos)) {
    std::string normalised = NormaliseMessageLine(line, style_, *longPaths_);
    lastLineSettled_ = FileNameColon(normalised, style_) != std::string::npos;
    if (normalised != line) lines.SetLast(std::move(normalised));
  }
  constexpr std::size_t kSummaryLength = sizeof("total errors") - 1;
  const std::size_t searchFrom = oldSize > kSummaryLength ? oldSize - kSummaryLength : 0;
  if (Assembling &&
      (lastLineHasSummary_ || lines.Last().find("total errors", searchFrom) != std::string::npos)) {
    lastLineHasSummary_ = true;
    AssemblerResult = " - " + lines.Last();
  }
}

std::string ExpandTabs(const std::string& text, std::size_t startColumn) {
  std::string expanded;
  expanded.reserve(text.size());
  for (char c : text) {
    if (c == '\t')
      expanded.append(8 - (startColumn + expanded.size()) % 8, ' ');
    else
      expanded += c;
  }
  return expanded;
}

std::size_t FileNameColon(const std::string& line, PathStyle style) {
  std::size_t colon = line.find(':');
  if (style.windows && colon == 1) colon = line.find(':', 2);
  return colon;
}

std::string NormaliseMessageLine(const std::string& line, PathStyle style, LongPathCache& longPaths) {
  const std::size_t colon = FileNameColon(line, style);
  if (colon == std::string::npos || colon == 0) return line;
  const std::optional<std::string>& longForm = longPaths.LongForm(line.substr(0, colon));
  return longForm ? *longForm + line.substr(colon) : line;
}

std::string NormaliseMessageLine(const std::string& line, PathStyle style) {
  LongPathCache once;
  return NormaliseMessageLine(line, style, once);
}
