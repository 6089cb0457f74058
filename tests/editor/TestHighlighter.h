// A small highlighter for the editor's tests: words, blanks, the keyword "int", other symbols and
// /* block comments */ that span lines (range 1 inside a comment). It counts the lines it scans.
#pragma once

#include "Highlighter.h"

#include <memory>

class TestHighlighter : public Highlighter {
public:
  enum Kind { Blank, Word, Keyword, Comment, Symbol, End };

  TestHighlighter() {
    blank_ = AddAttribute(std::make_unique<HighlightAttributes>("Space"));
    comment_ = AddAttribute(std::make_unique<HighlightAttributes>("Comment"));
    keyword_ = AddAttribute(std::make_unique<HighlightAttributes>("Reserved word"));
    comment_->SetForeground(0x00008000); // green
    keyword_->SetForeground(0x00FF0000); // blue
    keyword_->SetStyle(fsBold);
    SetAttributesOnChange([this](HighlightAttributes& a) { AttributeChanged(a); });
  }

  int linesBegun = 0;
  HighlightAttributes* blank_;
  HighlightAttributes* comment_;
  HighlightAttributes* keyword_;

  HighlightAttributes* DefaultAttribute(int index) const override {
    switch (index) {
    case 0: return blank_;
    case 1: return comment_;
    case 2: return keyword_;
    default: return nullptr;
    }
  }
  void NextToSink() override { NextToken(); }
  bool AtLineEnd() const override { return kind_ == End; }
  HighlightRange CurrentRange() const override { return inComment_ ? 1 : 0; }
  std::string TokenText() const override { return std::string(text_.substr(start_, end_ - start_)); }
  std::size_t TokenLength() const override { return end_ - start_; }
  HighlightAttributes* TokenAttribute() const override {
    switch (kind_) {
    case Blank: return blank_;
    case Keyword: return keyword_;
    case Comment: return comment_;
    default: return nullptr;
    }
  }
  int TokenKind() const override { return kind_; }
  int TokenStart() const override { return static_cast<int>(start_); }
  void NextToken() override {
    start_ = end_;
    if (start_ >= text_.size()) {
      kind_ = End;
      return;
    }
    if (inComment_ || text_.substr(start_, 2) == "/*") {
      const std::size_t from = inComment_ ? start_ : start_ + 2;
      const std::size_t close = text_.find("*/", from);
      inComment_ = close == std::string_view::npos;
      end_ = inComment_ ? text_.size() : close + 2;
      kind_ = Comment;
      return;
    }
    auto is = [&](std::size_t i, auto predicate) { return i < text_.size() && predicate(text_[i]); };
    auto blank = [](char c) { return c == ' '; };
    auto word = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
    if (is(start_, blank)) {
      while (is(end_, blank))
        ++end_;
      kind_ = Blank;
    } else if (is(start_, word)) {
      while (is(end_, word))
        ++end_;
      kind_ = text_.substr(start_, end_ - start_) == "int" ? Keyword : Word;
    } else {
      ++end_;
      kind_ = Symbol;
    }
  }
  void BeginLine(std::string_view text, int) override {
    ++linesBegun;
    text_ = text;
    start_ = end_ = 0;
    kind_ = Blank;
    end_ = 0;
    NextToken();
  }
  void BeginLineForSink(std::string_view text) override { BeginLine(text, 0); }
  void RestoreRange(HighlightRange range) override { inComment_ = range == 1; }
  void ClearRange() override { inComment_ = false; }
  WordCharSet WordChars() const override {
    WordCharSet chars;
    for (int c = 0; c < 256; ++c)
      if (std::isalnum(c) || c == '_') chars.set(static_cast<std::size_t>(c));
    return chars;
  }

private:
  std::string_view text_;
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  Kind kind_ = End;
  bool inComment_ = false;
};
