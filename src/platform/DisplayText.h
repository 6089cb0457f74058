// Paths and names as the desktop shows them: the bytes of the system's 8-bit encoding turned into
// Qt text and back, so a path shown in a list or a field reads back to the same bytes.
#pragma once

#include <QString>

#include <string>

[[nodiscard]] QString ToDisplay(const std::string& text);
[[nodiscard]] std::string FromDisplay(const QString& text);
// Text for a place of bounded size (a tree node, a line of a message box): at most
// 2 * `keep` + 1 characters, the middle of a longer text given as one ellipsis.
[[nodiscard]] QString ElidedDisplay(const QString& text, qsizetype keep = 80);
[[nodiscard]] QString ElidedDisplay(const std::string& text, qsizetype keep = 80);

// A name shown on a menu item or a button as it is written: each "&" doubled, so that none is
// taken for an access key.
[[nodiscard]] QString LiteralCaption(QString name);
