// The clipboard side of editing: copying, cutting and pasting through a clipboard port (plain
// text beside the private block format that keeps the selection mode), and moving or copying the
// selection by drag and drop.
#pragma once

#include "EditorTypes.h"
#include "UserQuestions.h"

#include <optional>
#include <string>
#include <string_view>

class TextEditor;

class EditorError : public TessarinError {
public:
  using TessarinError::TessarinError;
};

// The clipboard as the editor sees it: plain text beside the private block format.
class ClipboardPort {
public:
  virtual ~ClipboardPort() = default;
  // Replaces the clipboard's contents with both forms; false when it could not.
  virtual bool PutText(std::string_view plain, std::string_view block) = 0;
  [[nodiscard]] virtual std::optional<std::string> BlockData() const = 0;
  [[nodiscard]] virtual std::optional<std::string> PlainText() const = 0;
};

class ClipboardCommands {
public:
  explicit ClipboardCommands(TextEditor& core) : core_(core) {}

  void SetClipboard(ClipboardPort* clipboard) { clipboard_ = clipboard; }
  // Throws EditorError when the clipboard refuses the text.
  void Copy();
  void Cut();
  // Throws EditorError for block data it cannot read.
  void Paste() { PasteFrom(clipboard_); }
  // Pastes what `source` holds (another clipboard, such as the X11 primary selection).
  void PasteFrom(ClipboardPort* source);
  // Puts the selection in `target` in both forms; false when it refused.
  [[nodiscard]] bool CopyTo(ClipboardPort& target) const;
  [[nodiscard]] bool CanPaste() const;
  // Moves (or with `copy` copies) the selected text to `drop`; a drop inside the selection does
  // nothing.
  void Drop(TextPoint drop, bool copy);

private:
  void PasteBlock(const std::string& data, TextPoint start);
  void PastePlain(const std::string& text, TextPoint start);

  TextEditor& core_;
  ClipboardPort* clipboard_ = nullptr;
};
