// Help > Keyboard Shortcuts: every key of the menus and of the editor, in one list.
#pragma once

#include "KeyboardShortcuts.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

class KeyboardShortcutsDialog : public QDialog {
  Q_OBJECT
public:
  KeyboardShortcutsDialog(const std::vector<ShortcutRow>& menuRows,
                          const std::vector<ShortcutRow>& editorRows, QWidget* parent = nullptr);

  QTreeWidget* KeyList; // a group of the menus' keys, then one of the editor's
  QPushButton* OKButton;
};
