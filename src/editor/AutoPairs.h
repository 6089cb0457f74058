// Brackets and quotes that close themselves: an opener typed before a blank, the line's end or a
// closer brings its closer along; typing that closer then steps over it; Backspace between an
// empty pair removes both; Enter between braces puts the closer on a line of its own; an opener
// typed over a selection wraps it. Each is one undo step. Only with eoAutoClosePairs, in insert
// mode.
#pragma once

#include "EditContext.h"

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

class AutoPairs {
public:
  // Types `character`; `type` types it the ordinary way when no pair rule applies.
  void Type(EditContext& context, std::string_view character, const std::function<void()>& type);
  // Backspace; `deleteLastChar` deletes the ordinary way when the caret is not inside an empty pair.
  void Backspace(EditContext& context, const std::function<void()>& deleteLastChar);
  // Enter: true when it opened the braces around the caret, otherwise the caller breaks the line.
  bool OpenBraces(EditContext& context);
  // Another command ran: the closers ahead of the caret are no longer the ones typed.
  void Forget() { closers_.clear(); }

private:
  // Runs `edit`, then keeps the closers after the caret where the edit moved them.
  void Follow(EditContext& context, const std::function<void()>& edit);
  // The closers are still those typed: the text and the caret's line are as they were left.
  void Check(const EditContext& context);
  void Remember(const EditContext& context);
  // The closers at or after `column` move by `by` bytes.
  void Shift(int column, int by);
  void InsertPair(EditContext& context, char opener);
  void Wrap(EditContext& context, char opener);

  // The byte columns of the closers typed along with their openers, on line_, in text order.
  std::vector<int> closers_;
  int line_ = 0;
  std::uint64_t textState_ = 0; // the text's state when they were last followed
};
