// The C/C++ highlighter: per-byte dispatch through a 256-entry handler table and keyword lookup
// by an additive hash into a 207-slot table. Lines are read in place; nothing is allocated while
// scanning.
#include "CppHighlighter.h"

#include <algorithm>

namespace {

constexpr std::size_t kKeywordSlots = 207;
constexpr std::size_t kMaxKeywordsPerSlot = 5;

constexpr std::size_t kKeywordCount = 94;

// The reserved words, blank-separated.
constexpr std::string_view kKeywordList =
    "__asm __automated __cdecl __classid __closure __declspec __dispid __except __export __fastcall "
    "__finally __import __int16 __int32 __int64 __int8 __pascal __property __published __rtti "
    "__stdcall __thread __try _asm _cdecl _export _fastcall _import _pascal _stdcall asm auto bool "
    "break case catch cdecl char class const const_cast continue default delete do double "
    "dynamic_cast else enum explicit extern false float for friend goto if inline int long mutable "
    "namespace new operator pascal private protected public register reinterpret_cast return short "
    "signed sizeof static static_cast struct switch template this throw true try typedef typeid "
    "typename union unsigned using virtual void volatile wchar_t while";

constexpr std::array<std::string_view, kKeywordCount> SplitKeywords() {
  std::array<std::string_view, kKeywordCount> words{};
  std::size_t count = 0;
  for (std::size_t at = 0; at < kKeywordList.size();) {
    std::size_t end = std::min(kKeywordList.find(' ', at), kKeywordList.size());
    words[count++] = kKeywordList.substr(at, end - at);
    at = end + 1;
  }
  return words;
}

constexpr std::array<std::string_view, kKeywordCount> kKeywords = SplitKeywords();
static_assert(kKeywords.back() == "while");

// Capitals count 1-26, small letters one more than their capital, digits and '_' nothing.
constexpr unsigned HashValue(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 64;
  if (c >= 'a' && c <= 'z') return c - 95;
  return 0;
}

constexpr bool IsIdentChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

constexpr bool IsNumberChar(unsigned char c) {
  return c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f') || c == 'L' ||
         c == 'l' || c == 'U' || c == 'u' || c == 'X' || c == 'x';
}

constexpr bool IsSpaceChar(unsigned char c) { return c >= 1 && c <= 32 && c != 10 && c != 13; }

// Bytes that are blanks wherever a token could start: CR, LF and NUL inside a line.
constexpr bool IsBreak(unsigned char c) { return c == 0 || c == 10 || c == 13; }

constexpr unsigned Hash(std::string_view word) {
  unsigned hash = 0;
  for (char c : word)
    hash += HashValue(static_cast<unsigned char>(c));
  return hash;
}

struct KeywordSlot {
  std::array<std::string_view, kMaxKeywordsPerSlot> words{};
  std::size_t count = 0;
};

constexpr std::array<KeywordSlot, kKeywordSlots> MakeKeywordTable() {
  std::array<KeywordSlot, kKeywordSlots> table{};
  for (std::string_view word : kKeywords) {
    KeywordSlot& slot = table[Hash(word)];
    slot.words[slot.count++] = word;
  }
  return table;
}

constexpr std::array<KeywordSlot, kKeywordSlots> kKeywordTable = MakeKeywordTable();
static_assert(std::count_if(kKeywordTable.begin(), kKeywordTable.end(),
                            [](const KeywordSlot& slot) { return slot.count != 0; }) == 54);
static_assert(kKeywordTable.back().words[0] == "reinterpret_cast");

[[nodiscard]] bool IsKeyword(unsigned hash, std::string_view word) {
  if (hash >= kKeywordSlots) return false;
  const KeywordSlot& slot = kKeywordTable[hash];
  return std::find(slot.words.begin(), slot.words.begin() + slot.count, word) !=
         slot.words.begin() + slot.count;
}

[[nodiscard]] bool IsAsmKeyword(std::string_view word) {
  return word == "asm" || word == "_asm" || word == "__asm";
}

// Multi-byte symbols by first byte, longest first; a byte with none is a one-byte symbol.
struct SymbolChoices {
  std::array<std::string_view, 3> longer{};
};

constexpr std::array<SymbolChoices, 256> MakeSymbolTable() {
  std::array<SymbolChoices, 256> table{};
  table['!'] = {{"!="}};
  table['%'] = {{"%="}};
  table['&'] = {{"&&", "&="}};
  table['*'] = {{"*="}};
  table['+'] = {{"++", "+="}};
  table['-'] = {{"--", "-=", "->"}};
  table['.'] = {{"..."}};
  table[':'] = {{"::"}};
  table['<'] = {{"<<=", "<<", "<="}};
  table['='] = {{"=="}};
  table['>'] = {{">>=", ">>", ">="}};
  table['^'] = {{"^="}};
  table['|'] = {{"||", "|="}};
  table['/'] = {{"/="}};
  return table;
}

constexpr std::array<SymbolChoices, 256> kSymbolTable = MakeSymbolTable();

} // namespace

