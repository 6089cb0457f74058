// Replace in Files without widgets: what a replacement would change in each file (worked out
// first, for the preview), and writing it. A file's bytes other than the replaced text stay as
// they are — line ends, tabs, NUL and bytes that are not UTF-8 included.
#pragma once

#include "TextMatcher.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class EditorWindowPort;

struct ReplacedLine {
  int line = 0; // 1-based
  std::string before;
  std::string after;
  bool operator==(const ReplacedLine&) const = default;
};

// What replacing every match changes in one file.
struct FileReplacement {
  std::string path;
  bool inWindow = false; // the file's open window is changed rather than the file
  std::string before;    // the text searched: the stored bytes, or the window's lines joined by LF
  std::string after;     // the same with every match replaced
  std::vector<ReplacedLine> lines;
  int count = 0; // replacements
};

class Replacer {
public:
  // Raises TessarinError for a replacement naming a group the expression does not have.
  Replacer(TextMatcher& matcher, const std::string& replacement);

  // The replacements in `text`; `count` 0 when nothing matches. Raises TessarinError when the
  // text's encoding cannot hold the replacement.
  [[nodiscard]] FileReplacement Plan(const std::string& path, std::string text);

private:
  TextMatcher& matcher_;
  std::string replacement_; // as the query's pattern is, typed or bytes
};

// The outcome of writing the replacements.
struct ReplaceSummary {
  int replacements = 0;
  int files = 0;
  std::vector<std::string> failures; // one message per file left as it was
};

// Writes a closed file's replacement with the safe save: refused when the file on disk is no
// longer the text the preview showed. Returns the error text, empty on success.
[[nodiscard]] std::string WriteReplacement(const FileReplacement& file, bool backup);
// WriteReplacement for each file, several at a time: a safe save waits on the disk far longer
// than on the processor. The errors come in the order of `files`.
[[nodiscard]] std::vector<std::string> WriteReplacements(const std::vector<const FileReplacement*>& files,
                                                         bool backup);

// Makes the replacements: an open file's in its window (`windowOf`), as one undoable edit, when
// the window still shows the text searched; the others with WriteReplacements. Counts what was
// replaced, and each file left as it was, in `summary`.
void ApplyReplacements(const std::vector<FileReplacement>& files,
                       const std::function<EditorWindowPort*(const std::string& path)>& windowOf, bool backup,
                       ReplaceSummary& summary);

// "N replacements in M files", and each failure on a line of its own.
[[nodiscard]] std::string SummaryText(const ReplaceSummary& summary);
