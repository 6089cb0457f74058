// The C/C++ highlighter: token streams of single lines, ranges across lines, keywords, the
// attributes, and properties over a large body of real C headers.
#include "CppHighlighter.h"
#include "HeaderCorpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace {

const char* KindName(int kind) {
  static const char* const names[] = {"asm", "comment", "directive", "ident",  "key",    "end",
                                      "num", "space",   "string",    "symbol", "illegal"};
  return kind >= 0 && kind <= ckIllegal ? names[kind] : "?";
}

using Tokens = std::vector<std::string>;

// "kind text" for every token of the line after `range`, without the end-of-line token.
Tokens Scan(CppHighlighter& h, std::string_view line, HighlightRange range = crNone) {
  Tokens tokens;
  h.RestoreRange(range);
  for (h.BeginLine(line, 0); !h.AtLineEnd(); h.NextToken())
    tokens.push_back(std::string(KindName(h.TokenKind())) + " " + h.TokenText());
  return tokens;
}

HighlightRange RangeAfter(CppHighlighter& h, std::string_view line, HighlightRange range = crNone) {
  h.RestoreRange(range);
  h.BeginLine(line, 0);
  h.SkipToLineEnd();
  return h.CurrentRange();
}

} // namespace

TEST(CppHighlighter, IdentifiersAndKeywordsAreCaseSensitiveAndShareHashSlots) {
  CppHighlighter h;
  EXPECT_EQ(Scan(h, "If IF if"), (Tokens{"ident If", "space  ", "ident IF", "space  ", "key if"}));
  EXPECT_EQ(Scan(h, "__int64 int __int8 integer _int x1_2"),
            (Tokens{"key __int64", "space  ", "key int", "space  ", "key __int8", "space  ", "ident integer",
                    "space  ", "ident _int", "space  ", "ident x1_2"}));
  EXPECT_EQ(Scan(h, "reinterpret_cast<T>"),
            (Tokens{"key reinterpret_cast", "symbol <", "ident T", "symbol >"}));
  // Long words hash beyond the table and are plain identifiers.
  EXPECT_EQ(Scan(h, "zzzzzzzzzzzzzzzz"), (Tokens{"ident zzzzzzzzzzzzzzzz"}));
}

TEST(CppHighlighter, EveryReservedWordIsAKeywordAndNoNearMiss) {
  std::istringstream list(
      "__asm __automated __cdecl __classid __closure __declspec __dispid __except __export __fastcall "
      "__finally __import __int16 __int32 __int64 __int8 __pascal __property __published __rtti __stdcall "
      "__thread __try _asm _cdecl _export _fastcall _import _pascal _stdcall "
      "asm auto "
      "bool break "
      "case catch cdecl char class const const_cast continue "
      "default delete do double dynamic_cast "
      "else enum explicit extern "
      "false float for friend "
      "goto "
      "if inline int "
      "long "
      "mutable "
      "namespace new "
      "operator "
      "pascal private protected public "
      "register reinterpret_cast return "
      "short signed sizeof static static_cast struct switch "
      "template this throw true try typedef typeid typename "
      "union unsigned using "
      "virtual void volatile "
      "wchar_t while");
  std::vector<std::string> words{std::istream_iterator<std::string>(list),
                                 std::istream_iterator<std::string>()};
  ASSERT_EQ(words.size(), 94u);
  CppHighlighter h;
  for (const std::string& word : words) {
    EXPECT_EQ(Scan(h, word), Tokens{"key " + word});
    std::string longer = word + "_", shorter = word.substr(0, word.size() - 1);
    std::string capital = word;
    capital.back() = static_cast<char>(std::toupper(static_cast<unsigned char>(capital.back())));
    for (const std::string& miss : {longer, shorter, capital}) {
      bool reserved = std::find(words.begin(), words.end(), miss) != words.end();
      if (!reserved && !miss.empty()) {
        EXPECT_EQ(Scan(h, miss), Tokens{"ident " + miss}) << miss;
      }
    }
  }
  // Same hash as keywords of their slot, but different words.
  EXPECT_EQ(Scan(h, "tni"), Tokens{"ident tni"});
  EXPECT_EQ(Scan(h, "fi"), Tokens{"ident fi"});
}

