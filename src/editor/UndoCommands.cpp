// Undo and redo: the document reverts or remakes a record's changes; the record's kind places the
// caret and the selection as the step left them, and chains the records that belong together.
#include "UndoCommands.h"

#include <algorithm>

namespace {

bool IsInsertion(UndoKind kind) {
  return kind == UndoKind::Insertion || kind == UndoKind::Paste || kind == UndoKind::DropInsertion;
}

// The bytes a record's step took away from, or put at, the start of `line`.
int ChangedAtLineStart(const UndoRecord& record, int line, bool inserted) {
  for (const TextChange& change : record.Changes)
    if (change.inserted == inserted && change.at == TextPoint{1, line})
      return static_cast<int>(change.text.size());
  return 0;
}
int RemovedAtLineStart(const UndoRecord& record, int line) { return ChangedAtLineStart(record, line, false); }
int InsertedAtLineStart(const UndoRecord& record, int line) { return ChangedAtLineStart(record, line, true); }

void PlaceAfterUndo(EditContext& context, const UndoRecord& record) {
  EditState& state = context.state;
  const TextPoint s = record.Start;
  const TextPoint e = record.End;
  switch (record.Kind) {
  case UndoKind::Insertion:
  case UndoKind::Paste:
  case UndoKind::DropInsertion:
  case UndoKind::LineBreak:
  case UndoKind::Replacement:
    state.SetCaretXY(s);
    state.SetBlockBegin(s);
    break;
  case UndoKind::Indentation:
    state.SetBlockBegin(s);
    state.SetCaretXY(e);
    state.SetBlockEnd(state.CaretXY());
    break;
  case UndoKind::Unindentation:
    state.SetCaretXY(s);
    state.SelectRange(s, e);
    break;
  case UndoKind::DeletionAfterCaret:
  case UndoKind::Deletion:
  case UndoKind::ReplacedSelection:
  case UndoKind::DragRemoval:
    // What came back is selected.
    state.SetCaretXY(e);
    state.SelectRange(s, e);
    context.geometry.ScrollToCaret();
    break;
  case UndoKind::None: break;
  }
}

void PlaceAfterRedo(EditState& state, const UndoRecord& record) {
  const TextPoint s = record.Start;
  const TextPoint e = record.End;
  switch (record.Kind) {
  case UndoKind::DeletionAfterCaret:
  case UndoKind::Deletion:
  case UndoKind::ReplacedSelection:
  case UndoKind::DragRemoval:
    state.SetCaretXY(s);
    state.SetBlockBegin(s);
    break;
  case UndoKind::Insertion:
  case UndoKind::Paste:
  case UndoKind::DropInsertion:
  case UndoKind::LineBreak:
  case UndoKind::Replacement:
    // Where the step left the caret.
    state.SetCaretXY(e);
    state.SetBlockBegin(e);
    break;
  case UndoKind::Indentation: {
    const int width = InsertedAtLineStart(record, s.Y);
    state.SetCaretXY({1, e.Y + 1});
    state.SelectRange({s.X + width, s.Y}, e.X == 1 ? TextPoint{1, e.Y} : TextPoint{e.X + width, e.Y});
    break;
  }
  case UndoKind::Unindentation:
    state.SetCaretXY({std::max(s.X - RemovedAtLineStart(record, s.Y), 1), s.Y});
    state.SelectRange(state.CaretXY(), {e.X - RemovedAtLineStart(record, e.Y), e.Y});
    break;
  case UndoKind::None: break;
  }
}

// Takes the newest record off the undo (or redo) list, reverts (or remakes) it in the mode its
// selection was in and places the caret; returns the record's kind, None for none.
UndoKind Step(EditContext& context, bool undo) {
  TextDocument& document = context.document;
  const UndoRecord* next = (undo ? document.UndoRecords() : document.RedoRecords()).Newest();
  if (!next) return UndoKind::None;
  ModeScope mode(context.state, next->Mode);
  FreeCaret freeCaret(context.state);
  const UndoRecord record = undo ? *document.Undo() : *document.Redo();
  if (undo)
    PlaceAfterUndo(context, record);
  else
    PlaceAfterRedo(context.state, record);
  return record.Kind;
}

} // namespace

void Undo(EditContext& context) {
  const UndoKind kind = Step(context, true);
  // A replacement, a paste over a selection and a drag-and-drop move undo in one step.
  const UndoKind next = context.document.UndoRecords().NewestKind();
  if (IsInsertion(kind) && (next == UndoKind::ReplacedSelection ||
                            (next == UndoKind::DragRemoval && kind == UndoKind::DropInsertion)))
    Undo(context);
}

void Redo(EditContext& context) {
  const UndoKind kind = Step(context, false);
  if (kind == UndoKind::ReplacedSelection ||
      (kind == UndoKind::DragRemoval &&
       context.document.RedoRecords().NewestKind() == UndoKind::DropInsertion))
    Redo(context);
}
