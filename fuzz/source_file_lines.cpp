// Source-file bytes of any kind: loading never loses a byte other than line ends and tabs, and
// the saved form reads back as the same lines.
#include "SourceFile.h"
#include "StoredFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = stored_file::SplitLines(bytes);
  std::size_t kept = 0;
  for (const std::string& line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    kept += line.size();
    const std::string expanded = source_file::ExpandTabs(line);
    if (expanded.find('\t') != std::string::npos) std::abort();
  }
  std::size_t lineEnds = 0;
  for (char ch : bytes)
    lineEnds += ch == '\r' || ch == '\n';
  if (kept + lineEnds != size) std::abort();
  // One empty line is the empty text, which is saved as no bytes.
  const std::vector<std::string> expected =
      lines == std::vector<std::string>{std::string()} ? std::vector<std::string>() : lines;
  if (stored_file::SplitLines(source_file::JoinLines(lines)) != expected) std::abort();
  return 0;
}