TEST(CppHighlighter, SymbolsTakeTheLongestMatch) {
  CppHighlighter h;
  EXPECT_EQ(Scan(h, "a->b"), (Tokens{"ident a", "symbol ->", "ident b"}));
  EXPECT_EQ(Scan(h, "x<<=2"), (Tokens{"ident x", "symbol <<=", "num 2"}));
  EXPECT_EQ(Scan(h, ">>=>>>=<<<<=<"),
            (Tokens{"symbol >>=", "symbol >>", "symbol >=", "symbol <<", "symbol <<=", "symbol <"}));
  EXPECT_EQ(Scan(h, "&&&=&||||=|"),
            (Tokens{"symbol &&", "symbol &=", "symbol &", "symbol ||", "symbol ||", "symbol =", "symbol |"}));
  EXPECT_EQ(Scan(h, "---=-+++=+"),
            (Tokens{"symbol --", "symbol -=", "symbol -", "symbol ++", "symbol +=", "symbol +"}));
  EXPECT_EQ(Scan(h, "....::::=="), (Tokens{"symbol ...", "symbol .", "symbol ::", "symbol ::", "symbol =="}));
  EXPECT_EQ(Scan(h, "!!=%%=*=*^^=/=/"),
            (Tokens{"symbol !", "symbol !=", "symbol %", "symbol %=", "symbol *=", "symbol *", "symbol ^",
                    "symbol ^=", "symbol /=", "symbol /"}));
  EXPECT_EQ(Scan(h, "()[]{},;?~"), (Tokens{"symbol (", "symbol )", "symbol [", "symbol ]", "symbol {",
                                           "symbol }", "symbol ,", "symbol ;", "symbol ?", "symbol ~"}));
  // A symbol cut off by the line end is matched only as far as the line goes.
  EXPECT_EQ(Scan(h, std::string_view("<<=", 2)), (Tokens{"symbol <<"}));
  EXPECT_EQ(Scan(h, std::string_view("...", 2)), (Tokens{"symbol .", "symbol ."}));
}

TEST(CppHighlighter, NumbersStopAtSignsAndDoubleDots) {
  CppHighlighter h;
  EXPECT_EQ(Scan(h, "1..2"), (Tokens{"num 1", "symbol .", "symbol .", "num 2"}));
  EXPECT_EQ(Scan(h, "0x1FUL"), (Tokens{"num 0x1FUL"}));
  EXPECT_EQ(Scan(h, "1.5e-3"), (Tokens{"num 1.5e", "symbol -", "num 3"}));
  EXPECT_EQ(Scan(h, "1e+5f"), (Tokens{"num 1e", "symbol +", "num 5f"}));
  EXPECT_EQ(Scan(h, "3.g"), (Tokens{"num 3.", "ident g"}));
  EXPECT_EQ(Scan(h, ".5"), (Tokens{"symbol .", "num 5"}));
}

