// The selection as text: what it holds in each of the three selection modes, and replacing it by
// a text that goes in as a normal, column or line block, through the document's primitive
// changes.
#pragma once

#include "EditorTypes.h"

#include <string>
#include <string_view>

class TextEditor;

class SelectionText {
public:
  explicit SelectionText(TextEditor& core) : core_(core) {}

  // Lines joined by CR LF.
  [[nodiscard]] std::string Text() const;
  [[nodiscard]] bool Contains(TextPoint position) const;
  // Removes the selection in the current mode and inserts `text` (up to a NUL; CR LF, CR and LF
  // end its lines) in `mode`, leaving the caret after it. `trimJoined`: a normal selection's
  // removal strips the blanks off the end of the line it leaves.
  void Replace(SelectionMode mode, std::string_view text, bool trimJoined);
  // Takes trailing blanks (bytes up to 32) off a line.
  void TrimLineEnd(int line);
  // Pads a line with blanks up to column `column` - 1, so that text can go in at that column.
  void PadTo(TextPoint position);

private:
  void Remove(bool trimJoined);
  void InsertColumns(std::string_view text);

  TextEditor& core_;
};
