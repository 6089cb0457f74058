#include "CppHighlighter.h"
#include "DocumentWindow.h"
#include "EditorColours.h"
#include "RegistryStore.h"
#include "ScriptedQuestions.h"
#include "TempDir.h"
#include "TextDrawer.h"

#include <QApplication>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

QPalette paletteOn(const QColor& base) {
  QPalette palette = QApplication::palette();
  palette.setColor(QPalette::Base, base);
  palette.setColor(QPalette::Text, base.lightness() < 128 ? QColor(0xD4, 0xD4, 0xD4) : QColor(Qt::black));
  return palette;
}

// The brightness the eye sees, 0 to 255.
double luminance(const QColor& colour) {
  return 0.2126 * colour.red() + 0.7152 * colour.green() + 0.0722 * colour.blue();
}

// How far a colour stands out from the palette's base in brightness.
double contrast(std::uint32_t colour, const QPalette& palette) {
  return std::abs(luminance(ColorToQColor(colour, palette)) - luminance(palette.color(QPalette::Base)));
}

} // namespace

// The defaults name every kind of token, and the coloured ones read on their palette: the light
// ones on white, the dark ones on a dark base, where the light ones would not.
TEST(EditorColours, TheDefaultsReadOnALightAndOnADarkPalette) {
  const QPalette light = paletteOn(Qt::white);
  const QPalette dark = paletteOn(QColor(0x1E, 0x1E, 0x1E));
  EXPECT_FALSE(IsDarkPalette(light));
  EXPECT_TRUE(IsDarkPalette(dark));
  const TokenLooks forLight = DefaultTokenLooks(false);
  const TokenLooks forDark = DefaultTokenLooks(true);
  EXPECT_EQ(forLight.size(), TokenLooksOf(CppHighlighter()).size());
  for (const char* kind : {"Comment", "Reserved word"}) {
    EXPECT_GE(contrast(forLight.at(kind).foreground, light), 100) << kind;
    EXPECT_GE(contrast(forDark.at(kind).foreground, dark), 80) << kind;
    EXPECT_LT(contrast(forLight.at(kind).foreground, dark), 80)
        << kind << ": the light colour is too dark there";
  }
}

// A document window takes the colours for the palette it shows on under the desktop's
// conventions, the light ones under the classic ones, and the user's own over either.
TEST(EditorColours, AWindowFollowsThePaletteUnlessTheUserChose) {
  ScriptedQuestions questions;
  const QPalette kept = QApplication::palette();
  QApplication::setPalette(paletteOn(QColor(0x1E, 0x1E, 0x1E)));
  Settings settings;
  settings.ColoursFollowPalette = true;
  auto comment = [&settings, &questions] {
    DocumentWindow window(settings, questions);
    return window.CodeHighlighter->CommentAttri().Foreground();
  };
  EXPECT_EQ(comment(), DefaultTokenLooks(true).at("Comment").foreground);
  settings.ColoursFollowPalette = false;
  EXPECT_EQ(comment(), DefaultTokenLooks(false).at("Comment").foreground);
  settings.Colours = DefaultTokenLooks(false);
  settings.Colours["Comment"].foreground = 0x00123456;
  settings.ColoursFollowPalette = true;
  EXPECT_EQ(comment(), 0x00123456u);
  QApplication::setPalette(kept);
}

// The user's colours are kept in the highlighter's stored form, and forgetting them brings the
// defaults back.
TEST(EditorColours, TheUsersColoursAreKeptAndForgotten) {
  TempDir dir;
  RegistryStore store(dir.file("registry"));
  EXPECT_TRUE(StoredTokenLooks(store).empty());
  TokenLooks chosen = DefaultTokenLooks(false);
  chosen["String"] = {0x000000FF, 0x00FFFFFF, 1};
  StoreTokenLooks(store, chosen);
  ASSERT_EQ(store.Save(), "");
  RegistryStore next(dir.file("registry"));
  next.Load();
  EXPECT_EQ(StoredTokenLooks(next), chosen);
  StoreTokenLooks(next, {});
  EXPECT_TRUE(StoredTokenLooks(next).empty());
}
