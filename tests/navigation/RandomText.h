// Random bytes for lines as modders' files hold them: ASCII code with tabs, UTF-8 characters of
// every length, and the lone high bytes of Windows-1252 text or of a character cut in two.
#pragma once

#include <random>
#include <string>

class RandomText {
public:
  explicit RandomText(unsigned seed) : random_(seed) {}

  int Below(int bound) { return static_cast<int>(random_() % static_cast<unsigned>(bound)); }

  // A piece of text: one character or stray byte; a line break only when `breaks` is set.
  std::string Piece(bool breaks) {
    static const char* const pieces[] = {"a",
                                         "Z",
                                         "_",
                                         " ",
                                         "\t",
                                         "(",
                                         "\xC3\xA9",
                                         "\xE2\x82\xAC",
                                         "\xF0\x9F\x98\x80",
                                         "\xF0\x9F\x98\x81",
                                         "\xF0\x9F\xA8\x80",
                                         "\xE9",
                                         "\x80",
                                         "\xC3",
                                         "\xA9",
                                         "\xED\xA0\x80",
                                         "\xC0\xAF",
                                         "\xF4\x90\x80\x80"};
    if (breaks && Below(8) == 0) return "\n";
    return pieces[Below(sizeof(pieces) / sizeof(*pieces))];
  }

  std::string Text(int pieces, bool breaks) {
    std::string text;
    for (int i = 0; i < pieces; ++i)
      text += Piece(breaks);
    return text;
  }

  // Mostly valid UTF-8 lines, so both ways of reading a line are met often.
  std::string Line(int most) {
    std::string line = Text(Below(most + 1), false);
    if (Below(2) == 0) {
      std::string valid;
      for (char c : line)
        if (static_cast<unsigned char>(c) < 0x80) valid += c;
      return valid + (Below(2) ? "\xC3\xA9" : "\xF0\x9F\x98\x80");
    }
    return line;
  }

private:
  std::mt19937 random_;
};
