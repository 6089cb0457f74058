#include "KeyboardShortcuts.h"
#include "QtKeys.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

#include <set>

// Every key the editor can be bound to is written so that, pressed, the editor reads the same key
// back: the name shown is the key that runs the command.
TEST(KeyboardShortcuts, EachEditorKeyIsWrittenAsTheKeyThatRunsIt) {
  KeyMap keys;
  keys.LoadDefaultMap();
  std::set<std::uint16_t> known;
  for (int qtKey = Qt::Key_Space; qtKey <= Qt::Key_AsciiTilde; ++qtKey)
    known.insert(VirtualKeyFromQt(qtKey, Qt::NoModifier));
  for (int qtKey = Qt::Key_Escape; qtKey <= Qt::Key_F35; ++qtKey)
    known.insert(VirtualKeyFromQt(qtKey, Qt::NoModifier));
  known.erase(0);
  for (std::uint16_t key : known)
    for (ShiftState shift = 0; shift < 8; ++shift)
      if (keys.FindKey(key, shift) < 0) {
        KeyBinding& stroke = keys.Add();
        stroke.Key = key;
        stroke.Shift = shift;
      }
  for (int i = 0; i < keys.Count(); ++i) {
    const KeyBinding& stroke = keys.Items(i);
    const QKeySequence sequence = EditorKeySequence(stroke);
    ASSERT_EQ(sequence.count(), 1);
    const QKeyCombination pressed = sequence[0];
    EXPECT_EQ(VirtualKeyFromQt(pressed.key(), pressed.keyboardModifiers()), stroke.Key)
        << sequence.toString().toStdString();
    EXPECT_EQ(ShiftStateFromQt(pressed.keyboardModifiers()), stroke.Shift)
        << sequence.toString().toStdString();
    EXPECT_FALSE(sequence.toString(QKeySequence::NativeText).isEmpty());
  }

  KeyBinding& pair = keys.Add();
  pair.Key = 'K';
  pair.Shift = ssCtrl;
  pair.Key2 = 'B';
  pair.Shift2 = ssCtrl;
  EXPECT_EQ(EditorKeySequence(pair), QKeySequence("Ctrl+K, Ctrl+B"));
}

// Every named command reads as words of its own: no prefix, no run-together words, none twice.
TEST(KeyboardShortcuts, EditorCommandsReadAsWords) {
  std::set<QString> seen;
  for (const CommandName& entry : EditorCommandNames()) {
    const QString words = EditorCommandWords(entry.command);
    ASSERT_FALSE(words.isEmpty()) << entry.name;
    EXPECT_TRUE(words[0].isUpper()) << words.toStdString();
    for (qsizetype i = 1; i < words.size(); ++i)
      EXPECT_FALSE(words[i - 1].isLower() && words[i].isUpper()) << words.toStdString();
    EXPECT_TRUE(seen.insert(words).second) << words.toStdString();
  }
  EXPECT_EQ(EditorCommandWords(ecSelWordLeft), "Select word left");
  EXPECT_EQ(EditorCommandWords(ecDeleteBOL), "Delete to line start");
  EXPECT_EQ(EditorCommandWords(ecGotoMarker0 + 3), "Go to bookmark 3");
}

// Menu keys come menu by menu with their plain captions; an editor key a menu command has too
// names the command that takes it.
TEST(KeyboardShortcuts, MenuKeysComeFirstAndTheEditorSaysWhichItYields) {
  QMenu edit("&Edit");
  QMenu sub("&More");
  edit.addAction("&Redo")->setShortcut(QKeySequence("Ctrl+Y"));
  edit.addAction("Select &All");
  edit.addMenu(&sub);
  sub.addAction("R&&D notes")->setShortcut(QKeySequence("F9"));
  const std::vector<ShortcutRow> menuRows = MenuShortcuts({&edit});
  ASSERT_EQ(menuRows.size(), 2u);
  EXPECT_EQ(menuRows[0].key, QKeySequence("Ctrl+Y"));
  EXPECT_EQ(menuRows[0].command, "Redo");
  EXPECT_EQ(menuRows[0].where, "Edit menu");
  EXPECT_EQ(menuRows[1].command, "R&D notes");
  EXPECT_EQ(menuRows[1].where, "More menu");

  KeyMap keys;
  keys.LoadDefaultMap();
  const std::vector<ShortcutRow> editorRows = EditorShortcuts({}, menuRows);
  ASSERT_EQ(static_cast<int>(editorRows.size()), keys.Count());
  int yielded = 0;
  for (const ShortcutRow& row : editorRows) {
    if (row.where == "Editor") continue;
    ++yielded;
    EXPECT_EQ(row.key, QKeySequence("Ctrl+Y"));
    EXPECT_EQ(row.command, "Delete line");
    EXPECT_EQ(row.where, "Editor (Edit menu: Redo goes first)");
  }
  EXPECT_EQ(yielded, 1);
}
