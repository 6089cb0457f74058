// Long random command sequences on random texts: invariants after every step, and undoing
// everything followed by redoing everything returns the texts it passed through.
#include "kxEditScript.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using kxEditScript::Bytes;

std::vector<std::uint8_t> RandomScript(std::mt19937& random, std::size_t length) {
  std::vector<std::uint8_t> script(length);
  for (std::uint8_t& byte : script)
    byte = static_cast<std::uint8_t>(random());
  return script;
}

std::vector<std::string> Trimmed(std::vector<std::string> lines) {
  for (std::string& line : lines)
    line.erase(line.find_last_not_of(' ') + 1);
  return lines;
}

struct Session {
  TkxEditCore core;
  kxEditScript::MemoryClipboard clipboard;
  explicit Session(Bytes& bytes) {
    core.SetFontMetrics(8, 16);
    core.SetClientSize(300, 200);
    core.SetClipboard(&clipboard);
    core.SetMaxUndo(100000);
    std::string text;
    for (const std::string& line : kxEditScript::StartText(bytes))
      text += line + "\r\n";
    core.Lines().SetTextStr(text);
  }
};

TEST(EditingRandom, InvariantsHoldAfterEveryStep) {
  std::mt19937 random(20261208);
  for (int scriptIndex = 0; scriptIndex < 300; ++scriptIndex) {
    const std::vector<std::uint8_t> script = RandomScript(random, 400);
    Bytes bytes(script.data(), script.size());
    Session run(bytes);
    for (int step = 0; !bytes.AtEnd(); ++step) {
      const TkxEditorCommand command = kxEditScript::Step(run.core, bytes);
      const std::string broken = kxEditScript::CheckInvariants(run.core);
      ASSERT_EQ(broken, "") << "script " << scriptIndex << " step " << step << " command "
                            << EditorCommandToIdent(command);
    }
  }
}

// Typing, deleting and breaking lines: undoing all of it gives the starting text back, redoing
// all of it the final text. Lines compare without trailing blanks, which typing and Backspace
// trim without recording. The caret stays inside the lines between commands and auto-indent is
// off: a join from beyond a line end pads it, and indentation is added and removed by rules
// that undo does not mirror.
TEST(EditingRandom, UndoAllThenRedoAllReturnsBothTexts) {
  static const TkxEditorCommand commands[] = {ecChar,      ecDeleteLastChar, ecDeleteChar, ecDeleteWord,
                                              ecDeleteEOL, ecDeleteLine,     ecLineBreak,  ecInsertLine,
                                              ecLeft,      ecDown,           ecWordRight,  ecLineEnd};
  std::mt19937 random(7);
  for (int scriptIndex = 0; scriptIndex < 300; ++scriptIndex) {
    const std::vector<std::uint8_t> script = RandomScript(random, 80);
    Bytes bytes(script.data(), script.size());
    Session run(bytes);
    run.core.SetOptions(run.core.Options() & ~kxeoAutoIndent & ~kxeoScrollPastEol);
    const std::vector<std::string> start = Trimmed(run.core.Lines().Strings());
    while (!bytes.AtEnd()) {
      const TkxEditorCommand command = commands[bytes.Next() % std::size(commands)];
      run.core.ExecuteCommand(command, static_cast<char>("ab(x"[bytes.Next() % 4]));
    }
    const std::vector<std::string> end = Trimmed(run.core.Lines().Strings());
    while (run.core.CanUndo())
      run.core.Undo();
    ASSERT_EQ(Trimmed(run.core.Lines().Strings()), start) << "script " << scriptIndex;
    while (run.core.CanRedo())
      run.core.Redo();
    ASSERT_EQ(Trimmed(run.core.Lines().Strings()), end) << "script " << scriptIndex;
  }
}

} // namespace
