// How the bytes of one line read as characters: as UTF-8 when the whole line is valid UTF-8,
// otherwise each byte as one Windows-1252 character, as the editor shows them. The language
// server counts columns in UTF-16 code units of those characters and reads text as UTF-8.
#pragma once

#include <QString>

#include <string_view>

// The line's characters.
[[nodiscard]] QString LineCharacters(std::string_view line);

// The UTF-16 column (0-based) where the byte column `column` (1-based) lies. A column inside a
// character is that character's; columns outside the line are brought to its ends.
[[nodiscard]] int Utf16Column(std::string_view line, int column);
// The byte column (1-based) where the UTF-16 column `character` (0-based) lies, the same way.
[[nodiscard]] int ByteColumn(std::string_view line, int character);
