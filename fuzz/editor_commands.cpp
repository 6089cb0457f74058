// Random command sequences on the editor model: every step must keep the text, caret and
// selection whole, and no sequence may crash or read outside the text.
#include "../tests/editor/kxEditScript.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  kxEditScript::Bytes bytes(data, size);
  TkxEditCore core;
  kxEditScript::MemoryClipboard clipboard;
  core.SetFontMetrics(8, 16);
  core.SetClientSize(300, 200);
  core.SetClipboard(&clipboard);
  core.SetMaxUndo(1 + bytes.Next() % 64);
  if (bytes.Next() % 2) core.SetOptions(core.Options() ^ kxeoScrollPastEol);
  std::string text;
  for (const std::string& line : kxEditScript::StartText(bytes))
    text += line + "\r\n";
  core.Lines().SetTextStr(text);
  // Copy and paste can double the text at every step; beyond this size a script only measures memory.
  constexpr int kLineLimit = 100000;
  while (!bytes.AtEnd() && core.LineCount() < kLineLimit) {
    try {
      kxEditScript::Step(core, bytes);
    } catch (const EkxEditError&) {
      // clipboard refusals are reported to the user, not faults
    }
    const std::string broken = kxEditScript::CheckInvariants(core);
    if (!broken.empty()) {
      std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
      std::abort();
    }
  }
  return 0;
}
