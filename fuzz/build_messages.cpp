// Tool output of any bytes, cut into any chunks, on either stream: the message lines never hold
// a line-end or tab character, do not depend on where the chunks of one stream were cut, and
// every line reads safely as a message line in both path styles.
#include "JumpToSource.h"
#include "MessageCollector.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  MessageCollector chunked, whole;
  whole.Assembling = chunked.Assembling = size > 0 && (data[0] & 1);
  const bool isError = size > 0 && (data[0] & 2);
  MessageLines chunkedLines, wholeLines;
  std::string all;
  std::size_t at = 1;
  while (at < size) {
    const std::uint8_t control = data[at++];
    const std::size_t length = std::min<std::size_t>(control, size - at);
    const std::string chunk(reinterpret_cast<const char*>(data + at), length);
    chunked.CollectOutput(chunk, chunkedLines, isError);
    all += chunk;
    at += length;
  }
  chunked.EndOutput(chunkedLines);
  whole.CollectOutput(all, wholeLines, isError);
  whole.EndOutput(wholeLines);
  if (!all.empty() && chunkedLines.Lines() != wholeLines.Lines()) std::abort();
  if (chunked.AssemblerResult != whole.AssemblerResult && !all.empty()) std::abort();
  for (const std::string& line : chunkedLines.Lines()) {
    if (line.find_first_of("\r\n\t") != std::string::npos) std::abort();
    auto never = [](const std::string&) { return false; };
    (void)ParseMessageLine(line, PathStyle::Posix(), never);
    (void)ParseMessageLine(line, PathStyle::Windows(), never);
    (void)NormaliseMessageLine(line, PathStyle::Windows());
  }
  return 0;
}
