#include "EditorColours.h"

#include "CppHighlighter.h"
#include "RegistryStore.h"

#include <QPalette>

namespace {

const char* const kColoursKey = "software\\Tessarin\\Highlighters\\C";
const RegistryRoot kRoot = RegistryRoot::CurrentUser;

// Colours as stored: red in the lowest byte.
constexpr std::uint32_t rgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return red | green << 8 | blue << 16;
}

} // namespace

TokenLooks DefaultTokenLooks(bool darkPalette) {
  TokenLooks looks = TokenLooksOf(CppHighlighter());
  // Colour alone marks them: bold or italic glyphs would not keep to the grid's cells.
  auto mark = [&looks](const char* kind, std::uint32_t foreground) {
    looks[kind].foreground = foreground;
    looks[kind].style = 0;
  };
  mark("Comment", darkPalette ? rgb(0x6A, 0x99, 0x55) : rgb(0x00, 0x80, 0x00));
  mark("Reserved word", darkPalette ? rgb(0x56, 0x9C, 0xD6) : rgb(0x00, 0x00, 0xFF));
  return looks;
}

bool IsDarkPalette(const QPalette& palette) { return palette.color(QPalette::Base).lightness() < 128; }

TokenLooks TokenLooksFor(const Settings& settings, const QPalette& palette) {
  if (!settings.Colours.empty()) return settings.Colours;
  return DefaultTokenLooks(settings.ColoursFollowPalette && IsDarkPalette(palette));
}

TokenLooks TokenLooksOf(const Highlighter& highlighter) {
  TokenLooks looks;
  for (int i = 0; i < highlighter.AttributeCount(); ++i) {
    const HighlightAttributes& attribute = *highlighter.AttributeAt(i);
    looks[attribute.Name()] = {attribute.Foreground(), attribute.Background(), attribute.Style()};
  }
  return looks;
}

void ApplyTokenLooks(Highlighter& highlighter, const TokenLooks& looks) {
  for (int i = 0; i < highlighter.AttributeCount(); ++i) {
    HighlightAttributes& attribute = *highlighter.AttributeAt(i);
    const auto look = looks.find(attribute.Name());
    if (look == looks.end()) continue;
    attribute.SetForeground(look->second.foreground);
    attribute.SetBackground(look->second.background);
    attribute.SetStyle(static_cast<FontStyles>(look->second.style));
  }
}

TokenLooks StoredTokenLooks(RegistryStore& store) {
  CppHighlighter highlighter;
  if (!highlighter.ReadFromRegistry(store, kRoot, kColoursKey)) return {};
  return TokenLooksOf(highlighter);
}

void StoreTokenLooks(RegistryStore& store, const TokenLooks& looks) {
  store.DeleteKey(kRoot, kColoursKey);
  if (looks.empty()) return;
  CppHighlighter highlighter;
  ApplyTokenLooks(highlighter, looks);
  highlighter.WriteToRegistry(store, kRoot, kColoursKey);
}