struct CppHighlighter::HandlerTable {
  std::array<Handler, 256> handlers{};

  constexpr HandlerTable() {
    for (int c = 0; c < 256; ++c) {
      Handler handler = &CppHighlighter::IllegalProc;
      if (IsBreak(c))
        handler = &CppHighlighter::BreakProc;
      else if (IsSpaceChar(c))
        handler = &CppHighlighter::SpaceProc;
      else if (c >= '0' && c <= '9')
        handler = &CppHighlighter::NumberProc;
      else if (IsIdentChar(c))
        handler = &CppHighlighter::IdentProc;
      handlers[c] = handler;
    }
    handlers['"'] = &CppHighlighter::StringProc;
    handlers['\''] = &CppHighlighter::CharProc;
    handlers['#'] = &CppHighlighter::DirectiveProc;
    handlers['/'] = &CppHighlighter::SlashProc;
    for (unsigned char c : std::string_view("!%&*+-.:<=>^|()[]{},;?~"))
      handlers[c] = &CppHighlighter::SymbolProc;
  }
};

// The attributes in creation order, with the token kind each paints and its defaults.
struct CppHighlighter::AttributeDefault {
  HighlightAttributes* CppHighlighter::*member;
  const char* name;
  CppTokenKind kind;
  FontStyles style;
  ColorValue foreground;
};

const CppHighlighter::AttributeDefault CppHighlighter::kAttributeDefaults[] = {
    {&CppHighlighter::asmAttri_, "Assembler", ckAsm, 0, clNone},
    {&CppHighlighter::commentAttri_, "Comment", ckComment, fsItalic, clNone},
    {&CppHighlighter::identifierAttri_, "Identifier", ckIdentifier, 0, clNone},
    {&CppHighlighter::invalidAttri_, "Illegal char", ckIllegal, 0, clNone},
    {&CppHighlighter::keyAttri_, "Reserved word", ckKeyword, fsBold, clNone},
    {&CppHighlighter::numberAttri_, "Number", ckNumber, 0, clNone},
    {&CppHighlighter::spaceAttri_, "Space", ckSpace, 0, clWindow},
    {&CppHighlighter::stringAttri_, "String", ckString, 0, clNone},
    {&CppHighlighter::symbolAttri_, "Symbol", ckSymbol, 0, clNone},
    {&CppHighlighter::direcAttri_, "Preprocessor", ckDirective, 0, clNone},
};

CppHighlighter::CppHighlighter() {
  for (const AttributeDefault& entry : kAttributeDefaults) {
    HighlightAttributes* attribute = AddAttribute(std::make_unique<HighlightAttributes>(entry.name));
    attribute->SetStyle(entry.style);
    attribute->SetForeground(entry.foreground);
    this->*entry.member = attribute;
    attributeOfKind_[entry.kind] = attribute;
  }
  SetAttributesOnChange([this](HighlightAttributes& attribute) { AttributeChanged(attribute); });
  SetDefaultFilter("C++ files (*.cpp,*.h,*.hpp)|*.cpp;*.h;*.hpp");
}

