// The C/C++ highlighter: a table-driven line scanner that carries block comments and continued
// preprocessor lines from line to line through its range.
#pragma once

#include "kxHighlighter.h"

#include <array>

// Token kinds reported by TokenKind and passed to OnToken.
enum TCppTokenKind : int {
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
enum TCppRange : TkxRange {
  crCComment = 1,
  crAsmComment,
  crAsmBlockComment,
  crAsm,
  crAsmBlock,
  crDirective,
  crDirectiveComment,
  crNone,
};

class TVrnCppSyn : public TkxCustomHighLighter {
public:
  TVrnCppSyn();

  [[nodiscard]] TkxWordChars WordChars() const override;
  [[nodiscard]] TkxHighLightAttributes* DefaultAttribute(int index) const override;
  [[nodiscard]] std::uint8_t Features() const override;
  [[nodiscard]] std::string LanguageCaption() const override { return "C++"; }

  void NextToSink() override;
  [[nodiscard]] bool AtLineEnd() const override { return tokenKind_ == ckLineEnd; }
  [[nodiscard]] TkxRange CurrentRange() const override { return range_; }
  [[nodiscard]] std::string TokenText() const override;
  [[nodiscard]] std::size_t TokenLength() const override { return run_ - tokenPos_; }
  [[nodiscard]] TkxHighLightAttributes* TokenAttribute() const override;
  [[nodiscard]] int TokenKind() const override;
  [[nodiscard]] int TokenStart() const override { return static_cast<int>(tokenPos_); }
  void NextToken() override;
  void BeginLine(std::string_view text, int lineIndex) override;
  void BeginLineForSink(std::string_view text) override;
  void RestoreRange(TkxRange range) override { range_ = range; }
  void ClearRange() override { range_ = crNone; }

  [[nodiscard]] TkxHighLightAttributes& AsmAttri() const { return *asmAttri_; }
  [[nodiscard]] TkxHighLightAttributes& CommentAttri() const { return *commentAttri_; }
  [[nodiscard]] TkxHighLightAttributes& DirecAttri() const { return *direcAttri_; }
  [[nodiscard]] TkxHighLightAttributes& IdentifierAttri() const { return *identifierAttri_; }
  [[nodiscard]] TkxHighLightAttributes& InvalidAttri() const { return *invalidAttri_; }
  [[nodiscard]] TkxHighLightAttributes& KeyAttri() const { return *keyAttri_; }
  [[nodiscard]] TkxHighLightAttributes& NumberAttri() const { return *numberAttri_; }
  [[nodiscard]] TkxHighLightAttributes& SpaceAttri() const { return *spaceAttri_; }
  [[nodiscard]] TkxHighLightAttributes& StringAttri() const { return *stringAttri_; }
  [[nodiscard]] TkxHighLightAttributes& SymbolAttri() const { return *symbolAttri_; }

  // The line number given to the last BeginLine.
  [[nodiscard]] int LineNumber() const { return lineNumber_; }

private:
  using Handler = void (TVrnCppSyn::*)();
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

  TkxHighLightAttributes* asmAttri_ = nullptr;
  TkxHighLightAttributes* commentAttri_ = nullptr;
  TkxHighLightAttributes* identifierAttri_ = nullptr;
  TkxHighLightAttributes* invalidAttri_ = nullptr;
  TkxHighLightAttributes* keyAttri_ = nullptr;
  TkxHighLightAttributes* numberAttri_ = nullptr;
  TkxHighLightAttributes* spaceAttri_ = nullptr;
  TkxHighLightAttributes* stringAttri_ = nullptr;
  TkxHighLightAttributes* symbolAttri_ = nullptr;
  TkxHighLightAttributes* direcAttri_ = nullptr;
  // Indexed by scanned kind; the line end has none.
  std::array<TkxHighLightAttributes*, ckIllegal + 1> attributeOfKind_{};

  TkxRange range_ = crNone;
  const char* line_ = "";
  std::size_t length_ = 0;
  std::size_t run_ = 0;
  std::size_t tokenPos_ = 0;
  TCppTokenKind tokenKind_ = ckLineEnd;
  int lineNumber_ = 0;
  bool asmStart_ = false;
  // A comment that opened inside a directive starts with its own "/*", which must not close it.
  bool directiveCommentOpening_ = false;
};

// The colours both program windows give their C/C++ highlighter: green comments, blue reserved
// words, and the C/C++ file filter.
void ApplyFormColours(TVrnCppSyn& highlighter);
