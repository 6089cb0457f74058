// Positions count UTF-16 code units; the texts are UTF-8, so a walk through a change's text
// counts its characters the server's way: four-byte sequences are two units, continuation bytes
// none.
#include "ContentChange.h"

#include <climits>
#include <compare>

namespace {

std::strong_ordering Compare(ProtocolPosition a, ProtocolPosition b) {
  if (a.line != b.line) return a.line <=> b.line;
  return a.character <=> b.character;
}
bool operator<(ProtocolPosition a, ProtocolPosition b) { return Compare(a, b) < 0; }
bool operator<=(ProtocolPosition a, ProtocolPosition b) { return Compare(a, b) <= 0; }

int Utf16Units(unsigned char byte) {
  if ((byte & 0xC0) == 0x80) return 0;
  return byte >= 0xF0 ? 2 : 1;
}

// Walks `text`, put in at `start`, up to the position `stop` or its end: where it stopped, and
// the byte offset there.
struct Walk {
  ProtocolPosition at;
  std::size_t offset = 0;
};
Walk WalkText(const std::string& text, ProtocolPosition start, ProtocolPosition stop) {
  Walk walk{start, 0};
  for (; walk.offset < text.size() && walk.at < stop; ++walk.offset) {
    const auto byte = static_cast<unsigned char>(text[walk.offset]);
    if (byte == '\n')
      walk.at = {walk.at.line + 1, 0};
    else
      walk.at.character += Utf16Units(byte);
  }
  // A character's continuation bytes belong with it.
  while (walk.offset < text.size() && Utf16Units(static_cast<unsigned char>(text[walk.offset])) == 0)
    ++walk.offset;
  return walk;
}

ProtocolPosition EndOf(const std::string& text, ProtocolPosition start) {
  return WalkText(text, start, {INT_MAX, INT_MAX}).at;
}

// Where `position`, after the end `newEnd` of a change whose range ended at `oldEnd`, was before
// the change.
ProtocolPosition Before(ProtocolPosition position, ProtocolPosition newEnd, ProtocolPosition oldEnd) {
  if (position.line == newEnd.line)
    return {oldEnd.line, oldEnd.character + position.character - newEnd.character};
  return {oldEnd.line + position.line - newEnd.line, position.character};
}

} // namespace

bool MergeInto(ContentChange& earlier, const ContentChange& later) {
  const ProtocolPosition start = earlier.range.start;
  const ProtocolPosition end = EndOf(earlier.text, start); // of the earlier change's text
  const ProtocolRange& cut = later.range;
  if (end < cut.start || cut.end < start) return false;
  std::string text;
  if (start < cut.start) text = earlier.text.substr(0, WalkText(earlier.text, start, cut.start).offset);
  text += later.text;
  if (cut.end < end) text += earlier.text.substr(WalkText(earlier.text, start, cut.end).offset);
  earlier.range = {cut.start < start ? cut.start : start,
                   end <= cut.end ? Before(cut.end, end, earlier.range.end) : earlier.range.end};
  earlier.text = std::move(text);
  return true;
}
