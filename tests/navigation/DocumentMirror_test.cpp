// The server's copy of a document stays the editor's text: random edits, applied to the mirror,
// come back as changes that turn the server's UTF-16 text into the mirror's, whatever the bytes.
#include "DocumentMirror.h"
#include "RandomText.h"
#include "ServerText.h"

#include <gtest/gtest.h>

namespace {

std::string Joined(const DocumentMirror& mirror) {
  std::string text;
  for (int line = 1; line <= mirror.LineCount(); ++line)
    text += std::string(mirror.Line(line)) + (line < mirror.LineCount() ? "\n" : "");
  return text;
}

std::size_t ByteOffset(const std::string& text, TextPosition position) {
  std::size_t at = 0;
  for (int line = 1; line < position.line; ++line)
    at = text.find('\n', at) + 1;
  return at + static_cast<std::size_t>(position.column - 1);
}

} // namespace

TEST(DocumentMirror, TypingSendsOnlyWhatChanged) {
  DocumentMirror mirror({"\tint x;", "caf\xC3\xA9"});
  EXPECT_EQ(mirror.Characters(), QString::fromUtf8("\tint x;\ncafé"));
  EXPECT_EQ(mirror.Apply({{{1, 6}, {1, 6}}, "y"}), (ContentChange{{{0, 5}, {0, 5}}, "y"}));
  EXPECT_EQ(mirror.Apply({{{2, 6}, {2, 6}}, "\n"}), (ContentChange{{{1, 4}, {1, 4}}, "\n"}));
  EXPECT_EQ(mirror.Version(), 3);
  // A Windows-1252 byte turns the line's "é" into two characters: the change says so.
  EXPECT_EQ(mirror.Apply({{{2, 1}, {2, 1}}, "\x80"}), (ContentChange{{{1, 0}, {1, 4}}, "€cafÃ©"}));
  EXPECT_EQ(mirror.Apply({{{9, 1}, {1, 1}}, ""}).range, (ProtocolRange{{0, 0}, {2, 0}}))
      << "a range past the end, backwards, is clamped and put in order";
  EXPECT_EQ(mirror.LineCount(), 1);
  EXPECT_EQ(mirror.Line(1), "");
}

TEST(DocumentMirror, RandomEditsKeepTheServersTextTheMirrors) {
  RandomText random(23);
  for (int document = 0; document < 60; ++document) {
    std::vector<std::string> lines;
    for (int i = random.Below(6); i >= 0; --i)
      lines.push_back(random.Line(10));
    DocumentMirror mirror(lines);
    std::string bytes = Joined(mirror);
    QString server = mirror.Characters();
    for (int step = 0; step < 80; ++step) {
      auto position = [&] {
        return TextPosition{random.Below(mirror.LineCount() + 2), random.Below(14) - 1};
      };
      const TextEdit edit{{position(), position()}, random.Text(random.Below(5), true)};
      TextPosition start = mirror.Clamped(edit.range.start), end = mirror.Clamped(edit.range.end);
      if (end < start) std::swap(start, end);
      bytes.replace(ByteOffset(bytes, start), ByteOffset(bytes, end) - ByteOffset(bytes, start), edit.text);

      ApplyToServerText(server, mirror.Apply(edit));
      ASSERT_EQ(Joined(mirror), bytes) << document << " step " << step;
      ASSERT_EQ(server, mirror.Characters()) << document << " step " << step;
      ASSERT_EQ(mirror.Version(), step + 2);
      // A position goes to the protocol and comes back where it was, or to its character's start.
      const TextPosition at = mirror.Clamped(position());
      const TextPosition back = mirror.FromProtocol(mirror.ToProtocol(at));
      ASSERT_EQ(back.line, at.line);
      ASSERT_LE(back.column, at.column);
      ASSERT_EQ(mirror.ToProtocol(back), mirror.ToProtocol(at));
    }
  }
}

// Changes folded together as they are sent do, applied once, what they did one by one: random
// edits, most of them near the one before (typing, taking back, selecting over what was typed).
TEST(ContentChange, MergedChangesDoWhatTheyDidOneByOne) {
  RandomText random(31);
  int merges = 0, apart = 0;
  for (int document = 0; document < 200; ++document) {
    QString text = QString::fromStdString(random.Text(random.Below(40), true));
    const QString base = text;
    auto positionOf = [&text](qsizetype offset) {
      const QStringView before = QStringView(text).left(offset);
      return ProtocolPosition{static_cast<int>(before.count(u'\n')),
                              static_cast<int>(offset - (before.lastIndexOf(u'\n') + 1))};
    };
    auto whole = [&text](qsizetype offset) { // not inside a surrogate pair
      offset = std::clamp<qsizetype>(offset, 0, text.size());
      return offset > 0 && offset < text.size() && text[offset].isLowSurrogate() ? offset - 1 : offset;
    };
    std::vector<ContentChange> sent;
    qsizetype last = 0;
    for (int step = 0; step < 20; ++step) {
      const qsizetype start = whole(random.Below(4) ? last + random.Below(5) - 2
                                                    : random.Below(static_cast<int>(text.size()) + 1));
      const qsizetype end = whole(start + (random.Below(3) ? 0 : random.Below(4)));
      const std::string typed = QString::fromStdString(random.Text(random.Below(3), true)).toStdString();
      const ContentChange change{{positionOf(start), positionOf(end)}, typed};
      ApplyToServerText(text, change);
      last = start + QString::fromStdString(typed).size();
      if (!sent.empty() && MergeInto(sent.back(), change))
        ++merges;
      else
        sent.push_back(change), ++apart;

      QString replayed = base;
      for (const ContentChange& one : sent)
        ApplyToServerText(replayed, one);
      ASSERT_EQ(replayed, text) << "document " << document << " step " << step;
    }
  }
  EXPECT_GT(merges, 1000);
  EXPECT_GT(apart, 200);
}
