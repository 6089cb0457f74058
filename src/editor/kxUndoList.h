// A bounded stack of change records: the editor keeps one for undo and one for redo. The
// records are plain data; reversing them is the editor's work.
#pragma once

#include "kxEditTypes.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

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

struct TUndoRecord {
  TUndoReason Reason = urNone;
  TkxPoint Start;
  TkxPoint End;
  // What it takes to reverse the change; empty when nothing is needed.
  std::string Text;
  // The mode in which the text is to be inserted again or selected.
  TSelectionMode Mode = smNormal;
};

class TUndoList {
public:
  static constexpr int DefaultMax = 10;

  // Fired after every record stored; the editor sets Modified and fires its OnChange.
  std::function<void()> OnAdded;

  // Nothing while locked. A full list drops its oldest record first.
  void AddChange(TUndoReason reason, TkxPoint start, TkxPoint end, std::string_view text,
                 TSelectionMode mode);
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
