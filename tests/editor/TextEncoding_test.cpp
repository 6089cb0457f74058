// Texts of valid and invalid UTF-8 edited character by character against a model that holds the
// line as a list of characters, and what the clipboard carries in and out of each encoding.
#include "EditScript.h"
#include "TextEditor.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Pieces of a line: each a character when the text reads as UTF-8, except the invalid ones,
// whose every byte is a character of its own.
const std::vector<std::string> kValidPieces = {"a", "Z", ";", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"};
const std::vector<std::string> kInvalidPieces = {"\xFF", "\x80", "\xC0\xAF", "\xED\xA0\x80"};
// What is typed: a, é, € and an emoji.
const std::vector<char32_t> kTyped = {U'a', 0xE9, 0x20AC, 0x1F600};

std::string Joined(const std::vector<std::string>& chars) {
  std::string text;
  for (const std::string& ch : chars)
    text += ch;
  return text;
}

TEST(TextEncoding, EditingByCharacterKeepsEveryOtherByteAndUndoGivesTheFileBack) {
  std::mt19937 random(11);
  EditScript::MemoryClipboard clipboard;
  for (int round = 0; round < 400; ++round) {
    TextEditor editor;
    editor.SetClipboard(&clipboard);
    editor.State().SetOptions(kDesktopEditorOptions);
    editor.Document().SetMaxUndo(1000);
    const bool invalid = random() % 3 == 0;
    bool utf8 = true;
    std::vector<std::string> chars;
    for (int n = static_cast<int>(random() % 12); n > 0; --n) {
      const bool bad = invalid && random() % 4 == 0;
      const std::string& piece = bad ? kInvalidPieces[random() % kInvalidPieces.size()]
                                     : kValidPieces[random() % kValidPieces.size()];
      utf8 = utf8 && !bad;
      if (bad)
        for (char byte : piece)
          chars.emplace_back(1, byte);
      else
        chars.push_back(piece);
    }
    const std::string file = Joined(chars);
    editor.Document().Load({file});
    ASSERT_EQ(editor.State().Encoding(), utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1252);
    if (!utf8) {
      // Windows-1252: every byte is a character.
      std::vector<std::string> bytes;
      for (char byte : file)
        bytes.emplace_back(1, byte);
      chars = bytes;
    }
    std::size_t caret = 0;
    for (int step = 0; step < 30; ++step) {
      switch (random() % 8) {
      case 6:
      case 7: {
        // A word stop is wherever the editor's words end, but always between two characters.
        editor.ExecuteCommand(random() % 2 ? ecWordLeft : ecWordRight);
        std::size_t bytes = 0;
        for (caret = 0; caret < chars.size() && static_cast<int>(bytes) + 1 < editor.State().CaretX();
             ++caret)
          bytes += chars[caret].size();
        break;
      }
      case 0:
        editor.ExecuteCommand(ecRight);
        caret = std::min(caret + 1, chars.size());
        break;
      case 1:
        editor.ExecuteCommand(ecLeft);
        caret = caret > 0 ? caret - 1 : 0;
        break;
      case 2:
        editor.ExecuteCommand(ecDeleteLastChar);
        if (caret > 0) chars.erase(chars.begin() + static_cast<std::ptrdiff_t>(--caret));
        break;
      case 3:
        editor.ExecuteCommand(ecDeleteChar);
        if (caret < chars.size()) chars.erase(chars.begin() + static_cast<std::ptrdiff_t>(caret));
        break;
      default: {
        const std::optional<std::string> bytes =
            EncodeChar(kTyped[random() % kTyped.size()], editor.State().Encoding());
        if (!bytes) break;
        editor.KeyPress(*bytes);
        chars.insert(chars.begin() + static_cast<std::ptrdiff_t>(caret++), *bytes);
      }
      }
      ASSERT_EQ(editor.Document().LineText(1), Joined(chars)) << round << " " << step;
      ASSERT_EQ(editor.State().CaretX(),
                static_cast<int>(
                    Joined({chars.begin(), chars.begin() + static_cast<std::ptrdiff_t>(caret)}).size()) +
                    1)
          << round << " " << step;
    }
    // Copying the line gives the clipboard its characters as UTF-8, and pasting them back in
    // gives the same bytes.
    if (!chars.empty()) {
      editor.ExecuteCommand(ecSelectAll);
      editor.ExecuteCommand(ecCopy);
      std::string expected;
      for (const std::string& ch : chars)
        expected += utf8 ? ch : *EncodeChar(CharCode(ch, 0, TextEncoding::Windows1252), TextEncoding::Utf8);
      ASSERT_EQ(clipboard.plain, expected);
      clipboard.block.reset();
      editor.ExecuteCommand(ecPaste);
      ASSERT_EQ(editor.Document().LineText(1), Joined(chars));
    }
    while (editor.Document().CanUndo())
      editor.ExecuteCommand(ecUndo);
    ASSERT_EQ(editor.Document().LineText(1), file);
  }
}

TEST(TextEncoding, PastedTextGoesInAsTheDocumentHoldsItOrNotAtAll) {
  EditScript::MemoryClipboard clipboard;
  clipboard.plain = "\xE2\x86\x92 caf\xC3\xA9"; // → café
  for (const std::string file : {"x", "x\xE9"}) {
    TextEditor editor;
    editor.SetClipboard(&clipboard);
    editor.State().SetOptions(kDesktopEditorOptions);
    editor.Document().Load({file});
    editor.ExecuteCommand(ecLineEnd);
    if (editor.State().Encoding() == TextEncoding::Utf8) {
      editor.ExecuteCommand(ecPaste);
      EXPECT_EQ(editor.Document().LineText(1), file + "\xE2\x86\x92 caf\xC3\xA9");
    } else {
      EXPECT_THROW(editor.ExecuteCommand(ecPaste), EditorError);
      EXPECT_EQ(editor.Document().LineText(1), file);
    }
  }
}

} // namespace
