// Undo and redo: the document reverts or remakes a record's changes; the record's kind places the
// caret and the selection as the step left them, and chains the records that belong together.
#include "UndoRedo.h"

#include "TextEditor.h"

#include <algorithm>

namespace {

bool IsInsertion(UndoKind reason) {
  return reason == UndoKind::Insertion || reason == UndoKind::Paste || reason == UndoKind::DropInsertion;
}

// How many blanks an unindent took from the start of `line`.
// The bytes a record's step took away from, or put at, the start of `line`.
int ChangedAtLineStart(const UndoRecord& record, int line, bool inserted) {
  for (const TextChange& change : record.Changes)
    if (change.inserted == inserted && change.at == TextPoint{1, line})
      return static_cast<int>(change.text.size());
  return 0;
}
int RemovedAtLineStart(const UndoRecord& record, int line) { return ChangedAtLineStart(record, line, false); }
int InsertedAtLineStart(const UndoRecord& record, int line) { return ChangedAtLineStart(record, line, true); }

} // namespace

UndoKind UndoRedo::Step(bool undo) {
  TextDocument& document = core_.Document();
  const UndoRecord* next = (undo ? document.UndoRecords() : document.RedoRecords()).Newest();
  if (!next) return UndoKind::None;
  PaintLock lock(core_);
  ModeScope mode(core_, next->Mode);
  FreeCaret freeCaret(core_);
  if (undo) {
    const UndoRecord record = *document.Undo();
    PlaceAfterUndo(record);
    return record.Kind;
  }
  const UndoRecord record = *document.Redo();
  PlaceAfterRedo(record);
  return record.Kind;
}

void UndoRedo::Undo() {
  const UndoKind reason = Step(true);
  // A replacement, a paste over a selection and a drag-and-drop move undo in one step.
  const UndoKind next = core_.UndoRecords().NewestKind();
  if (IsInsertion(reason) && (next == UndoKind::ReplacedSelection ||
                              (next == UndoKind::DragRemoval && reason == UndoKind::DropInsertion)))
    Undo();
}

void UndoRedo::Redo() {
  const UndoKind reason = Step(false);
  if (reason == UndoKind::ReplacedSelection ||
      (reason == UndoKind::DragRemoval && core_.RedoRecords().NewestKind() == UndoKind::DropInsertion))
    Redo();
}

void UndoRedo::PlaceAfterUndo(const UndoRecord& record) {
  const TextPoint s = record.Start;
  const TextPoint e = record.End;
  switch (record.Kind) {
  case UndoKind::Insertion:
  case UndoKind::Paste:
  case UndoKind::DropInsertion:
  case UndoKind::LineBreak:
    core_.SetCaretXY(s);
    core_.SetBlockBegin(s);
    break;
  case UndoKind::Indentation:
    core_.SetBlockBegin(s);
    core_.SetCaretXY(e);
    core_.SetBlockEnd(core_.CaretXY());
    break;
  case UndoKind::Unindentation:
    core_.SetCaretXY(s);
    core_.SelectRange(s, e);
    break;
  case UndoKind::DeletionAfterCaret:
  case UndoKind::Deletion:
  case UndoKind::ReplacedSelection:
  case UndoKind::DragRemoval:
    // What came back is selected.
    core_.SetCaretXY(e);
    core_.SelectRange(s, e);
    core_.EnsureCursorPosVisible();
    break;
  case UndoKind::None: break;
  }
}

void UndoRedo::PlaceAfterRedo(const UndoRecord& record) {
  const TextPoint s = record.Start;
  const TextPoint e = record.End;
  switch (record.Kind) {
  case UndoKind::DeletionAfterCaret:
  case UndoKind::Deletion:
  case UndoKind::ReplacedSelection:
  case UndoKind::DragRemoval:
    core_.SetCaretXY(s);
    core_.SetBlockBegin(s);
    break;
  case UndoKind::Insertion:
  case UndoKind::Paste:
  case UndoKind::DropInsertion:
  case UndoKind::LineBreak:
    // Where the step left the caret.
    core_.SetCaretXY(e);
    core_.SetBlockBegin(e);
    break;
  case UndoKind::Indentation: {
    const int width = InsertedAtLineStart(record, s.Y);
    core_.SetCaretXY({1, e.Y + 1});
    core_.SelectRange({s.X + width, s.Y}, e.X == 1 ? TextPoint{1, e.Y} : TextPoint{e.X + width, e.Y});
    break;
  }
  case UndoKind::Unindentation:
    core_.SetCaretXY({std::max(s.X - RemovedAtLineStart(record, s.Y), 1), s.Y});
    core_.SelectRange(core_.CaretXY(), {e.X - RemovedAtLineStart(record, e.Y), e.Y});
    break;
  case UndoKind::None: break;
  }
}
