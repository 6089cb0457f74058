// A line is looked at once, when the next one starts: a line being filled may still grow.
#include "BuildDiagnostics.h"

#include "JumpToSource.h"
#include "MessageCollector.h"

namespace {

// The kind of a line that names a place: a warning when " warning:" or " Warning:" follows the
// file name's colon. One pass over the line for both spellings.
DiagnosticKind KindAfterPlace(std::string_view line, std::size_t colon) {
  constexpr std::string_view kTail = "arning:";
  std::size_t at = colon == std::string_view::npos ? 0 : colon;
  while ((at = line.find(kTail, at + 2)) != std::string_view::npos)
    if (line[at - 2] == ' ' && (line[at - 1] == 'w' || line[at - 1] == 'W')) return DiagnosticKind::Warning;
  return DiagnosticKind::Error;
}

} // namespace

std::optional<DiagnosticKind> KindOfMessage(const std::string& line, PathStyle style,
                                            const std::function<bool(const std::string&)>& isFile) {
  const std::size_t colon = FileNameColon(line, style);
  std::string file;
  if (!ParseMessagePlace(line, colon, style, isFile, file) || !isFile(file)) return std::nullopt;
  return KindAfterPlace(line, colon);
}

BuildDiagnostics::BuildDiagnostics(MessageLines& lines, PathStyle style,
                                   std::function<bool(const std::string&)> isFile)
    : lines_(lines), style_(style), isFile_(std::move(isFile)) {
  lines_.AddWatcher(this);
}

BuildDiagnostics::~BuildDiagnostics() { lines_.RemoveWatcher(this); }

const std::vector<Diagnostic>& BuildDiagnostics::Of(const std::string& file) const {
  static const std::vector<Diagnostic> none;
  const auto found = byFile_.find(file);
  return found == byFile_.end() ? none : found->second;
}

std::vector<std::string> BuildDiagnostics::Files() const {
  std::vector<std::string> files;
  for (const auto& [file, diagnostics] : byFile_)
    files.push_back(file);
  return files;
}

void BuildDiagnostics::LinesCleared() {
  byFile_.clear();
  kept_ = 0;
  errors_ = warnings_ = 0;
  lastFile_.clear(); // files may have come or gone since
  lastIsFile_ = false;
  ++clearings_;
}

void BuildDiagnostics::LineAdded() {
  const auto& lines = lines_.Lines();
  if (lines.size() < 2) return;
  const std::string& line = lines[lines.size() - 2];
  const std::size_t colon = FileNameColon(line, style_);
  const std::optional<int> number = ParseMessagePlace(line, colon, style_, isFile_, placeFile_);
  if (!number) return;
  if (placeFile_ != lastFile_) {
    lastFile_ = placeFile_;
    lastIsFile_ = isFile_(placeFile_);
  }
  if (!lastIsFile_) return;
  const DiagnosticKind kind = KindAfterPlace(line, colon);
  if (kept_ < kMostKept) {
    byFile_[placeFile_].push_back({*number, kind, line});
    ++kept_;
  }
  ++(kind == DiagnosticKind::Warning ? warnings_ : errors_);
}
