#include "SymbolRename.h"

#include "TextDefinitions.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

namespace {

// A text's lines as the server counts them: split at LF, a CR before it being part of the end.
struct Lines {
  explicit Lines(const std::string& text) {
    std::size_t start = 0;
    for (std::size_t end = text.find('\n');; end = text.find('\n', start)) {
      const std::size_t stop = end == std::string::npos ? text.size() : end;
      const std::size_t length = stop > start && text[stop - 1] == '\r' ? stop - start - 1 : stop - start;
      starts.push_back(start);
      texts.push_back(text.substr(start, length));
      if (end == std::string::npos) break;
      start = end + 1;
    }
  }
  std::vector<std::size_t> starts;
  std::vector<std::string> texts;
};

std::string Changed(const std::string& path) {
  return path + " changed since clangd read it, so nothing was renamed; try again once clangd has read it";
}

// The replacement of one file's edits, or the problem that prevents it.
std::optional<FileReplacement> Replacement(const std::string& oldName, const FileEdits& file,
                                           const RenameText& text, std::string& problem) {
  const Lines lines(text.text);
  std::vector<TextEdit> edits = file.edits;
  std::sort(edits.begin(), edits.end(),
            [](const TextEdit& a, const TextEdit& b) { return a.range.start < b.range.start; });
  FileReplacement plan{file.path, text.inWindow, text.text, text.text, {}, static_cast<int>(edits.size())};
  // From the last edit back, so the offsets before it stay right.
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
    const TextRange& range = edit->range;
    const std::size_t line = static_cast<std::size_t>(range.start.line - 1);
    const bool fits = range.start.line == range.end.line && range.start.line >= 1 &&
                      line < lines.texts.size() && range.start.column >= 1 &&
                      lines.texts[line].compare(static_cast<std::size_t>(range.start.column - 1),
                                                oldName.size(), oldName) == 0 &&
                      range.end.column - range.start.column == static_cast<int>(oldName.size()) &&
                      edit->text.find('\n') == std::string::npos;
    const bool overlaps = edit != edits.rbegin() && std::prev(edit)->range.start < range.end;
    if (!fits || overlaps) {
      problem = Changed(file.path);
      return std::nullopt;
    }
    plan.after.replace(lines.starts[line] + static_cast<std::size_t>(range.start.column - 1), oldName.size(),
                       edit->text);
  }
  const Lines after(plan.after);
  std::set<int> changed;
  for (const TextEdit& edit : edits)
    changed.insert(edit.range.start.line);
  for (int line : changed)
    plan.lines.push_back({line, lines.texts[static_cast<std::size_t>(line - 1)],
                          after.texts[static_cast<std::size_t>(line - 1)]});
  return plan;
}

// The whole words of the old name in a text that no edit renames.
FileHits TextMatches(const std::string& path, const std::string& text, const std::string& oldName,
                     const std::set<TextPosition>& renamed) {
  const Lines lines(text);
  FileHits hits{path, {}};
  for (const TextRange& place : WordPlaces(lines.texts, oldName)) {
    if (renamed.count(place.start)) continue;
    const int line = place.start.line;
    if (hits.lines.empty() || hits.lines.back().line != line)
      hits.lines.push_back({line, lines.texts[static_cast<std::size_t>(line - 1)], {}});
    hits.lines.back().matches.push_back({static_cast<std::size_t>(place.start.column - 1), oldName.size()});
  }
  return hits;
}

} // namespace

RenamePlan PlanRename(const std::string& oldName, const std::vector<FileEdits>& edits,
                      const std::vector<std::string>& searched, const RenameTextOf& textOf) {
  RenamePlan plan;
  std::map<std::string, std::set<TextPosition>> renamed;
  for (const FileEdits& file : edits) {
    const std::optional<RenameText> text = textOf(file.path);
    if (!text) {
      return {{}, {}, file.path + " cannot be read, so nothing was renamed"};
    }
    std::optional<FileReplacement> replacement = Replacement(oldName, file, *text, plan.problem);
    if (!replacement) return {{}, {}, plan.problem};
    for (const TextEdit& edit : file.edits)
      renamed[file.path].insert(edit.range.start);
    plan.files.push_back(std::move(*replacement));
  }
  std::set<std::string> files(searched.begin(), searched.end());
  for (const FileEdits& file : edits)
    files.insert(file.path);
  for (const std::string& path : files)
    if (const std::optional<RenameText> text = textOf(path)) {
      FileHits hits = TextMatches(path, text->text, oldName, renamed[path]);
      if (!hits.lines.empty()) plan.textMatches.push_back(std::move(hits));
    }
  return plan;
}

std::string RenameConflict(const std::vector<FileReplacement>& files, const RenameTextOf& textOf) {
  for (const FileReplacement& file : files) {
    const std::optional<RenameText> now = textOf(file.path);
    if (!now || now->text != file.before || now->inWindow != file.inWindow)
      return file.path + " changed since the preview, so nothing was renamed";
  }
  return {};
}
