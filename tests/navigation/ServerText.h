// The text as the language server holds it, changed as the protocol says: what the server does
// with each change the mirror sends.
#pragma once

#include "ContentChange.h"

#include <QString>

inline void ApplyToServerText(QString& text, const ContentChange& change) {
  auto offset = [&](ProtocolPosition position) {
    qsizetype at = 0;
    for (int line = 0; line < position.line; ++line)
      at = text.indexOf(u'\n', at) + 1;
    return at + position.character;
  };
  const qsizetype start = offset(change.range.start), end = offset(change.range.end);
  text.replace(start, end - start, QString::fromStdString(change.text));
}
