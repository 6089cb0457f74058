// The stretches of a C text that can be folded: a block between braces and a comment between /*
// and */, each over more than one line. Braces inside strings, character constants and comments
// do not count. A view keeps the ranges of its document, found again after each change when next
// asked for from the summaries of its lines, of which only the changed ones are made again.
#pragma once

#include "DocumentWatcher.h"

#include <string_view>
#include <vector>

class TextDocument;

struct FoldRange {
  TextPoint opener; // the '{' or the '/' of "/*"
  TextPoint closer; // the '}' or the '/' of "*/"
  // The line that stays visible: the opener's, or for a brace alone on its line the line above it
  // (a function's head, an `if`).
  int header = 1;
  // The last line a fold hides: the closer's, unless code follows the closer on its line.
  int lastHidden = 1;
  bool operator==(const FoldRange&) const = default;
};

// What a line holds of the ends that pair across lines, outside strings and comments: braces,
// the end of a comment begun on an earlier line, the start of one that goes on.
struct LineEvents {
  enum class Kind : unsigned char { BraceOpens, BraceCloses, CommentOpens, CommentCloses };
  struct Event {
    Kind kind;
    int column; // of the '{', the '}', the '/' of "/*" or the '/' of "*/"
    // An opening brace: alone on its line. A closer: only what a fold may hide follows it.
    bool flag;
  };
  std::vector<Event> events;
  bool valid = false;
  bool startsInComment = false;
  bool endsInComment = false;
  bool headsNext = false; // the line may head a block whose brace stands alone below it
};
[[nodiscard]] LineEvents SummariseLine(std::string_view text, bool startsInComment);

// Every foldable range of the document (one per header line, the widest), by header line.
[[nodiscard]] std::vector<FoldRange> FindFoldRanges(const TextDocument& document);

class FoldableRanges : public DocumentWatcher {
public:
  explicit FoldableRanges(TextDocument& document);
  ~FoldableRanges() override;
  FoldableRanges(const FoldableRanges&) = delete;
  FoldableRanges& operator=(const FoldableRanges&) = delete;

  [[nodiscard]] const TextDocument& Document() const { return document_; }
  // Found again when the text changed since the last call.
  [[nodiscard]] const std::vector<FoldRange>& All() const;
  // The range whose header is `line`; nullptr when none is.
  [[nodiscard]] const FoldRange* AtHeader(int line) const;
  // The range from `opener` to `closer`; nullptr when they are no pair (any longer).
  [[nodiscard]] const FoldRange* WithEnds(TextPoint opener, TextPoint closer) const;

  void LinesChanged(const LineChange& change) override;

private:
  TextDocument& document_;
  mutable std::vector<LineEvents> lines_; // one per line once scanned, kept in step with the lines
  mutable std::vector<FoldRange> ranges_;
  mutable bool stale_ = true;
};
