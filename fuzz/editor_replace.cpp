// Search and replace on an editor loaded with arbitrary bytes, with arbitrary options, selections,
// prompt answers and repeated calls: the run must end, keep the text well formed, visit no more
// matches than the text holds, and a plain replace-all must agree with a reference replacement.
// Input: options, modes, four selection bytes, search and replacement lengths, eight prompt
// answers, the search text, the replacement, then the editor's text.
#include "SearchEngine.h"
#include "SearchRun.h"
#include "TextEditor.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsWordByte(unsigned char c) {
  return (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

unsigned char Fold(unsigned char c, bool matchCase) {
  return static_cast<unsigned char>(!matchCase && c >= 'A' && c <= 'Z' ? c | 0x20 : c);
}

bool MatchesAt(const std::string& line, std::size_t at, const std::string& search, bool matchCase) {
  for (std::size_t i = 0; i < search.size(); ++i)
    if (Fold(static_cast<unsigned char>(line[at + i]), matchCase) !=
        Fold(static_cast<unsigned char>(search[i]), matchCase))
      return false;
  return true;
}

// Left-to-right replacement of non-overlapping matches, judged on the original line.
std::string ReferenceReplace(const std::string& line, const std::string& search, const std::string& replace,
                             bool matchCase, bool wholeWords) {
  std::string replaced;
  std::size_t at = 0;
  while (at + search.size() <= line.size()) {
    const std::size_t end = at + search.size();
    const bool bounded = (at == 0 || !IsWordByte(static_cast<unsigned char>(line[at - 1]))) &&
                         (end == line.size() || !IsWordByte(static_cast<unsigned char>(line[end])));
    if (MatchesAt(line, at, search, matchCase) && (!wholeWords || bounded)) {
      replaced += replace;
      at = end;
    } else {
      replaced += line[at++];
    }
  }
  return replaced + line.substr(at);
}

bool HasLineBreakOrNul(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::string Take(std::size_t count) {
    count = std::min(count, size);
    std::string taken(reinterpret_cast<const char*>(data), count);
    data += count;
    size -= count;
    return taken;
  }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t headerSize = 16;
  if (size < headerSize) return 0;
  const SearchFlags options = data[0];
  const auto mode = static_cast<SelectionMode>(data[1] % 3);
  const bool scrollPastEol = (data[1] & 4) != 0;
  const int calls = 1 + (data[1] >> 3) % 4;
  Input input{data + headerSize, size - headerSize};
  const std::string search = input.Take(data[6] % 17);
  const std::string replace = input.Take(data[7] % 17);
  const std::string text = input.Take(input.size);

  TextEditor editor;
  editor.State().SetOptions(scrollPastEol ? kDefaultEditorOptions : kDefaultEditorOptions & ~eoScrollPastEol);
  std::vector<std::string> lines;
  for (std::string_view line : LineList::SplitLines(text))
    lines.emplace_back(line);
  editor.Document().Load(std::move(lines));
  const std::vector<std::string> original = editor.Document().Lines().Strings();
  const int lineCount = std::max(editor.Document().LineCount(), 1);
  editor.State().SetMode(mode);
  editor.State().SetBlockBegin({1 + data[2] % 40, 1 + data[3] % lineCount});
  editor.State().SetBlockEnd({1 + data[4] % 40, 1 + data[5] % lineCount});
  editor.State().SetCaretXY(editor.State().SelectionMovingEnd());

  bool answeredAll = false;
  std::size_t answer = 0;
  const ReplaceTextEvent onReplaceText = [&](std::string_view, std::string_view, int line, int column,
                                             ReplaceAction& action) {
    Check(line >= 1 && line <= editor.Document().LineCount() && column >= 1);
    // Any byte, also values that name no action.
    action = static_cast<ReplaceAction>(data[8 + answer++ % 8] % 5);
    answeredAll |= action == ReplaceAction::ReplaceAll;
  };

  SearchEngine engine;
  for (int call = 0; call < calls; ++call) {
    // Every match visited is a distinct piece of the text as it was before the call.
    std::size_t textSize = 0;
    for (int line = 1; line <= editor.Document().LineCount(); ++line)
      textSize += editor.Document().LineText(line).size() + 1;
    // Each call may multiply the text by the replacement's length; replacing every match of a long
    // line copies it each time.
    if (textSize * (replace.size() + 1) > 1 << 14) break;
    const int count =
        SearchRun(editor.Context(), editor, engine, onReplaceText).Run(search, replace, options);
    Check(count >= 0 && static_cast<std::size_t>(count) <= textSize);
    Check(count <= 1 || (options & ssoReplaceAll) || answeredAll);
    Check(editor.Document().LineCount() >= 1);
    for (int i = 0; i < editor.Document().LineCount(); ++i)
      Check(editor.Document().Lines()[i].find_first_of("\r\n") == std::string::npos);
    const TextPoint caret = editor.State().CaretXY();
    Check(caret.Y >= 1 && caret.Y <= editor.Document().LineCount() && caret.X >= 1 &&
          caret.X <= editor.State().ScrollWidth() + 1);
  }

  // A plain replace-all over the whole text is a reference replacement of each line.
  const SearchFlags plain = ssoEntireScope | ssoReplaceAll;
  const bool matchCase = options & ssoMatchCase;
  const bool wholeWords = options & ssoWholeWord;
  if ((options & (plain | ssoSelectedOnly | ssoPrompt)) != plain || search.empty() ||
      HasLineBreakOrNul(search) || HasLineBreakOrNul(replace))
    return 0;
  // Only the first call replaced anything the reference knows about.
  if (calls > 1) return 0;
  std::vector<std::string> expected;
  for (const std::string& line : original)
    expected.push_back(ReferenceReplace(line, search, replace, matchCase, wholeWords));
  Check(editor.Document().Lines().Strings() == expected);
  return 0;
}
