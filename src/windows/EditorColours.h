// The editor windows' colours for the kinds of tokens: the defaults for a light or a dark
// palette, the user's own in the highlighter's stored form, and putting either on a highlighter.
#pragma once

#include "Settings.h"

class Highlighter;
class QPalette;
class RegistryStore;

// The defaults for every kind: comments and reserved words in colour, the rest in the editor's
// text colour; for a dark palette, lighter shades that read on it.
[[nodiscard]] TokenLooks DefaultTokenLooks(bool darkPalette);
// A palette whose text area is darker than middle grey.
[[nodiscard]] bool IsDarkPalette(const QPalette& palette);
// What `settings` ask for under `palette`: the user's colours, else the defaults (for the
// palette when the colours follow it, else the light ones).
[[nodiscard]] TokenLooks TokenLooksFor(const Settings& settings, const QPalette& palette);
// Every kind of token the highlighter has, with its look.
[[nodiscard]] TokenLooks TokenLooksOf(const Highlighter& highlighter);
// Gives the highlighter's kinds the looks named in `looks`; the others keep theirs.
void ApplyTokenLooks(Highlighter& highlighter, const TokenLooks& looks);
// The user's colours as the highlighter stores them; none when never set.
[[nodiscard]] TokenLooks StoredTokenLooks(RegistryStore& store);
// Keeps `looks` (none: forgets the user's colours); the store's owner writes the store.
void StoreTokenLooks(RegistryStore& store, const TokenLooks& looks);
