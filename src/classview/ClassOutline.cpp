// The class view's state machine over the highlighter's tokens, and the caption order.
#include "ClassOutline.h"

#include "CodePage.h"

#include <algorithm>
#include <string_view>

namespace {

// Upper-cased against "STRUCT"; keywords are recognised case-sensitively, so only "struct" gets here.
bool IsStructKeyword(std::string_view text) {
  constexpr std::string_view keyword = "STRUCT";
  return std::equal(text.begin(), text.end(), keyword.begin(), keyword.end(),
                    [](char c, char upper) { return (c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) == upper; });
}

bool CaptionBefore(const ClassNode& a, const ClassNode& b) {
  return QString::localeAwareCompare(BytesToQString(a.Caption), BytesToQString(b.Caption)) < 0;
}

} // namespace

ClassOutline::ClassOutline() {
  MyHighlighter_.OnToken = [this](Highlighter&, int kind, const std::string& text, int lineNo) {
    MyHighlighterToken(kind, text, lineNo);
  };
}

void ClassOutline::Restart() {
  nodes_.clear();
  CurrentStructNode_ = nullptr;
  StructState_ = Outside;
  DeclState_ = Plain;
}

void ClassOutline::ScanFile(const std::string& path, const std::vector<std::string>& lines) {
  ClassViewFile_ = path;
  for (std::size_t i = 0; i < lines.size(); ++i)
    MyHighlighter_.ScanLineTokens(lines[i], static_cast<int>(i));
}

void ClassOutline::Sort() {
  // Both sorts are stable, so nodes of equal caption (unnamed structures) keep the file order.
  nodes_.sort(CaptionBefore);
  for (ClassNode& node : nodes_)
    std::stable_sort(node.Members.begin(), node.Members.end(), CaptionBefore);
}

void ClassOutline::MyHighlighterToken(int tokenKind, const std::string& tokenText, int lineNo) {
  switch (tokenKind) {
  case ckKeyword:
    if (StructState_ == Outside && IsStructKeyword(tokenText)) {
      StructState_ = AfterStruct;
      LastIdentifier_.clear();
    }
    break;
  case ckIdentifier:
    if (DeclState_ == Plain || DeclState_ == FunctionPointerName) LastIdentifier_ = tokenText;
    break;
  case ckSymbol: Symbol(tokenText, lineNo); break;
  default: break; // comments, strings, numbers, directives and blanks
  }
}

void ClassOutline::Symbol(const std::string& symbol, int lineNo) {
  // Whole token texts: "->", "*=" or "::" match nothing here.
  if (symbol.size() != 1) return;
  switch (symbol[0]) {
  case '{':
    if (StructState_ == AfterStruct) {
      nodes_.push_back({LastIdentifier_, {ClassViewFile_, lineNo + 1}, {}});
      CurrentStructNode_ = &nodes_.back();
      StructState_ = InBody;
    }
    break;
  case '*':
    if (DeclState_ == AfterParen) DeclState_ = FunctionPointerName;
    break;
  case '}':
    if (StructState_ == InBody) StructState_ = AfterBody;
    break;
  case ';': EndOfDeclarator(true, lineNo); break;
  case ',': EndOfDeclarator(false, lineNo); break;
  case '(':
    if (StructState_ == InBody && DeclState_ == Plain) DeclState_ = AfterParen;
    break;
  case ')':
    if (DeclState_ == FunctionPointerName) DeclState_ = AfterFunctionPointerName;
    if (StructState_ == AfterStruct) StructState_ = Outside;
    break;
  case '[':
    if (DeclState_ == Plain) DeclState_ = InBrackets;
    break;
  case ']':
    if (DeclState_ == InBrackets) DeclState_ = Plain;
    break;
  default: break;
  }
}

void ClassOutline::EndOfDeclarator(bool semicolon, int lineNo) {
  if (semicolon && DeclState_ != Plain) DeclState_ = Plain;
  switch (StructState_) {
  case AfterStruct: StructState_ = Outside; break;
  case InBody:
    if (DeclState_ == Plain)
      CurrentStructNode_->Members.push_back({LastIdentifier_, {ClassViewFile_, lineNo + 1}, {}});
    break;
  case AfterBody:
    // "typedef struct { ... } name;" names the structure only now.
    if (!LastIdentifier_.empty() && CurrentStructNode_->Caption.empty())
      CurrentStructNode_->Caption = LastIdentifier_;
    StructState_ = Outside;
    break;
  default: break;
  }
}

std::vector<ClassNode> OutlineOfLines(const std::string& path, const std::vector<std::string>& lines) {
  ClassOutline outline;
  outline.ScanFile(path, lines);
  outline.Sort();
  return {outline.Nodes().begin(), outline.Nodes().end()};
}
