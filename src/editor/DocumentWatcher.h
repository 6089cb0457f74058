// What a document tells those who keep per-line data or show it: every change of its lines as one
// plain record, the brackets around an operation, and changes of style, history and modified flag.
#pragma once

#include "EditorTypes.h"

#include <cstdint>

// One change of a document's lines. Line numbers are 0-based indices, as in the line list.
struct LineChange {
  enum class Kind : std::uint8_t {
    Appended, // `line` was added after the last line
    Inserted, // `line` was inserted; the lines from it on moved down by one
    Removed,  // the line at `line` went and the later lines moved up by one (the only line is emptied)
    Changed,  // the text of `line` was replaced
    Restyled, // the highlighter ranges of `count` lines from `line` on changed
    Reloaded, // many lines were added at once, as a load does
    Clearing, // every line is about to go
  };
  Kind kind = Kind::Changed;
  int line = 0;
  int count = 1;
};

// One insertion or deletion as the text's positions see it: the text from `from` up to `oldEnd`
// becomes the text from `from` up to `newEnd` (an insertion has oldEnd == from, a deletion
// newEnd == from).
struct TextSpanChange {
  TextPoint from;
  TextPoint oldEnd;
  TextPoint newEnd;
};

// Where a position in the text before `change` is after it: positions before the change stay,
// those inside deleted text go to its start, those after it (an insertion's own position too)
// move with the text behind them.
[[nodiscard]] inline TextPoint Moved(TextPoint point, const TextSpanChange& change) {
  if (PointBefore(point, change.from)) return point;
  if (PointBefore(point, change.oldEnd)) return change.from;
  if (point.Y == change.oldEnd.Y) return {change.newEnd.X + point.X - change.oldEnd.X, change.newEnd.Y};
  return {point.X, point.Y + change.newEnd.Y - change.oldEnd.Y};
}

class DocumentWatcher {
public:
  virtual ~DocumentWatcher() = default;
  virtual void LinesChanged(const LineChange& change) = 0;
  // Text is about to be inserted or deleted (told before the lines change).
  virtual void TextChanging(const TextSpanChange& /*change*/) {}
  // Bookmarks or other marks changed on a 1-based line; -1: on any line.
  virtual void MarksChanged(int /*line*/) {}
  // The build's or the language server's messages on the lines changed.
  virtual void AnnotationsChanged() {}
  // The outermost bracket around one operation's changes opens / closes.
  virtual void EditStarted() {}
  virtual void EditFinished() {}
  // The highlighter was replaced, changed its attributes or went away.
  virtual void StyleChanged() {}
  // An undo or redo record was stored.
  virtual void ChangeRecorded() {}
  virtual void ModifiedChanged() {}
};
