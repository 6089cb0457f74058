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
  // Replaces the clipboard's contents with both forms; false when it could not.
  virtual bool PutText(std::string_view plain, std::string_view block) = 0;
  [[nodiscard]] virtual std::optional<std::string> BlockData() const = 0;
  [[nodiscard]] virtual std::optional<std::string> PlainText() const = 0;
};
