// A line is looked at once, when the next one starts: a line being filled may still grow.
#include "BuildDiagnostics.h"

#include "JumpToSource.h"
#include "MessageCollector.h"

namespace {

// The kind of a line that names a place.
DiagnosticKind KindAfterPlace(const std::string& line, PathStyle style) {
  const std::size_t colon = FileNameColon(line, style);
  const std::size_t after = colon == std::string::npos ? 0 : colon;
  for (const char* word : {" warning:", " Warning:"})
    if (line.find(word, after) != std::string::npos) return DiagnosticKind::Warning;
  return DiagnosticKind::Error;
}

} // namespace

std::optional<DiagnosticKind> KindOfMessage(const std::string& line, PathStyle style,
                                            const std::function<bool(const std::string&)>& isFile) {
  const std::optional<MessageLocation> place = ParseMessageLine(line, style, isFile);
  if (!place || !isFile(place->file)) return std::nullopt;
  return KindAfterPlace(line, style);
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
  ++clearings_;
}

void BuildDiagnostics::LineAdded() {
  const auto& lines = lines_.Lines();
  if (lines.size() < 2) return;
  const std::string& line = lines[lines.size() - 2];
  const std::optional<MessageLocation> place = ParseMessageLine(line, style_, isFile_);
  if (!place || !isFile_(place->file)) return;
  const DiagnosticKind kind = KindAfterPlace(line, style_);
  if (kept_ < kMostKept) {
    byFile_[place->file].push_back({place->line, kind, line});
    ++kept_;
  }
  ++(kind == DiagnosticKind::Warning ? warnings_ : errors_);
}
