// A bounded stack of change records: the editor keeps one for undo and one for redo. A record is
// plain data: the primitive text changes one editing step made, and what kind of step it was,
// which decides where the caret and selection go when it is undone or redone.
#pragma once

#include "kxEditTypes.h"

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TUndoReason : std::uint8_t {
  urInsertion,
  urPaste,
  urMovement,
  urDeletionAfterCursor,
  urDeletion,
  urCut,
  urMovementDelete,
  urLineBreak,
  urIndentation,
  urUnindention,
  urNone, // never stored: what an empty list answers
};

[[nodiscard]] const char* UndoReasonDescription(TUndoReason reason);

// One primitive change of a document's text: `text` inserted at `at`, or deleted from `at` on.
// Lines of the text are separated by '\n'.
struct TextChange {
  bool inserted = true;
  TkxPoint at;
  std::string text;
  bool operator==(const TextChange&) const = default;
};

// The lines of the ten bookmarks (0: not set) before and after a step that moved any of them.
struct TBookmarkLines {
  using Lines = std::array<int, 10>;
  Lines before{};
  Lines after{};
};

struct TUndoRecord {
  TUndoReason Reason = urNone;
  TkxPoint Start;
  TkxPoint End;
  // The mode the step's selection was in.
  TSelectionMode Mode = smNormal;
  // In the order they were made; undo reverts them from the last.
  std::vector<TextChange> Changes;
  // Only when the step moved a bookmark: lines follow inserted and removed lines, but a line that
  // went and came back does not bring its bookmark back.
  std::unique_ptr<TBookmarkLines> Bookmarks;
};

class TUndoList {
public:
  static constexpr int DefaultMax = 10;

  // Fired after every record stored; the document sets Modified and tells its watchers.
  std::function<void()> OnAdded;

  // Nothing while locked. A full list drops its oldest record first.
  void Add(TUndoRecord record);
  // Removes and returns the newest record; a record with reason urNone when the list is empty.
  TUndoRecord GetChange();
  // The newest record without removing it; nullptr when the list is empty.
  [[nodiscard]] const TUndoRecord* PeekChange() const;
  [[nodiscard]] TUndoReason LastReason() const;
  // The number of records.
  [[nodiscard]] int CanUndo() const { return static_cast<int>(records_.size()); }
  void ClearList() { records_.clear(); }

  [[nodiscard]] int Max() const { return max_; }
  // Drops the oldest records beyond `max`; negative values are ignored.
  void SetMax(int max);

  void Lock() { locked_ = true; }
  void Unlock() { locked_ = false; }
  [[nodiscard]] bool Locked() const { return locked_; }

private:
  std::deque<TUndoRecord> records_; // oldest first
  int max_ = DefaultMax;
  bool locked_ = false;
};
