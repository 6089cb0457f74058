// The clipboard as the editor sees it: plain text beside the private block format that keeps the
// selection mode, and the error its commands raise when the clipboard fails them.
#pragma once

#include "TextEncoding.h"
#include "UserQuestions.h"

#include <optional>
#include <string>
#include <string_view>

class EditorError : public TessarinError {
public:
  using TessarinError::TessarinError;
};

// The refusal of text with a character that `encoding` cannot hold.
[[nodiscard]] inline std::string CannotHoldMessage(TextEncoding encoding) {
  return std::string("The text holds characters that ") + EncodingName(encoding) +
         " cannot hold; it was not inserted.";
}

// The plain text is UTF-8, whatever the document's encoding.
class ClipboardPort {
public:
  virtual ~ClipboardPort() = default;
  // Replaces the clipboard's contents with both forms, the block holding bytes in `blockEncoding`;
  // false when it could not.
  virtual bool PutText(std::string_view plain, std::string_view block, TextEncoding blockEncoding) = 0;
  [[nodiscard]] virtual std::optional<std::string> BlockData() const = 0;
  // The encoding of the block's bytes; none when a program that does not say put the block there.
  [[nodiscard]] virtual std::optional<TextEncoding> BlockEncoding() const { return std::nullopt; }
  [[nodiscard]] virtual std::optional<std::string> PlainText() const = 0;
};
