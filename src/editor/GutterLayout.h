// The gutter's layout options and the line-number arithmetic built on them.
#pragma once

#include "EditorTypes.h"

#include <functional>
#include <string>

class GutterLayout {
public:
  // Fired by every setter whose value changed.
  std::function<void()> OnChange;

  [[nodiscard]] ColorValue Color() const { return color_; }
  [[nodiscard]] int DigitCount() const { return digitCount_; }
  [[nodiscard]] bool LeadingZeros() const { return leadingZeros_; }
  [[nodiscard]] int LeftOffset() const { return leftOffset_; }
  [[nodiscard]] int RightOffset() const { return rightOffset_; }
  [[nodiscard]] bool ShowLineNumbers() const { return showLineNumbers_; }
  // A column of fold toggles at the gutter's right, before its edge.
  [[nodiscard]] bool ShowFolds() const { return showFolds_; }
  [[nodiscard]] bool UseFontStyle() const { return useFontStyle_; }
  [[nodiscard]] bool Visible() const { return visible_; }
  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] bool ZeroStart() const { return zeroStart_; }

  void SetColor(ColorValue value) { Set(color_, value); }
  void SetDigitCount(int value); // limited to 2 .. 12
  void SetLeadingZeros(bool value) { Set(leadingZeros_, value); }
  void SetLeftOffset(int value) { Set(leftOffset_, value < 0 ? 0 : value); }
  void SetRightOffset(int value) { Set(rightOffset_, value < 0 ? 0 : value); }
  void SetShowLineNumbers(bool value) { Set(showLineNumbers_, value); }
  void SetShowFolds(bool value) { Set(showFolds_, value); }
  void SetUseFontStyle(bool value) { Set(useFontStyle_, value); }
  void SetVisible(bool value) { Set(visible_, value); }
  void SetWidth(int value) { Set(width_, value < 0 ? 0 : value); }
  void SetZeroStart(bool value) { Set(zeroStart_, value); }

  // Digits the number field uses for a text of `lineCount` lines: DigitCount, or as many as the
  // highest number needs, so no number is ever cut.
  [[nodiscard]] int DigitsInUse(int lineCount) const;
  // Pixel width of the fold toggles' column (0 when it is not shown).
  [[nodiscard]] int FoldColumnWidth(int charWidth) const {
    return visible_ && showFolds_ ? 2 * charWidth : 0;
  }
  // Pixel width of the whole gutter.
  [[nodiscard]] int RealGutterWidth(int charWidth, int lineCount) const;
  // The number shown beside `line` (1-based), right-aligned in the field.
  [[nodiscard]] std::string FormatLineNumber(int line, int lineCount) const;

private:
  template <typename T> void Set(T& member, T value) {
    if (member == value) return;
    member = value;
    if (OnChange) OnChange();
  }

  ColorValue color_ = clBtnFace;
  int digitCount_ = 4;
  bool leadingZeros_ = false;
  int leftOffset_ = 16;
  int rightOffset_ = 2;
  bool showLineNumbers_ = false;
  bool showFolds_ = false;
  bool useFontStyle_ = false;
  bool visible_ = true;
  int width_ = 30;
  bool zeroStart_ = false;
};
