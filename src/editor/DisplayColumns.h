// Where a line's bytes stand on screen: every character takes one column except a tab, which
// advances to the next multiple of the tab width, and a wide East Asian character, which takes
// two; the further bytes of a UTF-8 character stand in its first column. Byte columns and display columns are
// 1-based; past a line's end both go on one for one.
#pragma once

#include "TextEncoding.h"

#include <string_view>
#include <utility>
#include <vector>

// The cells a character other than a tab takes: 2 for East Asian Wide and Fullwidth, else 1.
[[nodiscard]] int CharCells(char32_t code);

// The display column of byte column `byteColumn`.
[[nodiscard]] int DisplayColumn(std::string_view line, int tabWidth, int byteColumn, TextEncoding encoding);

// The display columns of byte columns 1 ... the line's length + 1, in one pass.
[[nodiscard]] std::vector<int> DisplayColumns(std::string_view line, int tabWidth, TextEncoding encoding);

// The byte column whose left edge lies nearest to `cells` display cells from the line's start: a
// position inside a tab lands on the tab's nearer edge.
[[nodiscard]] int NearestByteColumn(std::string_view line, int tabWidth, double cells, TextEncoding encoding);

// The byte columns [first, last) of the bytes whose display columns start in [left, right): a tab
// that the block cuts through belongs to it when it starts inside, and is left whole otherwise.
// Past the line's end the columns go on as blanks would.
[[nodiscard]] std::pair<int, int> ColumnBlockBytes(std::string_view line, int tabWidth, int left, int right,
                                                   TextEncoding encoding);
