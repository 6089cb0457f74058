// Feeds arbitrary bytes to the C/C++ highlighter, starting from any range. The first byte picks
// the start range; the rest is split into lines at LF. Checks that the tokens of every line are
// the line itself, in order, and that re-scanning a line from its stored range repeats it.
#include "CppHighlighter.h"

#include <cstdlib>
#include <vector>

namespace {

struct Token {
  int kind;
  int start;
  std::size_t length;
  HighlightAttributes* attribute;
  bool operator==(const Token&) const = default;
};

void Check(bool condition) {
  if (!condition) std::abort();
}

std::vector<Token> ScanChecked(CppHighlighter& highlighter, std::string_view line) {
  std::vector<Token> tokens;
  std::size_t covered = 0;
  for (highlighter.BeginLine(line, 0); !highlighter.AtLineEnd(); highlighter.NextToken()) {
    Token token{highlighter.TokenKind(), highlighter.TokenStart(), highlighter.TokenLength(),
                highlighter.TokenAttribute()};
    Check(static_cast<std::size_t>(token.start) == covered && token.length > 0);
    Check(highlighter.TokenText() == line.substr(covered, token.length));
    covered += token.length;
    tokens.push_back(token);
  }
  Check(covered == line.size() && static_cast<std::size_t>(highlighter.TokenStart()) == line.size());
  return tokens;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static CppHighlighter highlighter;
  HighlightRange range = data[0] % 10;
  std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);

  while (true) {
    std::size_t end = rest.find('\n');
    // Each line is copied into its own buffer so that reading past its end is caught.
    std::vector<char> buffer(rest.begin(),
                             rest.begin() + static_cast<std::ptrdiff_t>(std::min(end, rest.size())));
    std::string_view line(buffer.data(), buffer.size());

    highlighter.RestoreRange(range);
    std::vector<Token> tokens = ScanChecked(highlighter, line);
    HighlightRange next = highlighter.CurrentRange();
    Check(next >= crCComment && next <= crNone);

    highlighter.RestoreRange(range);
    Check(ScanChecked(highlighter, line) == tokens && highlighter.CurrentRange() == next);

    int reported = 0;
    highlighter.OnToken = [&](Highlighter&, int, const std::string& text, int lineNo) {
      Check(!text.empty() && lineNo == 7);
      ++reported;
    };
    highlighter.RestoreRange(range);
    highlighter.ScanLineTokens(line, 7);
    highlighter.OnToken = nullptr;
    Check(reported == static_cast<int>(tokens.size()));

    range = next;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return 0;
}
