// The system clipboard, or the X11 primary selection, as the editor's clipboard port.
#pragma once

#include "ClipboardPort.h"

#include <QClipboard>

// The system clipboard, or the X11 primary selection: plain text and the private block format side
// by side.
class QtClipboard : public ClipboardPort {
public:
  explicit QtClipboard(QClipboard::Mode mode = QClipboard::Clipboard) : mode_(mode) {}
  bool PutText(std::string_view plain, std::string_view block, TextEncoding blockEncoding) override;
  [[nodiscard]] std::optional<std::string> BlockData() const override;
  [[nodiscard]] std::optional<TextEncoding> BlockEncoding() const override;
  [[nodiscard]] std::optional<std::string> PlainText() const override;
  // Plain text goes out with LF line ends rather than CR LF.
  void SetLineFeeds(bool value) { lineFeeds_ = value; }

private:
  QClipboard::Mode mode_;
  bool lineFeeds_ = false;
};
