// Arbitrary edits of an open document's mirror, as bytes: each edit's range and text come from
// the data, lines and columns anywhere, text of any bytes. The mirror must never crash, and its
// lines must always be the document the edits make.
#include "DocumentMirror.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  DocumentMirror mirror({"\tint x;", "caf\xC3\xA9"});
  std::size_t at = 0;
  auto next = [&]() -> int { return at < size ? data[at++] : 0; };
  while (at < size) {
    TextEdit edit{{{next() % 8, next() - 2}, {next() % 8, next() - 2}}, {}};
    const auto wanted = static_cast<std::size_t>(next() % 8);
    const std::size_t length = std::min(size - at, wanted);
    edit.text.assign(reinterpret_cast<const char*>(data) + at, length);
    at += length;
    (void)mirror.Apply(edit);
    if (mirror.LineCount() < 1) std::abort();
    (void)mirror.FromProtocol(mirror.ToProtocol({next(), next()}));
  }
  (void)mirror.Characters();
  return 0;
}
