// The clipboard side of editing: copying, cutting and pasting through a clipboard port (plain
// text beside the private block format that keeps the selection mode), and moving or copying the
// selection by drag and drop.
#pragma once

#include "UserQuestions.h"
#include "kxEditTypes.h"

#include <optional>
#include <string>
#include <string_view>

class TkxEditCore;

class EkxEditError : public TessarinError {
public:
  using TessarinError::TessarinError;
};

// The clipboard as the editor sees it: plain text beside the private block format.
class TkxClipboardPort {
public:
  virtual ~TkxClipboardPort() = default;
  // Replaces the clipboard's contents with both forms; false when it could not.
  virtual bool PutText(std::string_view plain, std::string_view block) = 0;
  [[nodiscard]] virtual std::optional<std::string> BlockData() const = 0;
  [[nodiscard]] virtual std::optional<std::string> PlainText() const = 0;
};

class ClipboardCommands {
public:
  explicit ClipboardCommands(TkxEditCore& core) : core_(core) {}

  void SetClipboard(TkxClipboardPort* clipboard) { clipboard_ = clipboard; }
  // Throws EkxEditError when the clipboard refuses the text.
  void Copy();
  void Cut();
  // Throws EkxEditError for block data it cannot read.
  void Paste() { PasteFrom(clipboard_); }
  // Pastes what `source` holds (another clipboard, such as the X11 primary selection).
  void PasteFrom(TkxClipboardPort* source);
  // Puts the selection in `target` in both forms; false when it refused.
  [[nodiscard]] bool CopyTo(TkxClipboardPort& target) const;
  [[nodiscard]] bool CanPaste() const;
  // Moves (or with `copy` copies) the selected text to `drop`; a drop inside the selection does
  // nothing.
  void Drop(TkxPoint drop, bool copy);

private:
  void PasteBlock(const std::string& data, TkxPoint start);
  void PastePlain(const std::string& text, TkxPoint start);

  TkxEditCore& core_;
  TkxClipboardPort* clipboard_ = nullptr;
};
