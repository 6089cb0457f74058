// Reading `file`/`line` records once per .asm file, then a binary search per error line.
#include "AssemblySourceMap.h"

#include "AtomicFile.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace {

std::optional<int> NumberAt(const std::string& text, std::size_t at, std::size_t* end = nullptr) {
  int value = 0;
  const auto [stop, error] = std::from_chars(text.data() + at, text.data() + text.size(), value);
  if (error != std::errc() || value <= 0) return std::nullopt;
  if (end) *end = static_cast<std::size_t>(stop - text.data());
  return value;
}

// "name.asm:N text": the .asm's name, its line and the text after the number.
struct AssemblerMessage {
  std::string file;
  int line = 0;
  std::string text;
};

std::optional<AssemblerMessage> ReadAssemblerMessage(const std::string& line) {
  std::size_t colon = line.find(':');
  // Past a drive letter's colon, for names written in the Windows style.
  if (colon == 1) colon = line.find(':', 2);
  if (colon == std::string::npos || colon < 4) return std::nullopt;
  std::string extension = line.substr(colon - 4, 4);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  std::size_t end = 0;
  const auto number = NumberAt(line, colon + 1, &end);
  if (extension != ".asm" || !number || (end < line.size() && line[end] != ' ')) return std::nullopt;
  return AssemblerMessage{line.substr(0, colon), *number, line.substr(std::min(end + 1, line.size()))};
}

} // namespace

AssemblySourceMap::Records AssemblySourceMap::Read(const std::string& asmFile) {
  Records records;
  // Read without blocking: a pipe or a device named here must not stop the window.
  std::string bytes, error;
  (void)ReadFileIfPresent(asmFile, bytes, error);
  std::istringstream in(bytes);
  std::string line;
  for (int asmLine = 1; std::getline(in, line); ++asmLine) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("file \"", 0) == 0 && line.size() > 7 && line.back() == '"') {
      records.files.push_back(line.substr(6, line.size() - 7));
    } else if (line.rfind("line ", 0) == 0 && !records.files.empty()) {
      if (const auto number = NumberAt(line, 5))
        records.lines.push_back({asmLine, static_cast<int>(records.files.size()) - 1, *number});
    }
  }
  return records;
}

std::optional<MessageLocation> AssemblySourceMap::SourceOf(const std::string& asmFile, int asmLine) {
  auto found = files_.find(asmFile);
  if (found == files_.end()) found = files_.emplace(asmFile, Read(asmFile)).first;
  const Records& records = found->second;
  const auto after = std::upper_bound(records.lines.begin(), records.lines.end(), asmLine,
                                      [](int line, const Record& record) { return line < record.asmLine; });
  if (after == records.lines.begin()) return std::nullopt;
  const Record& record = *(after - 1);
  return MessageLocation{records.files[static_cast<std::size_t>(record.file)], record.sourceLine};
}

std::optional<std::string> AssemblySourceMap::SourceLineFor(const std::string& assemblerLine,
                                                            const std::string& folder) {
  const auto message = ReadAssemblerMessage(assemblerLine);
  if (!message) return std::nullopt;
  const std::string asmFile = paths::CarriesDrive(message->file) ? message->file : folder + message->file;
  const auto place = SourceOf(asmFile, message->line);
  if (!place) return std::nullopt;
  return place->file + ":" + std::to_string(place->line) + ": " + message->text;
}
