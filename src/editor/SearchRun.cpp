// The editor's search and replace run.
#include "SearchRun.h"

#include "EditContext.h"
#include "EditingCommands.h"
#include "PaintLock.h"
#include "SearchEngine.h"

#include <algorithm>
#include <cstdint>

SearchRun::SearchRun(EditContext& context, PaintLockOwner& lockOwner, SearchEngine& engine,
                     const ReplaceTextEvent& onReplaceText)
    : context_(context), document_(context.document), state_(context.state), lockOwner_(lockOwner),
      engine_(engine), onReplaceText_(onReplaceText) {}

SearchRun::~SearchRun() {
  if (paintLocked_) lockOwner_.DecPaintLock();
}

int SearchRun::Run(std::string_view search, std::string_view replace, SearchFlags options) {
  if (search.empty()) return 0;
  search_ = search;
  replace_ = replace;
  backwards_ = (options & ssoBackwards) != 0;
  // A read-only editor is searched but never changed: replacing there is a plain find.
  replacing_ = (options & (ssoReplace | ssoReplaceAll)) != 0 && !state_.ReadOnly();
  prompting_ = (options & ssoPrompt) != 0;
  replacingAll_ = replacing_ && (options & ssoReplaceAll) != 0;
  scope_ = ScopeOf(options);
  engine_.SetPattern(search_);
  engine_.SetCaseSensitive((options & ssoMatchCase) != 0);
  engine_.SetWholeWords((options & ssoWholeWord) != 0);
  if (replacingAll_) TakePaintLock();
  if (backwards_)
    SearchBackward();
  else
    SearchForward();
  return count_;
}

SearchRun::Scope SearchRun::ScopeOf(SearchFlags options) const {
  const auto lineEnd = [this](int line) { return static_cast<int>(document_.LineText(line).size()) + 1; };
  if ((options & ssoSelectedOnly) && state_.SelAvail()) {
    Scope scope{state_.BlockBegin(), state_.BlockEnd(), state_.Mode()};
    if (scope.mode == SelectionMode::Line) {
      scope.start.X = 1;
      scope.end.X = lineEnd(scope.end.Y);
    } else if (scope.mode == SelectionMode::Column && scope.end.X < scope.start.X) {
      std::swap(scope.start.X, scope.end.X);
    }
    return scope;
  }
  const int last = document_.LineCount();
  Scope scope{{1, 1}, {lineEnd(last), last}, SelectionMode::Normal};
  if (!(options & ssoEntireScope)) (backwards_ ? scope.end : scope.start) = state_.CaretXY();
  return scope;
}

void SearchRun::SearchForward() {
  const int patternLength = static_cast<int>(search_.size());
  for (int line = scope_.start.Y; line <= scope_.end.Y && line <= document_.LineCount(); ++line) {
    endShift_ = 0;
    // The engine keeps a view of the text, and replacing rewrites the line: scan a copy.
    const std::string text = document_.LineText(line);
    engine_.FindAllIn(text);
    for (int i = 0; i < engine_.ResultCount(); ++i) {
      const int column = engine_.ResultAt(i);
      if (!InScope(line, column)) continue;
      if (Visit(line, column) == Next::Stop) return;
      // The caret ends the replaced or skipped text; the rest of the line moved with it, onto a
      // later line when the replacement held line breaks.
      const TextPoint caret = state_.CaretXY();
      const int delta = column + patternLength - caret.X;
      engine_.ShiftResults(column, delta);
      endShift_ -= delta;
      scope_.end.Y += caret.Y - line;
      line = caret.Y;
    }
  }
}

void SearchRun::SearchBackward() {
  // Replacing a match leaves the columns before it alone, so no result needs shifting.
  for (int line = std::min(scope_.end.Y, document_.LineCount()); line >= scope_.start.Y; --line) {
    const std::string text = document_.LineText(line);
    engine_.FindAllIn(text);
    for (int i = engine_.ResultCount() - 1; i >= 0; --i) {
      const int column = engine_.ResultAt(i);
      if (!InScope(line, column)) continue;
      if (Visit(line, column) == Next::Stop) return;
    }
  }
}

bool SearchRun::InScope(int line, int column) const {
  const std::int64_t end = std::int64_t{column} + static_cast<std::int64_t>(search_.size());
  // The prompt's handler may have changed the line meanwhile.
  if (end - 1 > static_cast<std::int64_t>(document_.LineText(line).size())) return false;
  switch (scope_.mode) {
  case SelectionMode::Line: return true;
  case SelectionMode::Column: return column >= scope_.start.X && end <= scope_.end.X + endShift_;
  case SelectionMode::Normal: break;
  }
  if (line == scope_.start.Y && column < scope_.start.X) return false;
  return line != scope_.end.Y || end <= scope_.end.X + endShift_;
}

SearchRun::Next SearchRun::Visit(int line, int column) {
  ++count_;
  SelectMatch(line, column);
  if (!replacing_) return Next::Stop;
  switch (AskAction(line, column)) {
  case ReplaceAction::ReplaceAll: ReplaceAllFromHere(); [[fallthrough]];
  case ReplaceAction::Replace: ReplaceMatch(line, column); break;
  case ReplaceAction::Skip: break;
  case ReplaceAction::Cancel:
  default: return Next::Stop;
  }
  return replacingAll_ ? Next::Continue : Next::Stop;
}

void SearchRun::SelectMatch(int line, int column) {
  // A line-mode selection would stretch the match over its whole line, and replacing it would
  // take the line with it.
  if (state_.Mode() == SelectionMode::Line) state_.SetMode(SelectionMode::Normal);
  const TextPoint start{column, line};
  const TextPoint end{column + static_cast<int>(search_.size()), line};
  state_.SetBlockBegin(start);
  if (backwards_) state_.SetCaretXY(start);
  state_.SetBlockEnd(end);
  if (!backwards_) state_.SetCaretXY(end);
}

ReplaceAction SearchRun::AskAction(int line, int column) const {
  if (!prompting_ || !onReplaceText_) return ReplaceAction::Replace;
  ReplaceAction action = ReplaceAction::Cancel;
  onReplaceText_(search_, replace_, line, column, action);
  return action;
}

void SearchRun::ReplaceAllFromHere() {
  prompting_ = false;
  replacingAll_ = true;
  TakePaintLock();
}

void SearchRun::TakePaintLock() {
  if (paintLocked_) return;
  lockOwner_.IncPaintLock();
  paintLocked_ = true;
}

void SearchRun::ReplaceMatch(int line, int column) {
  // Without a selection (an editor that allows none) the replacement would be inserted beside
  // the match instead of over it.
  if (!state_.SelAvail()) return;
  // Replaced as a column block, the line would also lose its trailing blanks.
  const SelectionMode mode = state_.Mode();
  state_.SetMode(SelectionMode::Normal);
  {
    // The blanks after the match stay, as later matches may be made of them.
    PaintLock lock(lockOwner_);
    SetSelText(context_, replace_, false);
  }
  state_.SetMode(mode);
  // Backwards the caret stays before the replacement, so searching on cannot find it again.
  if (backwards_) state_.SetCaretXY({column, line});
}
