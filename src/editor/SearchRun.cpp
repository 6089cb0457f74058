// The editor's search and replace run.
#include "SearchRun.h"

#include "EditContext.h"
#include "EditingCommands.h"
#include "PaintLock.h"
#include "RegexSearch.h"
#include "SearchEngine.h"

#include <algorithm>
#include <cstdint>
#include <optional>

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
  const bool matchCase = (options & ssoMatchCase) != 0;
  const bool wholeWords = (options & ssoWholeWord) != 0;
  if (options & ssoRegularExpression) {
    // A pattern or a replacement that cannot work is refused before anything is searched.
    regex_ = std::make_unique<RegexSearch>(search_, matchCase, wholeWords, state_.Encoding());
    if (replacing_) replacement_ = std::make_unique<RegexReplacement>(replace_, *regex_);
  } else {
    engine_.SetPattern(search_);
    engine_.SetCaseSensitive(matchCase);
    engine_.SetWholeWords(wholeWords);
  }
  if (replacingAll_) TakePaintLock();
  if (replacingAll_ && !prompting_ && state_.HasOption(eoGroupUndo))
    ReplaceAllAtOnce();
  else if (backwards_)
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

std::vector<SearchRun::Match> SearchRun::MatchesIn(const std::string& text) {
  std::vector<Match> matches;
  if (regex_) {
    regex_->ForEachMatch(text, [&](const TextMatch& match) {
      matches.push_back({static_cast<int>(match.start) + 1, static_cast<int>(match.length),
                         replacement_ ? replacement_->For(*regex_, text) : std::string()});
    });
    return matches;
  }
  engine_.FindAllIn(text);
  matches.reserve(static_cast<std::size_t>(engine_.ResultCount()));
  for (int i = 0; i < engine_.ResultCount(); ++i)
    matches.push_back({engine_.ResultAt(i), static_cast<int>(search_.size()), replace_});
  return matches;
}

void SearchRun::SearchForward() {
  for (int line = scope_.start.Y; line <= scope_.end.Y && line <= document_.LineCount(); ++line) {
    endShift_ = 0;
    std::vector<Match> matches = MatchesIn(document_.LineText(line));
    for (std::size_t i = 0; i < matches.size(); ++i) {
      const Match& match = matches[i];
      // An empty match cannot be selected; only Replace All at once puts text there.
      if (match.length == 0 || !InScope(line, match)) continue;
      if (Visit(line, match) == Next::Stop) return;
      // The caret ends the replaced or skipped text; the rest of the line moved with it, onto a
      // later line when the replacement held line breaks.
      const TextPoint caret = state_.CaretXY();
      const int delta = match.column + match.length - caret.X;
      for (std::size_t later = i + 1; later < matches.size(); ++later)
        matches[later].column -= delta;
      endShift_ -= delta;
      scope_.end.Y += caret.Y - line;
      line = caret.Y;
    }
  }
}

void SearchRun::SearchBackward() {
  // Replacing a match leaves the columns before it alone, so no match needs shifting.
  for (int line = std::min(scope_.end.Y, document_.LineCount()); line >= scope_.start.Y; --line) {
    const std::vector<Match> matches = MatchesIn(document_.LineText(line));
    for (auto match = matches.rbegin(); match != matches.rend(); ++match) {
      if (match->length == 0 || !InScope(line, *match)) continue;
      if (Visit(line, *match) == Next::Stop) return;
    }
  }
}

void SearchRun::ReplaceAllAtOnce() {
  std::optional<UndoStep> step;
  TextPoint begin; // where the first replacement starts
  TextPoint end;   // where the last one ends
  for (int line = scope_.start.Y; line <= scope_.end.Y && line <= document_.LineCount(); ++line) {
    const std::string text = document_.LineText(line);
    // The line from its first match to the end of its last, as the replacements make it.
    std::string replaced;
    int first = 0;
    int last = 0;
    for (const Match& match : MatchesIn(text)) {
      if (!InScope(line, match) || (first != 0 && match.column < last)) continue;
      if (first == 0)
        first = match.column;
      else
        replaced.append(text, static_cast<std::size_t>(last - 1),
                        static_cast<std::size_t>(match.column - last));
      replaced += match.replacement;
      last = match.column + match.length;
      ++count_;
    }
    if (first == 0) continue;
    if (!step) {
      begin = {first, line};
      step.emplace(document_, UndoKind::Replacement, begin);
    }
    document_.Delete({first, line}, {last, line});
    end = document_.Insert({first, line}, replaced);
    // Replacements with line breaks push the rest of the scope down.
    scope_.end.Y += end.Y - line;
    line = end.Y;
  }
  if (!step) return;
  step->SetEnd(end);
  step.reset();
  // Backwards the caret ends before the replacements, as if they had been made one by one.
  state_.SetCaretXY(backwards_ ? begin : end);
  state_.SetBlockBegin(state_.CaretXY());
}

bool SearchRun::InScope(int line, const Match& match) const {
  const std::int64_t end = std::int64_t{match.column} + match.length;
  // The prompt's handler may have changed the line meanwhile.
  if (end - 1 > static_cast<std::int64_t>(document_.LineText(line).size())) return false;
  switch (scope_.mode) {
  case SelectionMode::Line: return true;
  case SelectionMode::Column: return match.column >= scope_.start.X && end <= scope_.end.X + endShift_;
  case SelectionMode::Normal: break;
  }
  if (line == scope_.start.Y && match.column < scope_.start.X) return false;
  return line != scope_.end.Y || end <= scope_.end.X + endShift_;
}

SearchRun::Next SearchRun::Visit(int line, const Match& match) {
  ++count_;
  SelectMatch(line, match);
  if (!replacing_) return Next::Stop;
  switch (AskAction(line, match.column)) {
  case ReplaceAction::ReplaceAll: ReplaceAllFromHere(); [[fallthrough]];
  case ReplaceAction::Replace: ReplaceMatch(line, match); break;
  case ReplaceAction::Skip: break;
  case ReplaceAction::Cancel:
  default: return Next::Stop;
  }
  return replacingAll_ ? Next::Continue : Next::Stop;
}

void SearchRun::SelectMatch(int line, const Match& match) {
  // A line-mode selection would stretch the match over its whole line, and replacing it would
  // take the line with it.
  if (state_.Mode() == SelectionMode::Line) state_.SetMode(SelectionMode::Normal);
  const TextPoint start{match.column, line};
  const TextPoint end{match.column + match.length, line};
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

void SearchRun::ReplaceMatch(int line, const Match& match) {
  // Without a selection (an editor that allows none) the replacement would be inserted beside
  // the match instead of over it.
  if (!state_.SelAvail()) return;
  // Replaced as a column block, the line would also lose its trailing blanks.
  const SelectionMode mode = state_.Mode();
  state_.SetMode(SelectionMode::Normal);
  {
    // The blanks after the match stay, as later matches may be made of them.
    PaintLock lock(lockOwner_);
    SetSelText(context_, match.replacement, false);
  }
  state_.SetMode(mode);
  // Backwards the caret stays before the replacement, so searching on cannot find it again.
  if (backwards_) state_.SetCaretXY({match.column, line});
}
