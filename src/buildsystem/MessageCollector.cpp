// Line joining across chunks: a lone CR, a lone LF and a CR LF pair (also split between two
// chunks) each end one line. A chunk is searched for line ends with memchr and its complete
// lines are taken where they stand; only a stream's unfinished line is copied.
#include "MessageCollector.h"

#include "ProjectList.h"

#include <algorithm>
#include <cstring>

std::optional<std::string> LongPathCache::LookUpFile(const std::string& path) {
  try {
    if (paths::FileExists(path)) return path;
  } catch (...) {
    // A name the file system cannot take names no file.
  }
  return std::nullopt;
}

const std::optional<std::string>& LongPathCache::LongForm(std::string_view path) {
  // A tool naming ever new paths does not make the cache grow without end.
  constexpr std::size_t kMostKnown = 10000;
  if (last_ != nullptr && last_->first == path) return last_->second;
  if (const auto known = known_.find(path); known != known_.end()) {
    last_ = &*known;
    return known->second;
  }
  if (known_.size() >= kMostKnown) known_.clear();
  std::string name(path);
  std::optional<std::string> longForm = lookUp_(name);
  last_ = &*known_.emplace(std::move(name), std::move(longForm)).first;
  return last_->second;
}

MessageCollector::MessageCollector(PathStyle style, std::shared_ptr<LongPathCache> longPaths)
    : style_(style), longPaths_(std::move(longPaths)) {}

namespace {

// Where a character next stands in a chunk, searched for again only once passed: most chunks
// hold no CR and no tab at all, and a search a line would cost as much as the rest of the line.
class NextOf {
public:
  NextOf(char wanted, std::string_view text) : wanted_(wanted), end_(text.data() + text.size()) {
    Find(text.data());
  }
  // The first one at or after `from`, or the chunk's end.
  const char* From(const char* from) {
    if (at_ < from) Find(from);
    return at_;
  }

private:
  void Find(const char* from) {
    const void* found = std::memchr(from, wanted_, static_cast<std::size_t>(end_ - from));
    at_ = found ? static_cast<const char*>(found) : end_;
  }

  char wanted_;
  const char* end_;
  const char* at_ = nullptr;
};

} // namespace

void MessageCollector::CollectOutput(std::string_view text, MessageLines& lines, bool isError) {
  Pending& pending = isError ? errors_ : output_;
  NextOf carriageReturn('\r', text), tab('\t', text);
  while (!text.empty()) {
    const char c = text.front();
    if (c == '\r' || c == '\n') {
      const bool completesPair = c == '\n' && pending.afterCarriageReturn;
      pending.afterCarriageReturn = c == '\r';
      if (!completesPair) CollectLine(pending, {}, false, true, lines, isError);
      text.remove_prefix(1);
      continue;
    }
    pending.afterCarriageReturn = false;
    // The line runs to the first CR or LF.
    const void* feed = std::memchr(text.data(), '\n', text.size());
    const char* end = std::min(feed ? static_cast<const char*>(feed) : text.data() + text.size(),
                               carriageReturn.From(text.data()));
    const auto size = static_cast<std::size_t>(end - text.data());
    CollectLine(pending, text.substr(0, size), tab.From(text.data()) < end, size < text.size(), lines,
                isError);
    text.remove_prefix(size);
    if (!text.empty()) {
      // The line end that ended this part has been taken as the line's end.
      pending.afterCarriageReturn = text.front() == '\r';
      text.remove_prefix(1);
    }
  }
}

// Adds `part` to the stream's line; `ended` when a line end follows it, `partHasTab` unless it
// is known to hold none. A line that reaches the longest a line may be is completed there and
// the rest goes on in the next.
void MessageCollector::CollectLine(Pending& pending, std::string_view part, bool partHasTab, bool ended,
                                   MessageLines& lines, bool isError) {
  constexpr std::size_t kLongest = MessageLines::kLongestHeldLine;
  while (pending.text.size() + part.size() > kLongest) {
    const std::size_t room = kLongest - pending.text.size();
    if (pending.text.empty()) {
      Complete(part.substr(0, room), true, lines, isError);
    } else {
      pending.text.append(part.substr(0, room));
      Complete(pending.text, true, lines, isError);
      pending.text.clear();
    }
    part.remove_prefix(room);
  }
  if (!ended) {
    pending.text.append(part);
  } else if (pending.text.empty()) {
    Complete(part, partHasTab, lines, isError);
  } else {
    pending.text.append(part);
    Complete(pending.text, true, lines, isError);
    pending.text.clear();
  }
}

void MessageCollector::EndOutput(MessageLines& lines) {
  for (Pending* pending : {&output_, &errors_}) {
    if (!pending->text.empty()) Complete(pending->text, true, lines, pending == &errors_);
    *pending = Pending();
  }
}

void MessageCollector::Complete(std::string_view line, bool mayHaveTab, MessageLines& lines, bool isError) {
  if (mayHaveTab && line.find('\t') != std::string_view::npos) {
    expanded_ = ExpandTabs(line);
    line = expanded_;
  }
  if (isError) line = LongFormed(line);
  if (Assembling && line.find("total errors") != std::string_view::npos)
    AssemblerResult.assign(" - ").append(line);
  if (lines.Empty() || !lines.Last().empty()) lines.Add(std::string());
  lines.SetLast(line);
  if (LineCompleted) LineCompleted(lines.Last());
  if (isError && Assembling && ExplainAssemblerLine)
    if (auto explanation = ExplainAssemblerLine(lines.Last())) lines.Add(std::move(*explanation));
  lines.Add(std::string());
}

std::string_view MessageCollector::LongFormed(std::string_view line) {
  const std::size_t colon = FileNameColon(line, style_);
  if (colon == std::string_view::npos || colon == 0) return line;
  const std::string_view name = line.substr(0, colon);
  const std::optional<std::string>& longForm = longPaths_->LongForm(name);
  if (!longForm || *longForm == name) return line;
  longFormed_.assign(*longForm).append(line.substr(colon));
  return longFormed_;
}

std::string ExpandTabs(std::string_view text, std::size_t startColumn) {
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

std::size_t FileNameColon(std::string_view line, PathStyle style) {
  std::size_t colon = line.find(':');
  if (style.windows && colon == 1) colon = line.find(':', 2);
  return colon;
}

std::string NormaliseMessageLine(const std::string& line, PathStyle style, LongPathCache& longPaths) {
  const std::size_t colon = FileNameColon(line, style);
  if (colon == std::string::npos || colon == 0) return line;
  const std::optional<std::string>& longForm = longPaths.LongForm(std::string_view(line).substr(0, colon));
  return longForm ? *longForm + line.substr(colon) : line;
}

std::string NormaliseMessageLine(const std::string& line, PathStyle style) {
  LongPathCache once;
  return NormaliseMessageLine(line, style, once);
}
