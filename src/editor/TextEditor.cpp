// The editor: the command table, the paint lock with its status reports, and the repaints that
// follow the document's changes, the caret and selection, and the view's position.
#include "TextEditor.h"

#include "BookmarkCommands.h"
#include "BracketMatch.h"
#include "CaretCommands.h"
#include "ClipboardCommands.h"
#include "EditingCommands.h"
#include "FoldCommands.h"
#include "ScrollCommands.h"
#include "UndoCommands.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

PixelRect UnionRect(const PixelRect& a, const PixelRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

TextEditor::TextEditor(std::shared_ptr<TextDocument> document) : document_(std::move(document)) {
  document_->AddWatcher(*this);
  state_.SetWatcher(this);
  geometry_.SetWatcher(this);
  keystrokes_.LoadDefaultMap();
  gutter_.OnChange = [this] { geometry_.UpdateLayout(); };
  folds_.OnChange = [this] { FoldsChanged(); };
  bookMarkOptions_.OnChange = [this] { InvalidateGutterLines(-1, -1); };
  FollowCellRule();
  geometry_.UpdateLayout();
}

TextEditor::~TextEditor() { document_->RemoveWatcher(*this); }

void TextEditor::SetLook(const EditorLook& look) {
  if (look == look_) return;
  look_ = look;
  InvalidateAll();
}

// ---------------------------------------------------------------- commands

const std::vector<TextEditor::CommandEntry>& TextEditor::Commands() {
  using Call = const CommandCall&;
  const auto move = [](TextEditor& e, Call c) {
    MoveCaret(e.context_, c.command, static_cast<const TextPoint*>(c.data));
  };
  // Up and Down show the selection they stretch at once, even while keys repeat; so do the scrolls.
  static const std::vector<CommandEntry> table = {
      {ecLeft, ecRight, false, move},
      {ecUp, ecDown, false, move, true},
      {ecWordLeft, ecGotoXY, false, move},
      {ecSelLeft, ecSelRight, false, move},
      {ecSelUp, ecSelDown, false, move, true},
      {ecSelWordLeft, ecSelGotoXY, false, move},
      {ecSelectAll, ecSelectAll, false, [](TextEditor& e, Call) { SelectAll(e.state_, *e.document_); }},
      {ecDeleteLastChar, ecDeleteLastChar, true,
       [](TextEditor& e, Call) { e.autoPairs_.Backspace(e.context_, [&e] { DeleteLastChar(e.context_); }); }},
      {ecDeleteChar, ecDeleteChar, true, [](TextEditor& e, Call) { DeleteChar(e.context_); }},
      {ecDeleteWord, ecDeleteWord, true, [](TextEditor& e, Call) { DeleteWord(e.context_); }},
      {ecDeleteLastWord, ecDeleteLastWord, true, [](TextEditor& e, Call) { DeleteLastWord(e.context_); }},
      {ecDeleteBOL, ecDeleteBOL, true, [](TextEditor& e, Call) { DeleteToLineStart(e.context_); }},
      {ecDeleteEOL, ecDeleteEOL, true, [](TextEditor& e, Call) { DeleteToLineEnd(e.context_); }},
      {ecDeleteLine, ecDeleteLine, true, [](TextEditor& e, Call) { DeleteLine(e.context_); }},
      {ecClearAll, ecClearAll, true, [](TextEditor& e, Call) { ClearAll(e.context_); }},
      {ecLineBreak, ecLineBreak, true,
       [](TextEditor& e, Call) {
         if (!e.autoPairs_.OpenBraces(e.context_)) LineBreak(e.context_, true);
       }},
      {ecInsertLine, ecInsertLine, true, [](TextEditor& e, Call) { LineBreak(e.context_, false); }},
      {ecChar, ecChar, true,
       [](TextEditor& e, Call c) {
         const std::string_view character =
             c.data ? std::string_view(static_cast<const char*>(c.data)) : std::string_view(&c.ch, 1);
         e.autoPairs_.Type(e.context_, character, [&] { e.typingRun_.Type(e.context_, character); });
       }},
      {ecImeStr, ecImeStr, true,
       [](TextEditor& e, Call c) {
         if (c.data) TypeText(e.context_, static_cast<const char*>(c.data), true);
       }},
      {ecUndo, ecUndo, true, [](TextEditor& e, Call) { Undo(e.context_); }},
      {ecRedo, ecRedo, true, [](TextEditor& e, Call) { Redo(e.context_); }},
      {ecCut, ecCut, true, [](TextEditor& e, Call) { CutSelection(e.context_, e.clipboard_); }},
      {ecCopy, ecCopy, false,
       [](TextEditor& e, Call) { CopySelection(*e.document_, e.state_, e.clipboard_); }},
      {ecPaste, ecPaste, true, [](TextEditor& e, Call) { ::PasteFrom(e.context_, e.clipboard_); }},
      {ecScrollUp, ecScrollUp, false, [](TextEditor& e, Call) { ScrollUp(e.context_); }, true},
      {ecScrollDown, ecScrollDown, false, [](TextEditor& e, Call) { ScrollDown(e.context_); }, true},
      {ecScrollLeft, ecScrollLeft, false, [](TextEditor& e, Call) { ScrollLeft(e.context_); }, true},
      {ecScrollRight, ecScrollRight, false, [](TextEditor& e, Call) { ScrollRight(e.context_); }, true},
      {ecInsertMode, ecInsertMode, false, [](TextEditor& e, Call) { e.state_.SetInsertMode(true); }},
      {ecOverwriteMode, ecOverwriteMode, false, [](TextEditor& e, Call) { e.state_.SetInsertMode(false); }},
      {ecToggleMode, ecToggleMode, false,
       [](TextEditor& e, Call) { e.state_.SetInsertMode(!e.state_.InsertMode()); }},
      {ecBlockIndent, ecBlockIndent, true, [](TextEditor& e, Call) { BlockIndent(e.context_); }},
      {ecBlockUnindent, ecBlockUnindent, true, [](TextEditor& e, Call) { BlockUnindent(e.context_); }},
      {ecNormalSelect, ecNormalSelect, false,
       [](TextEditor& e, Call) { e.state_.SetMode(SelectionMode::Normal); }},
      {ecColumnSelect, ecColumnSelect, false,
       [](TextEditor& e, Call) { e.state_.SetMode(SelectionMode::Column); }},
      {ecLineSelect, ecLineSelect, false, [](TextEditor& e, Call) { e.state_.SetMode(SelectionMode::Line); }},
      {ecTab, ecTab, true, [](TextEditor& e, Call) { Tab(e.context_); }},
      {ecShiftTab, ecShiftTab, true, [](TextEditor& e, Call) { ShiftTab(e.context_); }},
      {ecMatchBracket, ecMatchBracket, false,
       [](TextEditor& e, Call) { JumpToMatchingBracket(e.state_, *e.document_); }},
      {ecGotoMarker0, ecGotoMarker0 + MarkList::BookmarkCount - 1, false,
       [](TextEditor& e, Call c) {
         if (e.bookMarkOptions_.EnableKeys()) GotoBookmark(e.state_, *e.document_, c.command - ecGotoMarker0);
       }},
      {ecSetMarker0, ecSetMarker0 + MarkList::BookmarkCount - 1, false,
       [](TextEditor& e, Call c) {
         if (e.bookMarkOptions_.EnableKeys())
           ToggleBookmark(*e.document_, e.state_, c.command - ecSetMarker0);
       }},
      {ecFold, ecFold, false, [](TextEditor& e, Call) { FoldAtCaret(e.state_, e.folds_, e.foldable_); }},
      {ecUnfold, ecUnfold, false, [](TextEditor& e, Call) { UnfoldAtCaret(e.state_, e.folds_); }},
      {ecFoldAll, ecFoldAll, false,
       [](TextEditor& e, Call) { FoldEverything(e.state_, e.folds_, e.foldable_); }},
      {ecUnfoldAll, ecUnfoldAll, false, [](TextEditor& e, Call) { e.folds_.UnfoldAll(); }},
  };
  return table;
}

void TextEditor::ExecuteCommand(EditorCommand command, char ch, const void* data) {
  if (command > 1000) {
    if (Events.OnProcessUserCommand) Events.OnProcessUserCommand(command, ch, data);
  } else if (Events.OnProcessCommand) {
    Events.OnProcessCommand(command, ch, data);
  }
  if (command == ecNone || command > 1000) return;
  {
    PaintLock lock(*this);
    CarryOutCommand({command, ch, data});
  }
  if (Events.OnCommandDone) Events.OnCommandDone();
}

void TextEditor::CarryOutCommand(const CommandCall& call) {
  const std::vector<CommandEntry>& table = Commands();
  const auto entry = std::find_if(table.begin(), table.end(), [&](const CommandEntry& candidate) {
    return call.command >= candidate.first && call.command <= candidate.last;
  });
  if (entry == table.end()) return;
  typing_ = call.command == ecChar;
  if (!typing_) typingRun_.End();
  if (!typing_ && call.command != ecDeleteLastChar) autoPairs_.Forget();
  if (!entry->guarded) {
    entry->run(*this, call);
  } else if (!state_.ReadOnly()) {
    FreeCaret freeCaret(state_);
    entry->run(*this, call);
  }
  typing_ = false;
  if (entry->repaintNow && view_) view_->RepaintNow();
}

bool TextEditor::KeyDown(std::uint16_t key, ShiftState shift) {
  const EditorCommand command = keyTranslator_.KeyDown(keystrokes_, key, shift);
  if (command == ecNone) return false;
  ExecuteCommand(command, 0, nullptr);
  return true;
}

void TextEditor::KeyPress(char ch) {
  if (keyTranslator_.AcceptChar()) ExecuteCommand(ecChar, ch, nullptr);
}

void TextEditor::KeyPress(std::string_view character) {
  if (character.size() == 1) return KeyPress(character.front());
  const std::string text(character);
  if (keyTranslator_.AcceptChar()) ExecuteCommand(ecChar, 0, text.c_str());
}

// ---------------------------------------------------------------- operations beyond the commands

void TextEditor::SetSelText(std::string_view value) {
  PaintLock lock(*this);
  typingRun_.End();
  ::SetSelText(context_, value, state_.HasOption(eoScrollPastEol));
}

void TextEditor::ReplaceSelText(std::string_view value) {
  PaintLock lock(*this);
  ::SetSelText(context_, value, false);
}

int TextEditor::SearchReplace(std::string_view search, std::string_view replace, SearchFlags options) {
  return SearchRun(context_, *this, searchEngine_, Events.OnReplaceText).Run(search, replace, options);
}

void TextEditor::ToggleFoldAt(int line) {
  PaintLock lock(*this);
  ToggleFold(state_, folds_, foldable_, line);
}

void TextEditor::DropSelection(TextPoint drop, bool copy) {
  PaintLock lock(*this);
  ::DropSelection(context_, drop, copy);
}

void TextEditor::PasteFrom(ClipboardPort& source) {
  PaintLock lock(*this);
  ::PasteFrom(context_, &source);
}

bool TextEditor::CopySelectionTo(ClipboardPort& target) const {
  return ::CopySelectionTo(*document_, state_, target);
}

// ---------------------------------------------------------------- matched brackets

std::optional<TextEditor::BracketPair> TextEditor::FindMatchedBrackets() const {
  const TextPoint caret = state_.CaretXY();
  // A window's height of rows above and below, however many lines they show.
  const int rows = std::max(geometry_.LinesInWindow(), 1);
  const int reach = std::max(geometry_.LineRowsAway(caret.Y, rows) - caret.Y,
                             caret.Y - geometry_.LineRowsAway(caret.Y, -rows));
  for (const TextPoint bracket : {caret, TextPoint{caret.X - 1, caret.Y}})
    if (const std::optional<TextPoint> match = MatchingBracket(*document_, bracket, std::max(reach, rows)))
      return BracketPair{bracket, *match};
  return std::nullopt;
}

void TextEditor::RefreshMatchedBrackets() {
  if (!bracketsStale_) return;
  bracketsStale_ = false;
  const std::optional<BracketPair> brackets = FindMatchedBrackets();
  if (brackets == shownBrackets_) return;
  for (const std::optional<BracketPair>& pair : {shownBrackets_, brackets})
    if (pair) {
      InvalidateLines(pair->bracket.Y, pair->bracket.Y);
      InvalidateLines(pair->match.Y, pair->match.Y);
    }
  shownBrackets_ = brackets;
}

// ---------------------------------------------------------------- paint lock and repaints

void TextEditor::DecPaintLock() {
  if (--paintLock_ > 0) return;
  document_->NoteViewOperating(false);
  if (scrollBarsNeedUpdate_) UpdateScrollBarsOrFlag();
  if (caretNeedsUpdate_) UpdateCaretOrFlag();
  RefreshMatchedBrackets();
  if (pendingStatus_) RaiseStatus(0);
}

void TextEditor::RaiseStatus(StatusChanges changes) {
  pendingStatus_ |= changes;
  if (paintLock_ > 0 || pendingStatus_ == 0) return;
  const StatusChanges fired = pendingStatus_;
  pendingStatus_ = 0;
  if ((fired & stSelection) != 0 && view_) view_->SelectionChanged();
  if (Events.OnStatusChange) Events.OnStatusChange(fired);
}

void TextEditor::UpdateScrollBarsOrFlag() {
  scrollBarsNeedUpdate_ = paintLock_ > 0;
  if (!scrollBarsNeedUpdate_ && view_) view_->UpdateScrollBars();
}

void TextEditor::UpdateCaretOrFlag() {
  caretNeedsUpdate_ = paintLock_ > 0;
  if (!caretNeedsUpdate_ && view_) view_->UpdateCaret();
}

void TextEditor::Invalidate(const PixelRect& rect) {
  if (rect.Empty()) return;
  if (linesChanging_)
    pendingRect_ = UnionRect(pendingRect_, rect);
  else if (view_)
    view_->InvalidateRect(rect);
}

void TextEditor::LookChanged() {
  FollowCellRule();
  InvalidateAll();
}

void TextEditor::FollowCellRule() {
  document_->SetCellRule(state_.TabWidth(), state_.HasOption(eoDesktopKeys));
  geometry_.SetLeftChar(geometry_.LeftChar()); // within the new width
}

void TextEditor::InvalidateAll() { Invalidate({0, 0, geometry_.ClientWidth(), geometry_.ClientHeight()}); }

void TextEditor::InvalidateLines(int first, int last) {
  if (first == -1 && last == -1) {
    Invalidate(geometry_.TextAreaRect());
    return;
  }
  PixelRect rect = geometry_.RowsOf(first, last);
  if (rect.Top == rect.Bottom) return;
  rect.Left = geometry_.GutterWidth();
  rect.Right = geometry_.ClientWidth();
  Invalidate(rect);
}

void TextEditor::InvalidateGutterLines(int first, int last) {
  if (first == -1 && last == -1) {
    Invalidate({0, 0, geometry_.GutterWidth(), geometry_.ClientHeight()});
    return;
  }
  PixelRect rect = geometry_.RowsOf(first, last);
  if (rect.Top == rect.Bottom) return;
  rect.Right = geometry_.GutterWidth();
  Invalidate(rect);
}

// ---------------------------------------------------------------- the caret, the selection and the view

void TextEditor::CaretMoved(StatusChanges changes) {
  if (!typing_) typingRun_.End();
  {
    PaintLock lock(*this);
    bracketsStale_ = true;
    RaiseStatus(changes);
    if (rows_.Hidden(state_.CaretY())) folds_.Reveal(state_.CaretY());
    if (!following_) geometry_.ScrollToCaret();
    caretNeedsUpdate_ = true;
    scrollBarsNeedUpdate_ = true;
  }
  if (Events.OnSelectionChange) Events.OnSelectionChange();
}

void TextEditor::TopLineMoved(int rows) {
  UpdateScrollBarsOrFlag();
  if (std::abs(rows) < geometry_.LinesInWindow() && view_ && !linesChanging_)
    view_->ScrollPixels(rows * geometry_.LineHeight());
  else
    InvalidateAll();
  RaiseStatus(stTopLine);
}

void TextEditor::LeftCharMoved() {
  UpdateScrollBarsOrFlag();
  InvalidateAll();
  RaiseStatus(stLeftChar);
}

void TextEditor::LayoutChanged() {
  UpdateScrollBarsOrFlag();
  UpdateCaretOrFlag();
  InvalidateAll();
  // How far a match is looked for depends on the lines that fit.
  bracketsStale_ = true;
  if (paintLock_ == 0) RefreshMatchedBrackets();
}

// ---------------------------------------------------------------- the document's changes

void TextEditor::LinesChanged(const LineChange& change) {
  bracketsStale_ = true;
  const int line = change.line + 1; // 1-based
  switch (change.kind) {
  case LineChange::Kind::Appended:
  case LineChange::Kind::Changed: InvalidateLines(line, line); break;
  case LineChange::Kind::Restyled: InvalidateLines(line, line + change.count - 1); break;
  case LineChange::Kind::Inserted:
  case LineChange::Kind::Removed: {
    // A removal moves every later line up; an insertion pushes the visible rest down.
    InvalidateLines(line, INT_MAX / 2);
    InvalidateGutterLines(line, INT_MAX / 2);
    break;
  }
  case LineChange::Kind::Clearing: LinesCleared(); break;
  case LineChange::Kind::Reloaded: break;
  }
}

void TextEditor::LinesCleared() {
  pendingRect_ = {};
  if (view_) view_->InvalidateRect({0, 0, geometry_.ClientWidth(), geometry_.ClientHeight()});
  state_.SetBlockBegin({1, 1});
  state_.SetCaretXY({1, 1});
  geometry_.SetTopLine(1);
  geometry_.SetLeftChar(1);
}

void TextEditor::TextChanging(const TextSpanChange& change) {
  // The view carrying out the edit puts its caret itself; an edit from outside leaves the caret.
  if (paintLock_ > 0 || !document_->ViewOperating()) return;
  Followed followed = followed_.value_or(Followed{state_.CaretXY(), geometry_.TopLine()});
  followed.caret = Moved(followed.caret, change);
  followed.topLine = Moved({1, followed.topLine}, change).Y;
  followed_ = followed;
  state_.FollowSelection(change);
}

void TextEditor::CatchUp(const Followed& followed) {
  const TextPoint anchor = state_.SelectionAnchor();
  const TextPoint movingEnd = state_.SelectionMovingEnd();
  following_ = true;
  state_.SetCaretXY(followed.caret);
  following_ = false;
  state_.SelectRange(anchor, movingEnd);
  geometry_.SetTopLine(followed.topLine);
}

void TextEditor::EditFinished() {
  linesChanging_ = false;
  UpdateScrollBarsOrFlag();
  if (const std::optional<Followed> followed = std::exchange(followed_, std::nullopt)) {
    CatchUp(*followed);
  } else {
    state_.SetCaretXY(state_.CaretXY());
    state_.SetBlockBegin(state_.CaretXY());
  }
  // An edit may have stretched a fold over the caret's line.
  if (rows_.Hidden(state_.CaretY())) folds_.Reveal(state_.CaretY());
  if (!pendingRect_.Empty()) Invalidate(std::exchange(pendingRect_, {}));
  geometry_.FitGutter();
  RefreshVisibleRanges();
  if (paintLock_ == 0) RefreshMatchedBrackets();
}

void TextEditor::StyleChanged() {
  if (view_) view_->MeasureFont();
  InvalidateAll();
  RefreshVisibleRanges();
}

void TextEditor::RefreshVisibleRanges() {
  HighlightRanges& ranges = document_->Ranges();
  ranges.Refresh(geometry_.LineRowsAway(geometry_.TopLine(), geometry_.LinesInWindow() - 1));
  if (view_ && !ranges.Current()) view_->RangesBehind();
}

void TextEditor::FoldsChanged() {
  rows_.Assign(folds_.HiddenSpans());
  geometry_.RowsChanged();
}

void TextEditor::ChangeRecorded() {
  if (Events.OnChange) Events.OnChange();
}
