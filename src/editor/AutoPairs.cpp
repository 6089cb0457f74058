#include "AutoPairs.h"

#include "EditingCommands.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {

constexpr std::string_view kOpeners = "([{\"'";
constexpr std::string_view kClosers = ")]}\"'";

bool IsOpener(char ch) { return kOpeners.find(ch) != std::string_view::npos; }
bool IsQuote(char ch) { return ch == '"' || ch == '\''; }
char CloserOf(char opener) { return kClosers[kOpeners.find(opener)]; }

// The byte at 1-based column `x` of `line`; NUL past its end.
char At(const std::string& line, int x) {
  return x >= 1 && x <= static_cast<int>(line.size()) ? line[static_cast<std::size_t>(x - 1)] : '\0';
}

bool IsWordByte(char ch) {
  const auto byte = static_cast<unsigned char>(ch);
  return byte == '_' || byte >= 0x80 || std::isalnum(byte) != 0;
}

bool Enabled(const EditState& state) {
  return state.HasOption(eoAutoClosePairs) && state.InsertMode() && state.Mode() == SelectionMode::Normal;
}

std::uint64_t TextState(const TextDocument& document) {
  const UndoRecord* newest = document.UndoRecords().Newest();
  return newest ? newest->After : 0;
}

// Whether a quote typed at `at` would start a token of its own outside a comment, as the
// highlighter reads the line with it: not one that ends or sits inside a string or comment.
bool QuoteOpensString(const TextDocument& document, TextPoint at, char quote) {
  Highlighter* highlighter = document.HighLighter();
  if (!highlighter) return true;
  std::string line = document.LineText(at.Y);
  const int index = std::min(at.X - 1, static_cast<int>(line.size()));
  line.insert(static_cast<std::size_t>(index), 1, quote);
  highlighter->RestoreRange(document.Ranges().At(at.Y - 1));
  highlighter->BeginLine(line, at.Y - 1);
  for (; !highlighter->AtLineEnd(); highlighter->NextToken()) {
    const int start = highlighter->TokenStart();
    if (index < start + static_cast<int>(highlighter->TokenLength()))
      return start == index && highlighter->TokenAttribute() != highlighter->DefaultAttribute(1);
  }
  return true;
}

// An opener closes itself before a blank, the line's end or a closer; a quote also only where it
// starts a string: not after a word (an apostrophe) or an escape, nor inside a comment or string.
bool ClosesItself(const TextDocument& document, TextPoint caret, char opener) {
  const std::string& line = document.LineText(caret.Y);
  const char next = At(line, caret.X);
  if (next != '\0' && next != ' ' && next != '\t' &&
      std::string_view(")]}").find(next) == std::string_view::npos)
    return false;
  if (!IsQuote(opener)) return true;
  const char before = At(line, caret.X - 1);
  return !IsWordByte(before) && before != '\\' && before != opener &&
         QuoteOpensString(document, caret, opener);
}

} // namespace

void AutoPairs::Type(EditContext& context, std::string_view character, const std::function<void()>& type) {
  const EditState& state = context.state;
  if (!Enabled(state) || character.size() != 1) {
    Forget();
    type();
    return;
  }
  Check(context);
  const char ch = character.front();
  const TextPoint caret = state.CaretXY();
  if (state.SelAvail()) {
    if (IsOpener(ch))
      Wrap(context, ch);
    else
      Follow(context, type);
  } else if (!closers_.empty() && closers_.front() == caret.X &&
             At(context.document.LineText(caret.Y), caret.X) == ch) {
    closers_.erase(closers_.begin());
    context.state.SetCaretX(caret.X + 1);
  } else if (IsOpener(ch) && ClosesItself(context.document, caret, ch)) {
    InsertPair(context, ch);
  } else {
    Follow(context, type);
  }
  Remember(context);
}

void AutoPairs::Backspace(EditContext& context, const std::function<void()>& deleteLastChar) {
  EditState& state = context.state;
  if (!Enabled(state)) {
    Forget();
    deleteLastChar();
    return;
  }
  Check(context);
  const TextPoint caret = state.CaretXY();
  const std::string& line = context.document.LineText(caret.Y);
  const char opener = At(line, caret.X - 1);
  if (state.SelAvail() || !IsOpener(opener) || At(line, caret.X) != CloserOf(opener)) {
    Follow(context, deleteLastChar);
    Remember(context);
    return;
  }
  const TextPoint from{caret.X - 1, caret.Y};
  {
    UndoStep step(context.document, UndoKind::Deletion, from);
    step.SetEnd({caret.X + 1, caret.Y});
    context.document.Delete(from, {caret.X + 1, caret.Y});
  }
  state.SetCaretXY(from);
  std::erase(closers_, caret.X);
  Shift(caret.X, -2);
  Remember(context);
}

bool AutoPairs::OpenBraces(EditContext& context) {
  Forget();
  EditState& state = context.state;
  const TextPoint caret = state.CaretXY();
  const std::string& line = context.document.LineText(caret.Y);
  if (!Enabled(state) || state.SelAvail() || At(line, caret.X - 1) != '{' || At(line, caret.X) != '}')
    return false;
  const std::string indent = line.substr(0, std::min(line.find_first_not_of(" \t"), line.size()));
  const std::string inner = indent + state.IndentUnit();
  UndoStep step(context.document, UndoKind::LineBreak, caret);
  context.document.Insert(caret, '\n' + inner + '\n' + indent);
  const TextPoint inside{static_cast<int>(inner.size()) + 1, caret.Y + 1};
  step.SetEnd(inside);
  state.SetCaretXY(inside);
  return true;
}

void AutoPairs::Follow(EditContext& context, const std::function<void()>& edit) {
  const TextPoint before = context.state.CaretXY();
  edit();
  const TextPoint after = context.state.CaretXY();
  if (after.Y != before.Y || context.state.SelAvail()) {
    Forget();
    return;
  }
  // What went or came in went at the caret, between the closers before it and those after.
  Shift(std::min(before.X, after.X), after.X - before.X);
  std::erase_if(closers_, [&](int x) { return x < after.X; });
}

void AutoPairs::Check(const EditContext& context) {
  if (context.state.CaretY() != line_ || TextState(context.document) != textState_) Forget();
}

void AutoPairs::Remember(const EditContext& context) {
  line_ = context.state.CaretY();
  textState_ = TextState(context.document);
}

void AutoPairs::Shift(int column, int by) {
  for (int& x : closers_)
    if (x >= column) x += by;
}

void AutoPairs::InsertPair(EditContext& context, char opener) {
  const TextPoint caret = context.state.CaretXY();
  UndoStep step(context.document, UndoKind::Insertion, caret);
  context.document.Insert(caret, std::string{opener, CloserOf(opener)});
  step.SetEnd({caret.X + 2, caret.Y});
  context.state.SetCaretXY({caret.X + 1, caret.Y});
  Shift(caret.X, 2);
  closers_.insert(closers_.begin(), caret.X + 1);
}

void AutoPairs::Wrap(EditContext& context, char opener) {
  Forget();
  EditState& state = context.state;
  const TextPoint begin = state.BlockBegin();
  const TextPoint end = state.BlockEnd();
  UndoStep step(context.document, UndoKind::Insertion, begin);
  context.document.Insert(end, std::string(1, CloserOf(opener)));
  context.document.Insert(begin, std::string(1, opener));
  const TextPoint innerEnd{begin.Y == end.Y ? end.X + 1 : end.X, end.Y};
  step.SetEnd({innerEnd.X + 1, innerEnd.Y});
  state.SelectRange({begin.X + 1, begin.Y}, innerEnd);
}
