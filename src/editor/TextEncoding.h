// How a document's bytes read as characters: as UTF-8 when the file was valid UTF-8, otherwise
// each byte as one Windows-1252 character. The document keeps bytes either way, so saving writes
// back exactly what was read. In a UTF-8 text a byte that belongs to no valid sequence is a
// character of its own, so every text splits into characters.
#pragma once

#include <optional>
#include <string>
#include <string_view>

enum class TextEncoding { Windows1252, Utf8 };

[[nodiscard]] const char* EncodingName(TextEncoding encoding);
// Whether the bytes are valid UTF-8 throughout.
[[nodiscard]] bool ReadsAsUtf8(std::string_view bytes);

// The number of bytes of the character that starts at byte index `at` (1 at or past the end).
[[nodiscard]] int CharLength(std::string_view line, std::size_t at, TextEncoding encoding);
// 1-based byte columns of character starts: the start of the character holding `column`, the
// start after it and the start before it. Past the line's end every column is a character.
[[nodiscard]] int CharStartColumn(std::string_view line, int column, TextEncoding encoding);
[[nodiscard]] int NextCharColumn(std::string_view line, int column, TextEncoding encoding);
[[nodiscard]] int PrevCharColumn(std::string_view line, int column, TextEncoding encoding);
// The column `count` characters on from `column` (back when negative), not before column 1.
[[nodiscard]] int StepChars(std::string_view line, int column, int count, TextEncoding encoding);
// The 1-based character column of byte column `column`.
[[nodiscard]] int CharColumn(std::string_view line, int column, TextEncoding encoding);

// The Unicode of the character that starts at `at`; a byte outside UTF-8 reads as Windows-1252.
[[nodiscard]] char32_t CharCode(std::string_view line, std::size_t at, TextEncoding encoding);
// The bytes that hold `code`, or nothing when the encoding has none for it.
[[nodiscard]] std::optional<std::string> EncodeChar(char32_t code, TextEncoding encoding);
// The text as UTF-8, as the clipboard carries it.
[[nodiscard]] std::string ToUtf8(std::string_view bytes, TextEncoding encoding);
// UTF-8 text (bytes outside UTF-8 read as Windows-1252) in `encoding`; nothing when a character
// has no bytes there.
[[nodiscard]] std::optional<std::string> FromUtf8(std::string_view text, TextEncoding encoding);
