// A bounded stack of change records: a document keeps one for undo and one for redo. A record is
// plain data: the primitive text changes one editing step made, and what kind of step it was,
// which decides where the caret and selection go when it is undone or redone.
#pragma once

#include "EditorTypes.h"

#include <array>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// What a step did, which decides where undo and redo put the caret and the selection.
enum class UndoKind : std::uint8_t {
  Insertion,          // text typed, or put in over nothing
  Paste,              // text pasted
  DropInsertion,      // dragged text dropped
  DeletionAfterCaret, // text after the caret deleted (Delete and the deletions to the right)
  Deletion,           // text deleted otherwise (Backspace, cut, a selection removed)
  ReplacedSelection,  // a selection taken out to be replaced: the next step puts in what replaces it
  DragRemoval,        // a moved selection taken from where it was: the next step drops it
  LineBreak,
  Indentation,
  Unindentation,
  Replacement, // every match of a Replace All
  None,        // never stored: what an empty list answers
};

// One primitive change of a document's text: `text` inserted at `at`, or deleted from `at` on.
// Lines of the text are separated by '\n'.
struct TextChange {
  bool inserted = true;
  TextPoint at;
  std::string text;
  bool operator==(const TextChange&) const = default;
};

// The lines of the ten bookmarks (0: not set) before and after a step that moved any of them.
struct BookmarkMove {
  using Lines = std::array<int, 10>;
  Lines before{};
  Lines after{};
};

struct UndoRecord {
  UndoKind Kind = UndoKind::None;
  TextPoint Start;
  TextPoint End;
  // The mode the step's selection was in.
  SelectionMode Mode = SelectionMode::Normal;
  // In the order they were made; undo reverts them from the last.
  std::vector<TextChange> Changes;
  // Only when the step moved a bookmark: lines follow inserted and removed lines, but a line that
  // went and came back does not bring its bookmark back.
  std::unique_ptr<BookmarkMove> Bookmarks;
  // The states of the document's text the step went from and to (see TextDocument::Modified).
  std::uint64_t Before = 0;
  std::uint64_t After = 0;
};

class UndoList {
public:
  static constexpr int DefaultMax = 10;

  // A full list drops its oldest record first. False when there was no memory for the record.
  bool Push(UndoRecord record);
  // Removes and returns the newest record; a record of kind None when the list is empty.
  UndoRecord Pop();
  // The newest record without removing it; nullptr when the list is empty.
  [[nodiscard]] const UndoRecord* Newest() const;
  [[nodiscard]] UndoKind NewestKind() const;
  [[nodiscard]] int Count() const { return static_cast<int>(records_.size()); }
  void Clear() { records_.clear(); }

  [[nodiscard]] int Max() const { return max_; }
  // Drops the oldest records beyond `max`; negative values are ignored.
  void SetMax(int max);

private:
  std::deque<UndoRecord> records_; // oldest first
  int max_ = DefaultMax;
};
