// A change to the language server's copy of a document, as the protocol sends it.
#pragma once

#include "TextPosition.h"

#include <string>

// The range in the text before the change, and the new text in UTF-8 (always valid UTF-8).
struct ContentChange {
  ProtocolRange range;
  std::string text;
  bool operator==(const ContentChange&) const = default;
};

// Folds `later`, made to the text `earlier` left, into `earlier` when the two touch or overlap,
// so that the one change does what both did; false (and `earlier` untouched) when they lie apart.
// Typing and taking back around one place then reaches the server as one change.
bool MergeInto(ContentChange& earlier, const ContentChange& later);
