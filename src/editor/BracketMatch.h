// Finding the bracket that matches another: forward from an opening one, backward from a closing
// one, across lines, counting nesting.
#pragma once

#include "EditorTypes.h"

#include <climits>
#include <optional>

class TextDocument;

// The partner of the bracket at `at` (one of ( ) [ ] { }); nothing when there is no bracket or
// its partner lies more than `lineLimit` lines away.
[[nodiscard]] std::optional<TextPoint> MatchingBracket(const TextDocument& document, TextPoint at,
                                                       int lineLimit = INT_MAX);
