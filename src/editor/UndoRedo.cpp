// Undo and redo: the document reverts or remakes a record's changes; the record's kind places the
// caret and the selection as the step left them, and chains the records that belong together.
#include "UndoRedo.h"

#include "kxEditCore.h"

#include <algorithm>

namespace {

bool IsInsertion(TUndoReason reason) {
  return reason == urInsertion || reason == urPaste || reason == urMovement;
}

// How many blanks an unindent took from the start of `line`.
// The bytes a record's step took away from, or put at, the start of `line`.
int ChangedAtLineStart(const TUndoRecord& record, int line, bool inserted) {
  for (const TextChange& change : record.Changes)
    if (change.inserted == inserted && change.at == TkxPoint{1, line})
      return static_cast<int>(change.text.size());
  return 0;
}
int RemovedAtLineStart(const TUndoRecord& record, int line) {
  return ChangedAtLineStart(record, line, false);
}
int InsertedAtLineStart(const TUndoRecord& record, int line) {
  return ChangedAtLineStart(record, line, true);
}

} // namespace

TUndoReason UndoRedo::Step(bool undo) {
  TextDocument& document = core_.Document();
  TUndoList& from = undo ? document.UndoList() : document.RedoList();
  if (from.CanUndo() == 0) return urNone;
  const TUndoRecord record = from.GetChange();
  TUndoRecord done;
  {
    TkxPaintLock lock(core_);
    TkxModeScope mode(core_, record.Mode);
    TkxFreeCaret freeCaret(core_);
    if (undo) {
      done = document.Revert(record);
      PlaceAfterUndo(record);
    } else {
      done = document.Reapply(record);
      PlaceAfterRedo(record);
    }
  }
  (undo ? document.RedoList() : document.UndoList()).Add(std::move(done));
  return record.Reason;
}

void UndoRedo::Undo() {
  const TUndoReason reason = Step(true);
  // A replacement, a paste over a selection and a drag-and-drop move undo in one step.
  const TUndoReason next = core_.UndoList().LastReason();
  if (IsInsertion(reason) && (next == urCut || (next == urMovementDelete && reason == urMovement))) Undo();
}

void UndoRedo::Redo() {
  const TUndoReason reason = Step(false);
  if (reason == urCut || (reason == urMovementDelete && core_.RedoList().LastReason() == urMovement)) Redo();
}

void UndoRedo::PlaceAfterUndo(const TUndoRecord& record) {
  const TkxPoint s = record.Start;
  const TkxPoint e = record.End;
  switch (record.Reason) {
  case urInsertion:
  case urPaste:
  case urMovement:
  case urLineBreak:
    core_.SetCaretXY(s);
    core_.SetBlockBegin(s);
    break;
  case urIndentation:
    core_.SetBlockBegin(s);
    core_.SetCaretXY(e);
    core_.SetBlockEnd(core_.CaretXY());
    break;
  case urUnindention:
    core_.SetCaretXY(s);
    core_.SelectRange(s, e);
    break;
  case urDeletionAfterCursor:
  case urDeletion:
  case urCut:
  case urMovementDelete:
    // What came back is selected.
    core_.SetCaretXY(e);
    core_.SelectRange(s, e);
    core_.EnsureCursorPosVisible();
    break;
  case urNone: break;
  }
}

void UndoRedo::PlaceAfterRedo(const TUndoRecord& record) {
  const TkxPoint s = record.Start;
  const TkxPoint e = record.End;
  switch (record.Reason) {
  case urDeletionAfterCursor:
  case urDeletion:
  case urCut:
  case urMovementDelete:
    core_.SetCaretXY(s);
    core_.SetBlockBegin(s);
    break;
  case urInsertion:
  case urPaste:
  case urMovement:
  case urLineBreak:
    // Where the step left the caret.
    core_.SetCaretXY(e);
    core_.SetBlockBegin(e);
    break;
  case urIndentation: {
    const int width = InsertedAtLineStart(record, s.Y);
    core_.SetCaretXY({1, e.Y + 1});
    core_.SelectRange({s.X + width, s.Y}, e.X == 1 ? TkxPoint{1, e.Y} : TkxPoint{e.X + width, e.Y});
    break;
  }
  case urUnindention:
    core_.SetCaretXY({std::max(s.X - RemovedAtLineStart(record, s.Y), 1), s.Y});
    core_.SelectRange(core_.CaretXY(), {e.X - RemovedAtLineStart(record, e.Y), e.Y});
    break;
  case urNone: break;
  }
}
