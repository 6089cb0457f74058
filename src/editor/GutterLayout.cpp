// Gutter options and line-number layout.
#include "GutterLayout.h"

#include <algorithm>

void GutterLayout::SetDigitCount(int value) { Set(digitCount_, std::clamp(value, 2, 12)); }

int GutterLayout::DigitsInUse(int lineCount) const {
  if (!visible_ || !showLineNumbers_) return digitCount_;
  int digits = 1;
  for (int largest = zeroStart_ ? lineCount - 1 : lineCount; largest >= 10; largest /= 10)
    ++digits;
  return std::max(digitCount_, digits);
}

int GutterLayout::RealGutterWidth(int charWidth, int lineCount) const {
  if (!visible_) return 0;
  if (showLineNumbers_)
    return leftOffset_ + rightOffset_ + charWidth * DigitsInUse(lineCount) + 2 + FoldColumnWidth(charWidth);
  return width_ + FoldColumnWidth(charWidth);
}

std::string GutterLayout::FormatLineNumber(int line, int lineCount) const {
  std::string number = std::to_string(zeroStart_ ? line - 1 : line);
  const std::size_t digits = static_cast<std::size_t>(DigitsInUse(lineCount));
  if (number.size() >= digits) return number;
  // The padding covers all but the last position, so a lone digit is never replaced.
  return std::string(digits - number.size(), leadingZeros_ ? '0' : ' ') + number;
}
