// Arbitrary edits of an open document's mirror, as bytes: each edit's range and text come from
// the data, lines and columns anywhere, text of any bytes. The mirror must never crash, and the
// server's text, changed as the mirror says (one by one, and folded together as they are sent),
// must always be the mirror's.
#include "../tests/navigation/ServerText.h"
#include "DocumentMirror.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DocumentMirror mirror({"\tint x;", "caf\xC3\xA9"});
  const QString opened = mirror.Characters();
  QString server = opened;
  std::vector<ContentChange> sent;
  std::size_t at = 0;
  auto next = [&]() -> int { return at < size ? data[at++] : 0; };
  while (at < size) {
    TextEdit edit{{{next() % 8, next() - 2}, {next() % 8, next() - 2}}, {}};
    const auto wanted = static_cast<std::size_t>(next() % 8);
    const std::size_t length = std::min(size - at, wanted);
    edit.text.assign(reinterpret_cast<const char*>(data) + at, length);
    at += length;
    const ContentChange change = mirror.Apply(edit);
    if (mirror.LineCount() < 1) std::abort();
    ApplyToServerText(server, change);
    if (server != mirror.Characters()) std::abort();
    if (sent.empty() || !MergeInto(sent.back(), change)) sent.push_back(change);
    (void)mirror.FromProtocol(mirror.ToProtocol({next(), next()}));
  }
  QString replayed = opened;
  for (const ContentChange& change : sent)
    ApplyToServerText(replayed, change);
  if (replayed != mirror.Characters()) std::abort();
  return 0;
}
