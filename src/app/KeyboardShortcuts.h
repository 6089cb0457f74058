// Every key of the program, read from where each one is defined: the shortcuts of the menu
// commands and the editor's key map, written as the menus write keys.
#pragma once

#include "KeyMap.h"
#include "Settings.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QMenu;

struct ShortcutRow {
  QKeySequence key;
  QString command;     // the menu command's caption, or the editor command in words
  QString where;       // the menu it is on, or the editor
  QString action;      // the menu command's action name; empty for an editor key
  std::string binding; // the editor key map item's name; empty for a menu command
};

// The menu commands that have a key (with `keyless`, every command), menu by menu (submenus
// after their menu), each menu's in the order it shows them.
[[nodiscard]] std::vector<ShortcutRow> MenuShortcuts(const QList<QMenu*>& menus, bool keyless = false);

// Who has `key` already, said for the user ("Save File (File menu)"), among the menu commands other
// than `action`; empty when none has it.
[[nodiscard]] QString MenuKeyHolder(const QKeySequence& key, const QString& action,
                                    const std::vector<ShortcutRow>& menuRows);
// The editor commands that give way to a menu command taking `key`, said for the user; empty when none.
[[nodiscard]] QString EditorKeyHolder(const QKeySequence& key, const std::vector<ShortcutRow>& editorRows);

// The editor's keys in the default map's order, as the user changed them (an item given no key
// is listed without one). A key that a menu command has too goes to the menu command first, and
// says so.
[[nodiscard]] std::vector<ShortcutRow> EditorShortcuts(const EditorKeyChanges& changes,
                                                       const std::vector<ShortcutRow>& menuRows);
// The editor's packed key for a single key press; nothing for what the editor has no key for.
[[nodiscard]] std::optional<ShortCut> EditorShortCutOf(const QKeySequence& key);

// The key (or two-key sequence) of an item of the editor's map.
[[nodiscard]] QKeySequence EditorKeySequence(const KeyBinding& stroke);

// An editor command in words: "ecSelWordLeft" reads "Select word left".
[[nodiscard]] QString EditorCommandWords(EditorCommand command);
