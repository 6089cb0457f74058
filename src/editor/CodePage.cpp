// The Windows-1252 side of the widget edge.
#include "CodePage.h"

#include "TextEncoding.h"

QString BytesToQString(std::string_view bytes) {
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* out = text.data();
  for (std::size_t i = 0; i < bytes.size(); ++i)
    *out++ = QChar(static_cast<char16_t>(CharCode(bytes, i, TextEncoding::Windows1252)));
  return text;
}

std::optional<char> CharToByte(QChar ch) {
  const std::optional<std::string> bytes = EncodeChar(ch.unicode(), TextEncoding::Windows1252);
  if (!bytes) return std::nullopt;
  return bytes->front();
}

std::string QStringToBytes(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  for (QChar ch : text)
    if (std::optional<char> byte = CharToByte(ch)) bytes += *byte;
  return bytes;
}
