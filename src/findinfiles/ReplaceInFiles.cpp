#include "ReplaceInFiles.h"

#include "EditorWindowPort.h"
#include "LineEnds.h"
#include "StoredFile.h"
#include "UserQuestions.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

std::string_view EndBytes(LineEnd end) {
  switch (end) {
  case LineEnd::LF: return "\n";
  case LineEnd::CRLF: return "\r\n";
  case LineEnd::CR: return "\r";
  case LineEnd::None: break;
  }
  return "";
}

std::string Plural(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// What a file's replacement changes in the window's text: the lines from the first changed one
// to the last, the text before and after them being the same.
struct ChangedBlock {
  int first = 0, last = 0;
  std::string text;
};

ChangedBlock BlockOf(const FileReplacement& file) {
  ChangedBlock block{file.lines.front().line, file.lines.back().line, {}};
  std::size_t start = 0;
  for (int line = 1; line < block.first; ++line)
    start = file.before.find('\n', start) + 1;
  std::size_t end = start;
  for (int line = block.first; line <= block.last; ++line) {
    end = file.before.find('\n', end);
    if (end == std::string::npos) {
      end = file.before.size();
      break;
    }
    if (line < block.last) ++end;
  }
  const std::size_t kept = file.before.size() - end;
  block.text = file.after.substr(start, file.after.size() - start - kept);
  return block;
}

std::string ApplyInWindow(const FileReplacement& file, EditorWindowPort* window) {
  if (window == nullptr || window->ShownText() != file.before)
    return file.path + " was changed or closed since the search, so nothing was replaced in it.";
  const ChangedBlock block = BlockOf(file);
  window->ReplaceLines(block.first, block.last, block.text);
  return {};
}

} // namespace

Replacer::Replacer(TextMatcher& matcher, const std::string& replacement)
    : matcher_(matcher), replacement_(replacement) {
  if (matcher.Regex() != nullptr) (void)RegexReplacement(replacement, *matcher.Regex());
}

FileReplacement Replacer::Plan(const std::string& path, std::string text) {
  FileReplacement plan;
  plan.path = path;
  std::vector<int> hitLines;
  matcher_.FindLines(text, [&hitLines](LineHit hit) { hitLines.push_back(hit.line); });
  if (!hitLines.empty()) {
    const std::optional<std::string> replacement = matcher_.InTextEncoding(replacement_);
    if (!replacement)
      throw TessarinError(
          path +
          " is a Windows-1252 file, which cannot hold the replacement, so nothing was replaced in it.");
    std::optional<RegexReplacement> expanded;
    if (matcher_.Regex() != nullptr) expanded.emplace(*replacement, *matcher_.Regex());
    std::size_t next = 0;
    int number = 0;
    plan.after.reserve(text.size());
    ForEachLine(text, [&](std::string_view line, LineEnd end) {
      ++number;
      if (next < hitLines.size() && hitLines[next] == number) {
        ++next;
        int count = 0;
        std::string replaced = expanded ? expanded->ReplaceAllIn(*matcher_.Regex(), line, &count)
                                        : matcher_.ReplacePlain(line, *replacement, &count);
        plan.count += count;
        plan.lines.push_back({number, std::string(line), replaced});
        plan.after += replaced;
      } else {
        plan.after += line;
      }
      plan.after += EndBytes(end);
    });
  }
  plan.before = std::move(text);
  return plan;
}

std::string WriteReplacement(const FileReplacement& file, bool backup) {
  try {
    if (stored_file::ReadStoredBytes(file.path) != file.before)
      return file.path + " was changed by another program since the search, so nothing was replaced in it.";
  } catch (const TessarinError& error) {
    return error.Message();
  }
  return stored_file::Save(file.path, file.after, backup);
}

std::vector<std::string> WriteReplacements(const std::vector<const FileReplacement*>& files, bool backup) {
  constexpr std::size_t kWriters = 8;
  std::vector<std::string> errors(files.size());
  std::atomic<std::size_t> next = 0;
  const auto write = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++)
      errors[i] = WriteReplacement(*files[i], backup);
  };
  std::vector<std::thread> writers;
  for (std::size_t w = 1; w < std::min(kWriters, files.size()); ++w)
    writers.emplace_back(write);
  write();
  for (std::thread& writer : writers)
    writer.join();
  return errors;
}

void ApplyReplacements(const std::vector<FileReplacement>& files,
                       const std::function<EditorWindowPort*(const std::string& path)>& windowOf, bool backup,
                       ReplaceSummary& summary) {
  std::vector<const FileReplacement*> closed;
  for (const FileReplacement& file : files)
    if (!file.inWindow) closed.push_back(&file);
  const std::vector<std::string> writeErrors = WriteReplacements(closed, backup);
  std::size_t written = 0;
  for (const FileReplacement& file : files) {
    const std::string error = file.inWindow ? ApplyInWindow(file, windowOf ? windowOf(file.path) : nullptr)
                                            : writeErrors[written++];
    if (!error.empty()) {
      summary.failures.push_back(error);
      continue;
    }
    summary.replacements += file.count;
    ++summary.files;
  }
}

std::string SummaryText(const ReplaceSummary& summary) {
  std::string text = Plural(summary.replacements, "replacement", "replacements") + " in " +
                     Plural(summary.files, "file", "files") + ".";
  if (!summary.failures.empty()) {
    const int failed = static_cast<int>(summary.failures.size());
    text += "\n\n" + Plural(failed, "file was", "files were") +
            (failed == 1 ? " left as it was:" : " left as they were:");
    for (const std::string& failure : summary.failures)
      text += "\n" + failure;
  }
  return text;
}