TEST(CppHighlighter, StringAndCharacterLiterals) {
  CppHighlighter h;
  EXPECT_EQ(Scan(h, R"('\'' x)"), (Tokens{R"(string '\'')", "space  ", "ident x"}));
  EXPECT_EQ(Scan(h, R"("a\"b" x)"), (Tokens{R"(string "a\"b")", "space  ", "ident x"}));
  EXPECT_EQ(Scan(h, R"("open ; /* x)"), (Tokens{R"(string "open ; /* x)"}));
  EXPECT_EQ(Scan(h, R"("" '')"), (Tokens{R"(string "")", "space  ", "string ''"}));
  EXPECT_EQ(Scan(h, R"("""a" b)"), (Tokens{R"(string """a")", "space  ", "ident b"}));
  EXPECT_EQ(Scan(h, "'"), (Tokens{"string '"}));
  EXPECT_EQ(Scan(h, "\"ab\\"), (Tokens{"string \"ab\\"}));
  // An escaped backslash does not escape the closing quote.
  EXPECT_EQ(Scan(h, R"(c == '\\') {)"), (Tokens{"ident c", "space  ", "symbol ==", "space  ",
                                                R"(string '\\')", "symbol )", "space  ", "symbol {"}));
  EXPECT_EQ(Scan(h, R"("c:\\" x)"), (Tokens{R"(string "c:\\")", "space  ", "ident x"}));
  // Strings never continue onto the next line.
  EXPECT_EQ(RangeAfter(h, "\"abc\\"), crNone);
}

TEST(CppHighlighter, SpacesIllegalBytesAndEmptyLines) {
  CppHighlighter h;
  EXPECT_EQ(Scan(h, "\t \x01\x1f x"), (Tokens{"space \t \x01\x1f ", "ident x"}));
  EXPECT_EQ(Scan(h, "@$\\`\x7f\x80\xff"), (Tokens{"illegal @", "illegal $", "illegal \\", "illegal `",
                                                  "illegal \x7f", "illegal \x80", "illegal \xff"}));
  EXPECT_EQ(Scan(h, ""), Tokens{});
  EXPECT_EQ(h.TokenStart(), 0);
  EXPECT_EQ(h.TokenAttribute(), nullptr);
  // Line breaks and zero bytes inside a line are single blanks; the line goes on after them.
  EXPECT_EQ(Scan(h, std::string_view("a\r\n\0b", 5)),
            (Tokens{"ident a", "space \r", "space \n", std::string("space \0", 7), "ident b"}));
}

// A NUL is an ordinary byte inside comments, literals and directives: what follows it stays in.
TEST(CppHighlighter, NulBytesBelongToTheCommentLiteralOrDirectiveTheyAreIn) {
  CppHighlighter h;
  const std::string rest = std::string(1, '\0') + " struct s { int m; };";
  const std::pair<std::string, const char*> openings[] = {{"// a", "comment"},
                                                          {"/* a", "comment"},
                                                          {"\"a", "string"},
                                                          {"'a", "string"},
                                                          {"#define A", "directive"}};
  for (const auto& [opening, kind] : openings)
    EXPECT_EQ(Scan(h, opening + rest), Tokens{std::string(kind) + " " + opening + rest}) << opening;
  EXPECT_EQ(Scan(h, rest + " */ x", crCComment), (Tokens{"comment " + rest + " */", "space  ", "ident x"}));
  EXPECT_EQ(Scan(h, rest, crDirective), Tokens{"directive " + rest});
  EXPECT_EQ(Scan(h, "#define A \\" + rest), Tokens{"directive #define A \\" + rest});
  EXPECT_EQ(Scan(h, "\"a" + rest + "\" x"), (Tokens{"string \"a" + rest + "\"", "space  ", "ident x"}));
}

TEST(CppHighlighter, BlockCommentsCarryTheirRangeToTheNextLine) {
  CppHighlighter h;
  EXPECT_EQ(Scan(h, "x /* open"), (Tokens{"ident x", "space  ", "comment /* open"}));
  EXPECT_EQ(RangeAfter(h, "x /* open"), crCComment);
  EXPECT_EQ(Scan(h, "still */ int x;", crCComment),
            (Tokens{"comment still */", "space  ", "key int", "space  ", "ident x", "symbol ;"}));
  EXPECT_EQ(RangeAfter(h, "still */ int x;", crCComment), crNone);
  EXPECT_EQ(RangeAfter(h, "", crCComment), crCComment);
  EXPECT_EQ(RangeAfter(h, "more", crCComment), crCComment);
  EXPECT_EQ(Scan(h, "/**/a/*/b*/"), (Tokens{"comment /**/", "ident a", "comment /*/b*/"}));
  EXPECT_EQ(Scan(h, "*/x", crCComment), (Tokens{"comment */", "ident x"}));
  EXPECT_EQ(Scan(h, "a // b /* c"), (Tokens{"ident a", "space  ", "comment // b /* c"}));
  EXPECT_EQ(RangeAfter(h, "a // b /* c"), crNone);
}

TEST(CppHighlighter, DirectivesRunToTheLineEndOrAComment) {
  CppHighlighter h;
  EXPECT_EQ(Scan(h, "#define A 1 // note"), (Tokens{"directive #define A 1 ", "comment // note"}));
  EXPECT_EQ(RangeAfter(h, "#define A 1 // note"), crNone);
  EXPECT_EQ(Scan(h, "  #include \"q_shared.h\""), (Tokens{"space   ", "directive #include \"q_shared.h\""}));
  EXPECT_EQ(Scan(h, "x = 1; # y"), (Tokens{"ident x", "space  ", "symbol =", "space  ", "num 1", "symbol ;",
                                           "space  ", "directive # y"}));
  // A comment inside a directive, after which the directive resumes.
  EXPECT_EQ(Scan(h, "#if A /* c */ && B"),
            (Tokens{"directive #if A ", "comment /* c */", "directive  && B"}));
  EXPECT_EQ(RangeAfter(h, "#if A /* c */ && B"), crNone);
  // The comment's own opening "/*/" does not close it.
  EXPECT_EQ(Scan(h, "#x /*/ y */z"), (Tokens{"directive #x ", "comment /*/ y */", "directive z"}));
}

TEST(CppHighlighter, ContinuedDirectivesAndCommentsInsideThem) {
  CppHighlighter h;
  EXPECT_EQ(RangeAfter(h, "#define M(x) \\"), crDirective);
  EXPECT_EQ(Scan(h, "  (x) + 1 \\", crDirective), (Tokens{"directive   (x) + 1 \\"}));
  EXPECT_EQ(RangeAfter(h, "  (x) + 1 \\", crDirective), crDirective);
  EXPECT_EQ(RangeAfter(h, "  (x) + 1", crDirective), crNone);
  EXPECT_EQ(Scan(h, "", crDirective), Tokens{});
  EXPECT_EQ(RangeAfter(h, "", crDirective), crNone);

  EXPECT_EQ(Scan(h, "  x // text", crDirective), (Tokens{"directive   x ", "comment // text"}));
  EXPECT_EQ(RangeAfter(h, "  x // text", crDirective), crNone);
  // A continuation line that starts with a comment yields no empty directive token.
  EXPECT_EQ(Scan(h, "// text", crDirective), (Tokens{"comment // text"}));

  // A block comment opened in a directive spans lines and hands back to the directive.
  EXPECT_EQ(RangeAfter(h, "#define X /* one"), crDirectiveComment);
  EXPECT_EQ(Scan(h, "two */ 1", crDirectiveComment), (Tokens{"comment two */", "directive  1"}));
  EXPECT_EQ(RangeAfter(h, "two */ 1", crDirectiveComment), crNone);
  EXPECT_EQ(RangeAfter(h, "two */ 1 \\", crDirectiveComment), crDirective);
  EXPECT_EQ(RangeAfter(h, "#define X /* c */", crNone), crNone);
  EXPECT_EQ(RangeAfter(h, "#define X /* c */\\", crNone), crDirective);
  EXPECT_EQ(Scan(h, "#a/**///x"), (Tokens{"directive #a", "comment /**/", "comment //x"}));
}

TEST(CppHighlighter, AssemblerRangesLastOnlyForTheAsmToken) {
  CppHighlighter h;
  h.RestoreRange(crNone);
  h.BeginLine("__asm { mov eax, 1 }", 0);
  EXPECT_EQ(h.TokenKind(), ckKeyword);
  EXPECT_EQ(h.CurrentRange(), crAsm);
  h.NextToken();
  EXPECT_EQ(h.TokenKind(), ckSpace);
  EXPECT_EQ(h.CurrentRange(), crNone);
  EXPECT_EQ(Scan(h, "asm mov", crAsmBlock), (Tokens{"key asm", "space  ", "ident mov"}));
  EXPECT_EQ(RangeAfter(h, "_asm", crNone), crNone);
  for (HighlightRange range : {crAsm, crAsmBlock})
    EXPECT_EQ(RangeAfter(h, "mov", range), crNone);
  for (HighlightRange range : {crAsmComment, crAsmBlockComment}) {
    EXPECT_EQ(Scan(h, "c */ x", range), (Tokens{"comment c */", "space  ", "ident x"}));
    EXPECT_EQ(RangeAfter(h, "c */ x", range), crNone);
    EXPECT_EQ(RangeAfter(h, "c", range), range);
  }
}

TEST(CppHighlighter, TokenSinkGetsEachTokenWithItsFlags) {
  struct RecordingSink : TokenSink {
    std::vector<std::string> seen;
    void PutToken(std::string_view text, HighlightAttributes* attribute, bool whitespace,
                  bool special) override {
      seen.push_back(std::string(text) + "|" + (attribute ? attribute->Name() : "-") + "|" +
                     (whitespace ? "w" : "") + (special ? "s" : ""));
    }
  } sink;
  CppHighlighter h;
  h.BeginLineForSink("x"); // no sink attached: just scans
  h.SetTokenSink(&sink);
  h.ClearRange();
  h.BeginLineForSink("int a =1\"s\"@//c");
  while (!h.AtLineEnd())
    h.NextToSink();
  h.BeginLineForSink("#x");
  EXPECT_EQ(sink.seen,
            (std::vector<std::string>{"int|Reserved word|", " |Space|w", "a|Identifier|", " |Space|w",
                                      "=|Symbol|s", "1|Number|", "\"s\"|String|s", "@|Illegal char|",
                                      "//c|Comment|s", "|-|", "#x|Preprocessor|s"}));
}

TEST(CppHighlighter, AttributesNamesDefaultsAndSlots) {
  CppHighlighter h;
  std::vector<std::string> names;
  for (int i = 0; i < h.AttributeCount(); ++i)
    names.push_back(h.AttributeAt(i)->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Assembler", "Comment", "Identifier", "Illegal char", "Number",
                                             "Preprocessor", "Reserved word", "Space", "String", "Symbol"}));
  EXPECT_EQ(h.CommentAttri().Style(), fsItalic);
  EXPECT_EQ(h.CommentAttri().Foreground(), clNone);
  EXPECT_EQ(h.KeyAttri().Style(), fsBold);
  EXPECT_EQ(h.SpaceAttri().Foreground(), clWindow);
  EXPECT_EQ(h.SpaceAttri().Background(), clNone);
  for (auto* a : {&h.AsmAttri(), &h.DirecAttri(), &h.IdentifierAttri(), &h.InvalidAttri(), &h.NumberAttri(),
                  &h.StringAttri(), &h.SymbolAttri()}) {
    EXPECT_EQ(a->Foreground(), clNone) << a->Name();
    EXPECT_EQ(a->Style(), 0) << a->Name();
  }
  EXPECT_EQ(h.DefaultAttribute(0), &h.SpaceAttri());
  EXPECT_EQ(h.DefaultAttribute(1), &h.CommentAttri());
  EXPECT_EQ(h.DefaultAttribute(2), &h.KeyAttri());
  EXPECT_EQ(h.DefaultAttribute(3), nullptr);
  EXPECT_EQ(h.DefaultAttribute(-1), nullptr);
  EXPECT_EQ(h.LanguageCaption(), "C++");
  EXPECT_EQ(h.Features(), 7);
  EXPECT_EQ(h.DefaultFilter(), "C++ files (*.cpp,*.h,*.hpp)|*.cpp;*.h;*.hpp");
  EXPECT_EQ(h.CurrentRange(), crNone);

  WordCharSet chars = h.WordChars();
  EXPECT_EQ(chars.count(), 63u);
  for (unsigned char c : std::string_view("09AZaz_"))
    EXPECT_TRUE(chars[c]) << c;
  for (unsigned char c : std::string_view("@[`{/:"))
    EXPECT_FALSE(chars[c]) << c;
}

TEST(CppHighlighter, EditorsHearAttributeChangesAndFormColoursApply) {
  CppHighlighter h;
  int repaints = 0;
  auto id = h.HookChange([&](Highlighter&) { ++repaints; });
  ApplyFormColours(h);
  EXPECT_EQ(repaints, 2); // comment and keyword colours; the rest already had those values
  EXPECT_EQ(h.CommentAttri().Foreground(), 0x008000u);
  EXPECT_EQ(h.KeyAttri().Foreground(), 0xFF0000u);
  h.CommentAttri().SetStyle(0);
  h.KeyAttri().SetStyle(0);
  EXPECT_EQ(repaints, 4);
  h.UnhookChange(id);
}

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// For every line: "== <line> <start range>", then one "<kind>\t<text>" line per token.
std::string TokenDump(std::string_view source) {
  CppHighlighter h;
  std::string dump;
  h.ClearRange();
  int lineNo = 0;
  for (std::string_view line : SplitLines(source)) {
    dump += "== " + std::to_string(++lineNo) + " " + std::to_string(h.CurrentRange()) + "\n";
    for (h.BeginLine(line, lineNo); !h.AtLineEnd(); h.NextToken())
      dump += std::string(KindName(h.TokenKind())) + "\t" + h.TokenText() + "\n";
  }
  return dump;
}

} // namespace

