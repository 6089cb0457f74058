// The editor's private clipboard format, which keeps the selection mode of copied text: one
// byte holding the mode, the text, a NUL. Also the conversion applied to plain text pasted from
// other programs.
#pragma once

#include "EditorTypes.h"

#include <optional>
#include <string>
#include <string_view>

inline constexpr const char* kBlockFormatName = "kxEdit Control Block Type";
// The clipboard names formats by MIME type; on Windows this type stands for the registered
// format of the name above, so other programs that know it still understand us.
#ifdef _WIN32
inline constexpr const char* kBlockMimeType =
    "application/x-qt-windows-mime;value=\"kxEdit Control Block Type\"";
#else
inline constexpr const char* kBlockMimeType = "application/x-kxedit-control-block-type";
#endif
// Beside the block, the encoding of its bytes ("UTF-8" or "Windows-1252"), so that a block goes
// from a document in one to a document in the other as its characters.
inline constexpr const char* kBlockEncodingMimeType = "application/x-tessarin-block-encoding";

struct ClipboardBlock {
  SelectionMode Mode = SelectionMode::Normal;
  std::string Text;
  bool operator==(const ClipboardBlock&) const = default;
};

[[nodiscard]] std::string EncodeClipboardBlock(SelectionMode mode, std::string_view text);
// Nothing for data without a valid mode byte. The text is all before the closing NUL (NULs within
// are text); data cut short without its NUL keeps what is there.
[[nodiscard]] std::optional<ClipboardBlock> DecodeClipboardBlock(std::string_view data);

// Plain text as pasted: every line end (CR LF, CR, LF) becomes CR LF and the last line gets one
// too; tabs expand to stops every 4 columns unless they are kept.
[[nodiscard]] std::string ConvertPastedPlainText(std::string_view text, bool keepTabs);
