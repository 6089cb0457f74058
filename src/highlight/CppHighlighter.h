// The C/C++ highlighter: a table-driven line scanner that carries block comments and continued
// preprocessor lines from line to line through its range.
#pragma once

#include "Highlighter.h"

#include <array>

// Token kinds reported by TokenKind and passed to OnToken.
enum CppTokenKind : int {
  ckAsm,
  ckComment,
  ckDirective,
  ckIdentifier,
  ckKeyword,
  ckLineEnd,
  ckNumber,
  ckSpace,
  ckString,
  ckSymbol,
  ckIllegal,
};

// Range values at the start of a line.
enum CppRange : HighlightRange {
  crCComment = 1,
  crAsmComment,
  crAsmBlockComment,
  crAsm,
  crAsmBlock,
  crDirective,
  crDirectiveComment,
  crNone,
};

class CppHighlighter : public Highlighter {
public:
  CppHighlighter();

  [[nodiscard]] WordCharSet WordChars() const override;
  [[nodiscard]] HighlightAttributes* DefaultAttribute(int index) const override;
  [[nodiscard]] std::uint8_t Features() const override;
  [[nodiscard]] std::string LanguageCaption() const override { return "C++"; }

  void NextToSink() override;
  [[nodiscard]] bool AtLineEnd() const override { return tokenKind_ == ckLineEnd; }
  [[nodiscard]] HighlightRange CurrentRange() const override { return range_; }
  [[nodiscard]] std::string TokenText() const override;
  [[nodiscard]] std::size_t TokenLength() const override { return run_ - tokenPos_; }
  [[nodiscard]] HighlightAttributes* TokenAttribute() const override;
  [[nodiscard]] int TokenKind() const override;
  [[nodiscard]] int TokenStart() const override { return static_cast<int>(tokenPos_); }
  void NextToken() override;
  void BeginLine(std::string_view text, int lineIndex) override;
  void BeginLineForSink(std::string_view text) override;
  void RestoreRange(HighlightRange range) override { range_ = range; }
  void ClearRange() override { range_ = crNone; }

  [[nodiscard]] HighlightAttributes& AsmAttri() const { return *asmAttri_; }
  [[nodiscard]] HighlightAttributes& CommentAttri() const { return *commentAttri_; }
  [[nodiscard]] HighlightAttributes& DirecAttri() const { return *direcAttri_; }
  [[nodiscard]] HighlightAttributes& IdentifierAttri() const { return *identifierAttri_; }
  [[nodiscard]] HighlightAttributes& InvalidAttri() const { return *invalidAttri_; }
  [[nodiscard]] HighlightAttributes& KeyAttri() const { return *keyAttri_; }
  [[nodiscard]] HighlightAttributes& NumberAttri() const { return *numberAttri_; }
  [[nodiscard]] HighlightAttributes& SpaceAttri() const { return *spaceAttri_; }
  [[nodiscard]] HighlightAttributes& StringAttri() const { return *stringAttri_; }
  [[nodiscard]] HighlightAttributes& SymbolAttri() const { return *symbolAttri_; }

  // The line number given to the last BeginLine.
  [[nodiscard]] int LineNumber() const { return lineNumber_; }

private:
  using Handler = void (CppHighlighter::*)();
  struct HandlerTable;
  struct AttributeDefault;
  static const AttributeDefault kAttributeDefaults[];

  [[nodiscard]] unsigned char At(std::size_t pos) const {
    return pos < length_ ? static_cast<unsigned char>(line_[pos]) : 0;
  }
  [[nodiscard]] bool AtEnd() const { return run_ >= length_; }
  // Comments, literals and directives end here: at the line's end or a CR or LF inside it. A NUL
  // is an ordinary byte within them.
  [[nodiscard]] bool AtLineBreak() const { return AtEnd() || line_[run_] == '\n' || line_[run_] == '\r'; }
  void ScanToken();
  void ScanByte(); // dispatches on the byte at run_
  void SendToSink();

  void LineEndProc();
  void BreakProc();
  void SpaceProc();
  void IdentProc();
  void NumberProc();
  void StringProc();
  void CharProc();
  void DirectiveProc();
  void SlashProc();
  void SymbolProc();
  void IllegalProc();
  void CommentContinuationProc();
  void ScanCommentBody();
  void ScanQuoted(unsigned char quote);

  HighlightAttributes* asmAttri_ = nullptr;
  HighlightAttributes* commentAttri_ = nullptr;
  HighlightAttributes* identifierAttri_ = nullptr;
  HighlightAttributes* invalidAttri_ = nullptr;
  HighlightAttributes* keyAttri_ = nullptr;
  HighlightAttributes* numberAttri_ = nullptr;
  HighlightAttributes* spaceAttri_ = nullptr;
  HighlightAttributes* stringAttri_ = nullptr;
  HighlightAttributes* symbolAttri_ = nullptr;
  HighlightAttributes* direcAttri_ = nullptr;
  // Indexed by scanned kind; the line end has none.
  std::array<HighlightAttributes*, ckIllegal + 1> attributeOfKind_{};

  HighlightRange range_ = crNone;
  const char* line_ = "";
  std::size_t length_ = 0;
  std::size_t run_ = 0;
  std::size_t tokenPos_ = 0;
  CppTokenKind tokenKind_ = ckLineEnd;
  int lineNumber_ = 0;
  bool asmStart_ = false;
  // A comment that opened inside a directive starts with its own "/*", which must not close it.
  bool directiveCommentOpening_ = false;
};

// The colours both program windows give their C/C++ highlighter: green comments, blue reserved
// words, and the C/C++ file filter.
void ApplyFormColours(CppHighlighter& highlighter);
