// Copy, cut, paste of both clipboard kinds, and drag and drop within the editor.
#include "ClipboardCommands.h"

#include "ClipboardBlock.h"
#include "EditingCommands.h"
#include "SelectionText.h"

#include <algorithm>

namespace {

void PasteBlock(EditContext& context, const std::string& data, std::optional<TextEncoding> from,
                TextPoint start) {
  EditState& state = context.state;
  std::optional<ClipboardBlock> block = DecodeClipboardBlock(data);
  if (!block) throw EditorError("Clipboard paste operation failed.");
  // A block from a document in another encoding brings its characters; else its bytes.
  if (from && *from != state.Encoding()) {
    std::optional<std::string> text = FromUtf8(ToUtf8(block->Text, *from), state.Encoding());
    if (!text) throw EditorError(CannotHoldMessage(state.Encoding()));
    block->Text = std::move(*text);
  }
  if (state.SelAvail()) RemoveSelection(context, UndoKind::ReplacedSelection);
  TextPoint end;
  {
    // Lines paste before the start line; a block that ends with a whole line is recorded as lines.
    const bool lines = block->Mode == SelectionMode::Line;
    UndoStep step(context.document, UndoKind::Paste, lines ? TextPoint{1, start.Y} : start, block->Mode);
    ReplaceSelection(context, block->Mode, block->Text, state.HasOption(eoScrollPastEol));
    end = state.CaretXY();
    step.SetEnd(end);
    if (lines && end.X != 1) step.SetMode(SelectionMode::Normal);
  }
  if (block->Mode == SelectionMode::Column)
    state.SetCaretXY({std::min(start.X, end.X), std::max(start.Y, end.Y) + 1});
}

void PastePlain(EditContext& context, const std::string& utf8, TextPoint start) {
  EditState& state = context.state;
  const std::optional<std::string> text = FromUtf8(utf8, state.Encoding());
  if (!text) throw EditorError(CannotHoldMessage(state.Encoding()));
  if (state.SelAvail()) RemoveSelection(context, UndoKind::ReplacedSelection);
  UndoStep step(context.document, UndoKind::Paste, start);
  // Desktop editors paste another program's text as it is; the classic rule ends it in a line end.
  ReplaceSelection(context, SelectionMode::Normal,
                   state.HasOption(eoDesktopKeys) ? *text
                                                  : ConvertPastedPlainText(*text, state.IndentWithTabs()),
                   state.HasOption(eoScrollPastEol));
  step.SetEnd(state.CaretXY());
}

} // namespace

bool CopySelectionTo(const TextDocument& document, const EditState& state, ClipboardPort& target) {
  const std::string text = SelectedText(document, state);
  return target.PutText(ToUtf8(text, state.Encoding()), EncodeClipboardBlock(state.Mode(), text),
                        state.Encoding());
}

void CopySelection(const TextDocument& document, const EditState& state, ClipboardPort* clipboard) {
  if (!state.SelAvail() || !clipboard) return;
  if (!CopySelectionTo(document, state, *clipboard)) throw EditorError("Clipboard copy operation failed");
}

void CutSelection(EditContext& context, ClipboardPort* clipboard) {
  if (!context.state.SelAvail() || context.state.ReadOnly()) return;
  CopySelection(context.document, context.state, clipboard);
  RemoveSelection(context, UndoKind::Deletion);
}

void PasteFrom(EditContext& context, ClipboardPort* source) {
  EditState& state = context.state;
  if (state.ReadOnly() || !source) return;
  TextPoint start = state.SelAvail() ? state.BlockBegin() : state.CaretXY();
  if (state.SelAvail() && state.Mode() == SelectionMode::Line) start.X = 1;
  if (const std::optional<std::string> data = source->BlockData())
    PasteBlock(context, *data, source->BlockEncoding(), start);
  else if (const std::optional<std::string> plain = source->PlainText())
    PastePlain(context, *plain, start);
  else
    return;
  context.geometry.ScrollToCaret();
  state.NoteSelection();
}

void DropSelection(EditContext& context, TextPoint drop, bool copy) {
  EditState& state = context.state;
  if (state.ReadOnly() || !state.SelAvail() || state.InsideSelection(drop)) return;
  FreeCaret freeCaret(state);
  const SelectionMode mode = state.Mode();
  const std::string text = SelectedText(context.document, state);
  if (!copy) {
    const TextPoint b = state.BlockBegin();
    const TextPoint e = state.BlockEnd();
    RemoveSelection(context, UndoKind::DragRemoval);
    // The drop point moves with the text the removal closed up before it.
    if (mode == SelectionMode::Column) {
      const int left = std::min(b.X, e.X);
      const int right = std::max(b.X, e.X);
      if (drop.Y >= b.Y && drop.Y <= e.Y && drop.X >= right) drop.X -= right - left;
    } else if (mode == SelectionMode::Line) {
      if (drop.Y > e.Y) drop.Y -= e.Y - b.Y + 1;
    } else if (!PointBefore(drop, e)) {
      if (drop.Y == e.Y) drop.X = b.X + drop.X - e.X;
      drop.Y -= e.Y - b.Y;
    }
  }
  // Dropped past a line's end, the text goes at the end rather than after blanks.
  if (!state.HasOption(eoScrollPastEol)) drop = context.document.Clamped(drop);
  state.SetCaretXY(drop);
  state.SetBlockBegin(state.CaretXY());
  const TextPoint start = state.CaretXY();
  TextPoint end;
  {
    UndoStep step(context.document, UndoKind::DropInsertion, start, mode);
    ReplaceSelection(context, mode, text, state.HasOption(eoScrollPastEol));
    end = state.CaretXY();
    step.SetEnd(end);
  }
  state.SelectRange(start, end);
}
