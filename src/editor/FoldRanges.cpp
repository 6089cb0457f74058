// A small C scanner: each line summarised as the brace and comment ends it holds outside strings
// and comments, the summaries paired across lines, and the per-view cache of both.
#include "FoldRanges.h"

#include "TextDocument.h"

#include <algorithm>
#include <optional>
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

// The index of the quote that ends the string or character constant opened at `start`, or the
// line's length when the line ends first.
std::size_t StringEnd(std::string_view text, std::size_t start) {
  for (std::size_t i = start + 1; i < text.size(); ++i) {
    if (text[i] == '\\')
      ++i;
    else if (text[i] == text[start])
      return i;
  }
  return text.size();
}

// Pairs the lines' events into ranges, summarising the lines whose summary is missing or was made
// for another start.
class Pairing {
public:
  Pairing(const TextDocument& document, std::vector<LineEvents>& lines)
      : document_(document), lines_(lines) {}

  std::vector<FoldRange> Run() {
    lines_.resize(static_cast<std::size_t>(document_.LineCount()));
    bool inComment = false;
    for (int y = 1; y <= document_.LineCount(); ++y) {
      LineEvents& line = lines_[static_cast<std::size_t>(y - 1)];
      if (!line.valid || line.startsInComment != inComment)
        line = SummariseLine(document_.LineText(y), inComment);
      for (const LineEvents::Event& event : line.events)
        Take(event, y);
      inComment = line.endsInComment;
    }
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

  void Take(const LineEvents::Event& event, int y) {
    const TextPoint at{event.column, y};
    switch (event.kind) {
    case LineEvents::Kind::CommentOpens: commentStart_ = at; break;
    case LineEvents::Kind::CommentCloses: Add({commentStart_, at, commentStart_.Y, 0}, event.flag); break;
    case LineEvents::Kind::BraceOpens:
      braces_.push_back({at, event.flag && y > 1 && lines_[static_cast<std::size_t>(y - 2)].headsNext});
      break;
    case LineEvents::Kind::BraceCloses:
      if (braces_.empty()) break;
      Add({braces_.back().at, at, braces_.back().at.Y - (braces_.back().headedAbove ? 1 : 0), 0}, event.flag);
      braces_.pop_back();
      break;
    }
  }

  void Add(FoldRange range, bool closerLineHidden) {
    range.lastHidden = range.closer.Y - (closerLineHidden ? 0 : 1);
    if (range.lastHidden > range.header && range.closer.Y > range.opener.Y) found_.push_back(range);
  }

  const TextDocument& document_;
  std::vector<LineEvents>& lines_;
  std::vector<FoldRange> found_;
  std::vector<Open> braces_;
  TextPoint commentStart_;
};

} // namespace

LineEvents SummariseLine(std::string_view text, bool startsInComment) {
  LineEvents line;
  line.valid = true;
  line.startsInComment = startsInComment;
  line.headsNext = HeadsNextLine(text);
  bool inComment = startsInComment;
  std::optional<int> commentOpen;
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    const char next = i + 1 < size ? text[i + 1] : '\0';
    const int column = static_cast<int>(i) + 1;
    if (inComment) {
      if (c == '*' && next == '/') {
        inComment = false;
        // Only a comment that began on an earlier line folds.
        if (!commentOpen)
          line.events.push_back(
              {LineEvents::Kind::CommentCloses, column + 1, OnlyTrailing(text.substr(i + 2))});
        commentOpen.reset();
        ++i;
      }
      continue;
    }
    if (c == '/' && next == '/') break;
    if (c == '/' && next == '*') {
      inComment = true;
      commentOpen = column;
      ++i;
    } else if (c == '"' || c == '\'') {
      i = StringEnd(text, i);
    } else if (c == '{') {
      line.events.push_back(
          {LineEvents::Kind::BraceOpens, column, Blank(text.substr(0, i)) && Blank(text.substr(i + 1))});
    } else if (c == '}') {
      line.events.push_back({LineEvents::Kind::BraceCloses, column, OnlyTrailing(text.substr(i + 1))});
    }
  }
  if (commentOpen) line.events.push_back({LineEvents::Kind::CommentOpens, *commentOpen, false});
  line.endsInComment = inComment;
  return line;
}

std::vector<FoldRange> FindFoldRanges(const TextDocument& document) {
  std::vector<LineEvents> lines;
  return Pairing(document, lines).Run();
}

FoldableRanges::FoldableRanges(TextDocument& document) : document_(document) { document_.AddWatcher(*this); }

FoldableRanges::~FoldableRanges() { document_.RemoveWatcher(*this); }

const std::vector<FoldRange>& FoldableRanges::All() const {
  if (stale_) {
    ranges_ = Pairing(document_, lines_).Run();
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
  // The summaries follow the lines once a scan made them; before, there is nothing to follow.
  const auto line = static_cast<std::size_t>(change.line);
  switch (change.kind) {
  case LineChange::Kind::Restyled: return;
  case LineChange::Kind::Appended:
    if (!lines_.empty()) lines_.emplace_back();
    break;
  case LineChange::Kind::Inserted:
    if (!lines_.empty()) lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(line), LineEvents{});
    break;
  case LineChange::Kind::Removed:
    if (lines_.size() > 1)
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
    else if (!lines_.empty())
      lines_.front() = {};
    break;
  case LineChange::Kind::Changed:
    if (line < lines_.size()) lines_[line] = {};
    break;
  case LineChange::Kind::Reloaded:
  case LineChange::Kind::Clearing: lines_.clear(); break;
  }
  stale_ = true;
}
