// The widget edge between the model's bytes and Qt's text: each byte is shown through the
// Windows-1252 code page, and typed characters are turned back into those bytes.
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

[[nodiscard]] QString BytesToQString(std::string_view bytes);
// The byte that shows `ch`, or nothing when the code page has none.
[[nodiscard]] std::optional<char> CharToByte(QChar ch);
// Characters without a byte are dropped.
[[nodiscard]] std::string QStringToBytes(const QString& text);
