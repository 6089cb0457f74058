// Random command scripts on random texts under every combination of the editor options: the model
// stays whole after every step, and undoing everything gives back the starting text and bookmarks
// byte for byte while redoing everything gives back the final ones.
#include "EditScript.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using EditScript::Bytes;

constexpr EditorOptions kOptionCombinations = 1 << 10;

// Runs `scripts` random scripts of `length` bytes under options first ... last; returns the
// number of steps run.
int RunScripts(EditorOptions first, EditorOptions last, int scripts, std::size_t length) {
  std::mt19937 random(first);
  int steps = 0;
  for (EditorOptions options = first; options <= last; ++options)
    for (int scriptIndex = 0; scriptIndex < scripts; ++scriptIndex) {
      std::vector<std::uint8_t> script(length);
      for (std::uint8_t& byte : script)
        byte = static_cast<std::uint8_t>(random());
      Bytes bytes(script.data(), script.size());
      EditScript::Session run(bytes, options);
      const EditScript::Snapshot start = EditScript::Take(run.editor);
      for (int step = 0; !bytes.AtEnd(); ++step, ++steps) {
        const EditorCommand command = EditScript::Step(run.editor, run.clipboard, bytes);
        const std::string broken = EditScript::CheckInvariants(run.editor);
        if (!broken.empty()) {
          ADD_FAILURE() << broken << ": options " << options << " script " << scriptIndex << " step " << step
                        << " command " << EditorCommandToIdent(command);
          return steps;
        }
      }
      const std::string lost = EditScript::CheckUndoRedo(run.editor, start);
      if (!lost.empty()) {
        ADD_FAILURE() << lost << ": options " << options << " script " << scriptIndex;
        return steps;
      }
    }
  return steps;
}

// Every option combination, split in two so that the halves run side by side.
TEST(EditingRandom, UndoAndRedoAreExactUnderTheFirstHalfOfTheOptionCombinations) {
  const int steps = RunScripts(0, kOptionCombinations / 2 - 1, 12, 200);
  RecordProperty("steps", steps);
  EXPECT_GT(steps, 0);
}

TEST(EditingRandom, UndoAndRedoAreExactUnderTheSecondHalfOfTheOptionCombinations) {
  const int steps = RunScripts(kOptionCombinations / 2, kOptionCombinations - 1, 12, 200);
  RecordProperty("steps", steps);
  EXPECT_GT(steps, 0);
}

// The document window's options under both conventions, with longer scripts; the desktop's
// group typed characters for undo.
TEST(EditingRandom, UndoAndRedoAreExactWithTheDocumentWindowsOptions) {
  const int steps = RunScripts(kDefaultEditorOptions, kDefaultEditorOptions, 500, 600) +
                    RunScripts(kDesktopEditorOptions, kDesktopEditorOptions, 500, 600);
  RecordProperty("steps", steps);
  EXPECT_GT(steps, 0);
}

} // namespace
