// The navigator's copy of an editor document stays the document's text through random
// insertions, deletions, grouped steps, undo, redo and reloads, one edit per operation.
#include "DocumentFeed.h"
#include "RandomText.h"
#include "RecordingNavigator.h"
#include "TextDocument.h"

#include <gtest/gtest.h>

namespace {

TextPoint RandomPoint(RandomText& random, const TextDocument& document) {
  const int line = 1 + random.Below(document.LineCount());
  const int length = static_cast<int>(document.LineText(line).size());
  return {1 + random.Below(length + 1), line};
}

void RandomChange(RandomText& random, TextDocument& document) {
  switch (random.Below(10)) {
  case 0: document.Undo(); break;
  case 1: document.Redo(); break;
  case 2: document.Load({random.Line(8), random.Line(8)}); break;
  case 3:
  case 4:
  case 5: {
    document.Insert(RandomPoint(random, document), random.Text(1 + random.Below(6), true));
    break;
  }
  default: {
    TextPoint from = RandomPoint(random, document), to = RandomPoint(random, document);
    if (PointBefore(to, from)) std::swap(from, to);
    document.Delete(from, to);
  }
  }
}

} // namespace

TEST(DocumentFeed, TheNavigatorHoldsTheDocumentsTextAfterEveryOperation) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    RandomText random(seed);
    TextDocument document;
    document.Load({"int x;", "\tfoo();", ""});
    auto held = std::make_shared<RecordingNavigator>();
    RecordingNavigator& navigator = *held;
    {
      DocumentFeed feed(document, held, "/mod/g_main.c");
      for (int step = 0; step < 60; ++step) {
        if (random.Below(4) == 0) {
          UndoStep group(document, UndoKind::Insertion, {1, 1});
          for (int change = random.Below(4); change >= 0; --change)
            RandomChange(random, document);
        } else {
          RandomChange(random, document);
        }
        ASSERT_EQ(navigator.Lines("/mod/g_main.c"), document.Lines().Strings()) << "seed " << seed;
      }
    }
    EXPECT_TRUE(navigator.documents.empty());
  }
}
