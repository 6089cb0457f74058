// Random command scripts on the editor model under any options: every step must keep the text,
// caret, selection, bookmarks and highlighter ranges whole, and undoing everything must give back
// the starting text and bookmarks byte for byte, redoing everything the final ones.
#include "../tests/editor/EditScript.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Steps run over the whole fuzzing session, reported when it ends.
long long stepsRun = 0;

void Fail(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

// Past this much text a script only measures copying and pasting.
bool Small(const TextEditor& editor) {
  std::size_t bytes = 0;
  for (int i = 0; i < editor.Document().LineCount(); ++i)
    bytes += editor.Document().Lines()[i].size();
  return editor.Document().LineCount() < 2000 && bytes < 1 << 16;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::atexit([] { std::fprintf(stderr, "editor steps run: %lld\n", stepsRun); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  EditScript::Bytes bytes(data, size);
  const auto options = static_cast<EditorOptions>((bytes.Next() | bytes.Next() << 8) & 0xFFF);
  EditScript::Session run(bytes, options);
  const EditScript::Snapshot start = EditScript::Take(run.editor);
  while (!bytes.AtEnd() && Small(run.editor)) {
    EditScript::Step(run.editor, run.clipboard, bytes);
    ++stepsRun;
    if (const std::string broken = EditScript::CheckInvariants(run.editor); !broken.empty())
      Fail("invariant broken: " + broken);
  }
  if (const std::string lost = EditScript::CheckUndoRedo(run.editor, start); !lost.empty()) Fail(lost);
  return 0;
}
