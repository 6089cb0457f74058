#include "KeyboardShortcuts.h"

#include "QtKeys.h"

#include <QAction>
#include <QMenu>
#include <QRegularExpression>

#include <map>
#include <utility>

namespace {

// The Qt key the editor reads as `virtualKey`: the first, in Qt's order, that it translates so.
int qtKeyOf(std::uint16_t virtualKey) {
  const std::pair<int, int> ranges[] = {{Qt::Key_Space, Qt::Key_AsciiTilde}, {Qt::Key_Escape, Qt::Key_F35}};
  for (const auto& [first, last] : ranges)
    for (int key = first; key <= last; ++key)
      if (VirtualKeyFromQt(key, Qt::NoModifier) == virtualKey) return key;
  return 0;
}

QKeyCombination combinationOf(std::uint16_t virtualKey, ShiftState shift) {
  Qt::KeyboardModifiers modifiers;
  if (shift & ssShift) modifiers |= Qt::ShiftModifier;
  if (shift & ssAlt) modifiers |= Qt::AltModifier;
  if (shift & ssCtrl) modifiers |= Qt::ControlModifier;
  return QKeyCombination(modifiers, static_cast<Qt::Key>(qtKeyOf(virtualKey)));
}

// A caption without its access key marks.
QString plainCaption(QString caption) {
  caption.replace("&&", QChar(1));
  caption.remove('&');
  return caption.replace(QChar(1), "&");
}

} // namespace

std::vector<ShortcutRow> MenuShortcuts(const QList<QMenu*>& menus, bool keyless) {
  std::vector<ShortcutRow> rows;
  QList<QMenu*> pending = menus;
  for (qsizetype i = 0; i < pending.size(); ++i) {
    const QString where = plainCaption(pending[i]->title()) + " menu";
    for (QAction* action : pending[i]->actions()) {
      if (action->menu() != nullptr)
        pending.push_back(action->menu());
      else if (!action->shortcut().isEmpty() || (keyless && !action->objectName().isEmpty()))
        rows.push_back({action->shortcut(), plainCaption(action->text()), where, action->objectName()});
    }
  }
  return rows;
}

QString MenuKeyHolder(const QKeySequence& key, const QString& action,
                      const std::vector<ShortcutRow>& menuRows) {
  for (const ShortcutRow& row : menuRows)
    if (row.action != action && !key.isEmpty() && row.key == key) return row.command + " (" + row.where + ")";
  return {};
}

QString EditorKeyHolder(const QKeySequence& key, const std::vector<ShortcutRow>& editorRows) {
  QStringList commands;
  for (const ShortcutRow& row : editorRows)
    if (!key.isEmpty() && row.key == key) commands << row.command;
  return commands.join(", ");
}

std::vector<ShortcutRow> EditorShortcuts(const EditorKeyChanges& changes,
                                         const std::vector<ShortcutRow>& menuRows) {
  KeyMap defaults;
  defaults.LoadDefaultMap();
  std::vector<ShortcutRow> rows;
  for (int i = 0; i < defaults.Count(); ++i) {
    KeyBinding& stroke = defaults.Items(i);
    const std::string name = KeyBindingName(stroke);
    if (const auto changed = changes.find(name); changed != changes.end()) {
      UnpackShortCut(changed->second, stroke.Key, stroke.Shift);
      stroke.Key2 = 0;
      stroke.Shift2 = 0;
    }
    ShortcutRow row{stroke.Key == 0 ? QKeySequence() : EditorKeySequence(stroke),
                    EditorCommandWords(stroke.Command()),
                    "Editor",
                    {},
                    name};
    for (const ShortcutRow& menu : menuRows)
      if (!row.key.isEmpty() && menu.key == row.key)
        row.where = "Editor (" + menu.where + ": " + menu.command + " goes first)";
    rows.push_back(row);
  }
  return rows;
}

std::optional<ShortCut> EditorShortCutOf(const QKeySequence& key) {
  if (key.count() != 1) return std::nullopt;
  const QKeyCombination pressed = key[0];
  const std::uint16_t code = VirtualKeyFromQt(pressed.key(), pressed.keyboardModifiers());
  if (code == 0) return std::nullopt;
  return PackShortCut(code, ShiftStateFromQt(pressed.keyboardModifiers()));
}

QKeySequence EditorKeySequence(const KeyBinding& stroke) {
  if (stroke.Key2 == 0) return QKeySequence(combinationOf(stroke.Key, stroke.Shift));
  return QKeySequence(combinationOf(stroke.Key, stroke.Shift), combinationOf(stroke.Key2, stroke.Shift2));
}

QString EditorCommandWords(EditorCommand command) {
  // Capitalised words, abbreviations in capitals and numbers.
  static const QRegularExpression word("[A-Z]+(?![a-z])|[A-Z][a-z]*|[0-9]+");
  static const std::map<QString, QString> spoken = {
      {"Sel", "select"},     {"BOL", "to line start"}, {"EOL", "to line end"}, {"Goto", "go to"},
      {"Char", "character"}, {"Marker", "bookmark"},   {"XY", "place"},
  };
  QString name = QString::fromStdString(EditorCommandToIdent(command));
  if (name.startsWith("ec")) name.remove(0, 2);
  QStringList words;
  QRegularExpressionMatchIterator matches = word.globalMatch(name);
  while (matches.hasNext()) {
    const QString found = matches.next().captured();
    const auto said = spoken.find(found);
    words << (said != spoken.end() ? said->second : found.toLower());
  }
  QString text = words.join(' ');
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return text;
}
