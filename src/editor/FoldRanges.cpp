// A small C scanner that pairs braces and comment ends across lines, and the per-view cache of
// what it found.
#include "FoldRanges.h"

#include "TextDocument.h"

#include <algorithm>
#include <string_view>

namespace {

[[nodiscard]] bool Blank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

// What may follow a closer on a line that a fold still hides: blanks, `;`, `,`, `)` and a line
// comment (`};`, `} while (0);` does not qualify).
[[nodiscard]] bool OnlyTrailing(std::string_view rest) {
  const std::size_t code = rest.find_first_not_of(" \t;,)");
  return code == std::string_view::npos || rest.substr(code).starts_with("//");
}

// A line that heads the brace block on the line below it: code that does not end a statement or
// a block and is no preprocessor line.
[[nodiscard]] bool HeadsNextLine(std::string_view line) {
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || line[first] == '#') return false;
  const char last = line[line.find_last_not_of(" \t")];
  return last != ';' && last != '{' && last != '}' && !line.ends_with("*/");
}

class Scanner {
public:
  explicit Scanner(const TextDocument& document) : document_(document) {}

  std::vector<FoldRange> Run() {
    for (int y = 1; y <= document_.LineCount(); ++y)
      ScanLine(y);
    std::sort(found_.begin(), found_.end(), [](const FoldRange& a, const FoldRange& b) {
      return a.header != b.header ? a.header < b.header : a.lastHidden > b.lastHidden;
    });
    found_.erase(std::unique(found_.begin(), found_.end(),
                             [](const FoldRange& a, const FoldRange& b) { return a.header == b.header; }),
                 found_.end());
    return std::move(found_);
  }

private:
  struct Open {
    TextPoint at;
    bool headedAbove;
  };

  void ScanLine(int y) {
    const std::string_view text = document_.LineText(y);
    const std::size_t size = text.size();
    for (std::size_t i = 0; i < size; ++i) {
      const char c = text[i];
      const char next = i + 1 < size ? text[i + 1] : '\0';
      const TextPoint here{static_cast<int>(i) + 1, y};
      if (inComment_) {
        if (c == '*' && next == '/') {
          inComment_ = false;
          Add({commentStart_, {here.X + 1, y}, commentStart_.Y, 0}, text.substr(i + 2));
          ++i;
        }
        continue;
      }
      if (c == '/' && next == '/') return;
      if (c == '/' && next == '*') {
        inComment_ = true;
        commentStart_ = here;
        ++i;
      } else if (c == '"' || c == '\'') {
        i = StringEnd(text, i);
      } else if (c == '{') {
        braces_.push_back({here, Blank(text.substr(0, i)) && Blank(text.substr(i + 1)) && y > 1 &&
                                     HeadsNextLine(document_.LineText(y - 1))});
      } else if (c == '}' && !braces_.empty()) {
        const Open open = braces_.back();
        braces_.pop_back();
        Add({open.at, here, open.at.Y - (open.headedAbove ? 1 : 0), 0}, text.substr(i + 1));
      }
    }
  }

  // The index of the quote that ends the string or character constant opened at `start`, or of
  // the last byte when the line ends first.
  static std::size_t StringEnd(std::string_view text, std::size_t start) {
    for (std::size_t i = start + 1; i < text.size(); ++i) {
      if (text[i] == '\\')
        ++i;
      else if (text[i] == text[start])
        return i;
    }
    return text.size();
  }

  void Add(FoldRange range, std::string_view afterCloser) {
    range.lastHidden = range.closer.Y - (OnlyTrailing(afterCloser) ? 0 : 1);
    if (range.lastHidden > range.header && range.closer.Y > range.opener.Y) found_.push_back(range);
  }

  const TextDocument& document_;
  std::vector<FoldRange> found_;
  std::vector<Open> braces_;
  bool inComment_ = false;
  TextPoint commentStart_;
};

} // namespace

std::vector<FoldRange> FindFoldRanges(const TextDocument& document) { return Scanner(document).Run(); }

FoldableRanges::FoldableRanges(TextDocument& document) : document_(document) { document_.AddWatcher(*this); }

FoldableRanges::~FoldableRanges() { document_.RemoveWatcher(*this); }

const std::vector<FoldRange>& FoldableRanges::All() const {
  if (stale_) {
    ranges_ = FindFoldRanges(document_);
    stale_ = false;
  }
  return ranges_;
}

const FoldRange* FoldableRanges::AtHeader(int line) const {
  const std::vector<FoldRange>& all = All();
  const auto found =
      std::lower_bound(all.begin(), all.end(), line, [](const FoldRange& r, int l) { return r.header < l; });
  return found != all.end() && found->header == line ? &*found : nullptr;
}

const FoldRange* FoldableRanges::WithEnds(TextPoint opener, TextPoint closer) const {
  // A range's header is its opener's line or the one above.
  for (const int header : {opener.Y, opener.Y - 1})
    if (const FoldRange* range = AtHeader(header);
        range && range->opener == opener && range->closer == closer)
      return range;
  return nullptr;
}

void FoldableRanges::LinesChanged(const LineChange& change) {
  if (change.kind != LineChange::Kind::Restyled) stale_ = true;
}