WordCharSet CppHighlighter::WordChars() const {
  WordCharSet chars;
  for (int c = 0; c < 256; ++c)
    chars[c] = IsIdentChar(c);
  return chars;
}

HighlightAttributes* CppHighlighter::DefaultAttribute(int index) const {
  switch (index) {
  case 0: return spaceAttri_;
  case 1: return commentAttri_;
  case 2: return keyAttri_;
  default: return nullptr;
  }
}

std::uint8_t CppHighlighter::Features() const { return Highlighter::Features() | 1u | 4u; }

std::string CppHighlighter::TokenText() const { return std::string(line_ + tokenPos_, TokenLength()); }

HighlightAttributes* CppHighlighter::TokenAttribute() const { return attributeOfKind_[tokenKind_]; }

int CppHighlighter::TokenKind() const {
  bool inAsm = range_ == crAsm || range_ == crAsmBlock;
  if (inAsm && !asmStart_ && tokenKind_ != ckComment && tokenKind_ != ckLineEnd && tokenKind_ != ckSpace)
    return ckAsm;
  return tokenKind_;
}

void CppHighlighter::BeginLine(std::string_view text, int lineIndex) {
  line_ = text.empty() ? "" : text.data();
  length_ = text.size();
  run_ = 0;
  lineNumber_ = lineIndex;
  directiveCommentOpening_ = false;
  NextToken();
}

void CppHighlighter::NextToken() {
  asmStart_ = false;
  // A directive that stops right before a comment would leave an empty token; the editor's
  // token loop and the line's token starts are simpler without them.
  do {
    ScanToken();
  } while (TokenLength() == 0 && tokenKind_ != ckLineEnd);
}

void CppHighlighter::ScanToken() {
  tokenPos_ = run_;
  switch (range_) {
  case crCComment:
  case crAsmComment:
  case crAsmBlockComment:
  case crDirectiveComment: CommentContinuationProc(); break;
  case crDirective: DirectiveProc(); break;
  default:
    range_ = crNone;
    ScanByte();
    break;
  }
}

void CppHighlighter::ScanByte() {
  static constexpr HandlerTable kHandlerTable{};
  if (AtEnd())
    LineEndProc();
  else
    (this->*kHandlerTable.handlers[static_cast<unsigned char>(line_[run_])])();
}

void CppHighlighter::BeginLineForSink(std::string_view text) {
  BeginLine(text, 0);
  SendToSink();
}

void CppHighlighter::NextToSink() {
  NextToken();
  SendToSink();
}

void CppHighlighter::SendToSink() {
  if (Sink() == nullptr) return;
  bool special = tokenKind_ == ckComment || tokenKind_ == ckDirective || tokenKind_ == ckString ||
                 tokenKind_ == ckSymbol;
  Sink()->PutToken(std::string_view(line_ + tokenPos_, TokenLength()), TokenAttribute(),
                   tokenKind_ == ckSpace, special);
}

void CppHighlighter::LineEndProc() { tokenKind_ = ckLineEnd; }

void CppHighlighter::BreakProc() {
  tokenKind_ = ckSpace;
  ++run_;
}

void CppHighlighter::SpaceProc() {
  tokenKind_ = ckSpace;
  do
    ++run_;
  while (IsSpaceChar(At(run_)));
}

void CppHighlighter::IdentProc() {
  unsigned hash = 0;
  std::size_t end = run_;
  for (unsigned char c; IsIdentChar(c = At(end)); ++end)
    hash += HashValue(c);
  std::string_view word(line_ + run_, end - run_);
  run_ = end;
  tokenKind_ = IsKeyword(hash, word) ? ckKeyword : ckIdentifier;
  if (tokenKind_ == ckKeyword && IsAsmKeyword(word)) {
    range_ = crAsm;
    asmStart_ = true;
  }
}

