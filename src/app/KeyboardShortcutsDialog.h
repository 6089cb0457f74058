// Help > Keyboard Shortcuts: every key of the menus and of the editor, in one list with a filter.
// A double-click on a row takes the next keys pressed as its command's new key (Backspace: none,
// Esc: as it was); a key another command has is refused and that command named, except that a
// menu command may take a key of the editor's, which then gives way to it.
#pragma once

#include "KeyboardShortcuts.h"
#include "ShortcutSettings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class KeyboardShortcutsDialog : public QDialog {
  Q_OBJECT
public:
  KeyboardShortcutsDialog(const std::vector<ShortcutRow>& menuRows,
                          const std::vector<ShortcutRow>& editorRows, QWidget* parent = nullptr);

  // The menu commands given other keys, once the dialog was confirmed.
  [[nodiscard]] const ShortcutChanges& Changes() const { return changes_; }
  // The editor key map's items given other keys.
  [[nodiscard]] const EditorKeyChanges& EditorChanges() const { return editorChanges_; }
  // The next keys pressed in the list go to the command of `row`.
  void StartCapture(QTreeWidgetItem* row);
  // Shows only the rows whose key, command or place holds `text` (any case).
  void Filter(const QString& text);

  QLineEdit* FilterEdit;
  QTreeWidget* KeyList; // a group of the menus' keys, then one of the editor's
  QLabel* NoticeLabel;  // what a key press did, or how to change a key
  QPushButton* OkButton;
  QPushButton* CancelButton;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // Gives the captured row `key`, unless another command has it.
  void TakeKey(const QKeySequence& key);
  void TakeMenuKey(ShortcutRow& row, const QKeySequence& key);
  void TakeEditorKey(ShortcutRow& row, const QKeySequence& key);
  // Says `key` is taken by `holder` and leaves the captured row as it was.
  void Refuse(const QKeySequence& key, const QString& holder);
  // Shows the captured row's new key and ends the capture.
  void Took(const ShortcutRow& row, const QString& notice);

  std::vector<ShortcutRow> menuRows_; // with the keys as they are now in the dialog
  std::vector<ShortcutRow> editorRows_;
  QTreeWidgetItem* capturing_ = nullptr;
  ShortcutChanges changes_;
  EditorKeyChanges editorChanges_;
};
