// What a document tells those who keep per-line data or show it: every change of its lines as one
// plain record, the brackets around an operation, and changes of style, history and modified flag.
#pragma once

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

class DocumentWatcher {
public:
  virtual ~DocumentWatcher() = default;
  virtual void LinesChanged(const LineChange& change) = 0;
  // The outermost bracket around one operation's changes opens / closes.
  virtual void EditStarted() {}
  virtual void EditFinished() {}
  // The highlighter was replaced, changed its attributes or went away.
  virtual void StyleChanged() {}
  // An undo or redo record was stored.
  virtual void ChangeRecorded() {}
  virtual void ModifiedChanged() {}
};