void CppHighlighter::NumberProc() {
  tokenKind_ = ckNumber;
  ++run_;
  for (unsigned char c; IsNumberChar(c = At(run_)); ++run_)
    if (c == '.' && At(run_ + 1) == '.') break;
}

void CppHighlighter::StringProc() {
  // Three quotes in a row skip to the third.
  if (At(run_ + 1) == '"' && At(run_ + 2) == '"') run_ += 2;
  ScanQuoted('"');
}

void CppHighlighter::CharProc() { ScanQuoted('\''); }

void CppHighlighter::ScanQuoted(unsigned char quote) {
  tokenKind_ = ckString;
  do {
    if (AtLineBreak()) break;
    const unsigned char c = At(run_);
    // A backslash escapes the next byte, so "\\" and '\\' end where C ends them.
    if (c == '\\' && run_ + 1 < length_) ++run_;
    ++run_;
  } while (At(run_) != quote);
  if (!AtEnd()) ++run_;
}

void CppHighlighter::SlashProc() {
  switch (At(run_ + 1)) {
  case '/':
    tokenKind_ = ckComment;
    run_ += 2;
    while (!AtLineBreak())
      ++run_;
    break;
  case '*':
    tokenKind_ = ckComment;
    range_ = crCComment;
    run_ += 2;
    ScanCommentBody();
    break;
  default: SymbolProc(); break;
  }
}

void CppHighlighter::CommentContinuationProc() {
  if (AtLineBreak()) {
    ScanByte();
    return;
  }
  tokenKind_ = ckComment;
  if (directiveCommentOpening_) {
    directiveCommentOpening_ = false;
    run_ += 2;
  }
  ScanCommentBody();
}

void CppHighlighter::ScanCommentBody() {
  for (; !AtLineBreak(); ++run_) {
    if (At(run_) == '*' && At(run_ + 1) == '/') {
      run_ += 2;
      range_ = range_ == crDirectiveComment ? crDirective : crNone;
      return;
    }
  }
}

void CppHighlighter::DirectiveProc() {
  if (AtLineBreak()) {
    // A line that ended in a backslash keeps the directive going on the next line.
    if (!(run_ > 0 && line_[run_ - 1] == '\\')) range_ = crNone;
    ScanByte();
    return;
  }
  tokenKind_ = ckDirective;
  for (;;) {
    if (AtLineBreak()) {
      range_ = crNone;
      return;
    }
    const unsigned char c = At(run_);
    if (c == '/' && At(run_ + 1) == '/') {
      range_ = crNone;
      return;
    }
    if (c == '/' && At(run_ + 1) == '*') {
      range_ = crDirectiveComment;
      directiveCommentOpening_ = true;
      return;
    }
    ++run_;
    if (c == '\\' && AtLineBreak()) {
      range_ = crDirective;
      return;
    }
  }
}

void CppHighlighter::SymbolProc() {
  tokenKind_ = ckSymbol;
  for (std::string_view symbol : kSymbolTable[static_cast<unsigned char>(line_[run_])].longer) {
    if (!symbol.empty() && std::string_view(line_ + run_, length_ - run_).starts_with(symbol)) {
      run_ += symbol.size();
      return;
    }
  }
  ++run_;
}

void CppHighlighter::IllegalProc() {
  tokenKind_ = ckIllegal;
  ++run_;
}

void ApplyFormColours(CppHighlighter& highlighter) {
  highlighter.CommentAttri().SetForeground(0x00008000);
  highlighter.CommentAttri().SetStyle(fsItalic);
  highlighter.KeyAttri().SetForeground(0x00FF0000);
  highlighter.KeyAttri().SetStyle(fsBold);
  highlighter.SpaceAttri().SetForeground(clWindow);
  highlighter.SetDefaultFilter("C++ files (*.cpp,*.h,*.hpp)|*.cpp;*.h;*.hpp");
}