TEST(CppHighlighter, SampleModuleSourceMatchesItsGoldenTokenStream) {
  const std::string data = TESSARIN_TEST_DATA;
  const std::string source = ReadFile(data + "/sample.c");
  ASSERT_FALSE(source.empty());
  const std::string actual = TokenDump(source);
  const std::string expected = ReadFile(data + "/sample.tokens");
  if (actual != expected) std::ofstream("sample.tokens.actual", std::ios::binary) << actual;
  EXPECT_EQ(actual, expected) << "the actual stream is in sample.tokens.actual";
}

namespace {

struct Token {
  int kind;
  int start;
  std::string text;
  bool operator==(const Token&) const = default;
};

std::vector<Token> ScanTokens(CppHighlighter& h, std::string_view line, HighlightRange range,
                              HighlightRange* after) {
  std::vector<Token> tokens;
  h.RestoreRange(range);
  for (h.BeginLine(line, 0); !h.AtLineEnd(); h.NextToken())
    tokens.push_back({h.TokenKind(), h.TokenStart(), h.TokenText()});
  tokens.push_back({h.TokenKind(), h.TokenStart(), h.TokenText()});
  *after = h.CurrentRange();
  return tokens;
}

} // namespace

TEST(CppHighlighterProperties, RealHeadersTokeniseLosslesslyAndRescanFromStoredRanges) {
  const std::string corpus = ReadHeaderCorpus(16 << 20);
  std::vector<std::string_view> lines = SplitLines(corpus);
  if (lines.size() < 1000) GTEST_SKIP() << "too few system headers";
  CppHighlighter h;
  std::vector<HighlightRange> ranges(lines.size() + 1);
  std::vector<std::vector<Token>> tokens(lines.size());
  ranges[0] = crNone;
  std::size_t directiveLines = 0, commentLines = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    tokens[i] = ScanTokens(h, lines[i], ranges[i], &ranges[i + 1]);
    directiveLines += ranges[i + 1] == crDirective;
    commentLines += ranges[i + 1] == crCComment;

    std::string joined;
    int previousStart = -1;
    for (const Token& token : tokens[i]) {
      ASSERT_GT(token.start, previousStart) << "line " << i << ": " << lines[i];
      ASSERT_EQ(token.start, static_cast<int>(joined.size())) << lines[i];
      previousStart = token.start;
      joined += token.text;
    }
    ASSERT_EQ(joined, lines[i]);
    ASSERT_EQ(tokens[i].back().kind, ckLineEnd);
  }
  EXPECT_GT(directiveLines, 0u);
  EXPECT_GT(commentLines, 0u);

  // Any line re-scanned from its stored range, in any order, gives the same tokens and range.
  std::vector<std::size_t> order(lines.size());
  for (std::size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::shuffle(order.begin(), order.end(), std::mt19937(4));
  for (std::size_t i : order) {
    HighlightRange after = 0;
    ASSERT_EQ(ScanTokens(h, lines[i], ranges[i], &after), tokens[i]) << lines[i];
    ASSERT_EQ(after, ranges[i + 1]);
  }
}

TEST(CppHighlighterProperties, EveryStartRangeScansEveryLineLosslessly) {
  const std::string corpus = ReadHeaderCorpus(1 << 20);
  std::vector<std::string_view> lines = SplitLines(corpus);
  lines.push_back(std::string_view("\0\"\\\0'\\", 6));
  lines.push_back("#\\");
  CppHighlighter h;
  for (HighlightRange range = 0; range <= 9; ++range)
    for (std::string_view line : lines) {
      HighlightRange after = 0;
      std::string joined;
      for (const Token& token : ScanTokens(h, line, range, &after))
        joined += token.text;
      ASSERT_EQ(joined, line);
      ASSERT_TRUE(after == crNone || after == crCComment || after == crDirective ||
                  after == crDirectiveComment || after == range)
          << after;
    }
}
