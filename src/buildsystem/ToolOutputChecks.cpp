// The module header is read as the engine reads it: little-endian 32-bit fields, the jump-target
// length only in the second version of the header.
#include "ToolOutputChecks.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

// Why `path` cannot be read; empty when it can.
std::string ReadWhole(const std::string& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::strerror(errno);
  std::ostringstream text;
  text << in.rdbuf();
  content = text.str();
  return in.bad() ? std::string("it could not be read") : std::string();
}

// Why no file lies at `path` that was written; empty when one does.
std::string WhyNotWritten(const std::string& path, const std::string& tool) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0)
    return tool + " exited without writing it" +
           (errno == ENOENT ? "" : std::string(" (") + std::strerror(errno) + ")");
  if (!S_ISREG(status.st_mode)) return "it is not a file";
  if (status.st_size == 0) return tool + " left it empty (is the disk full?)";
  return {};
}

// The first word of an assembler line.
std::string FirstWord(const std::string& line) {
  const std::size_t start = line.find_first_not_of(" \t\r");
  if (start == std::string::npos) return {};
  return line.substr(start, line.find_first_of(" \t\r", start) - start);
}

std::string NameAfterWord(const std::string& line) {
  std::istringstream words(line);
  std::string word, name;
  words >> word >> name;
  return name;
}

// Why the text file `path` that `tool` wrote is not whole: missing, empty or cut inside a line.
std::string TextProblem(const std::string& path, const std::string& tool, std::string& content) {
  if (std::string why = WhyNotWritten(path, tool); !why.empty()) return why;
  if (std::string why = ReadWhole(path, content); !why.empty()) return why;
  if (content.empty() || content.back() != '\n') return "it ends in the middle of a line (is the disk full?)";
  return {};
}

} // namespace

std::string MapProblem(const std::string& mapFile) {
  std::string content;
  return TextProblem(mapFile, "the assembler", content);
}

std::string CompiledFileProblem(const std::string& assemblyFile) {
  std::string content;
  if (std::string why = TextProblem(assemblyFile, "the compiler", content); !why.empty()) return why;
  std::istringstream lines(content);
  std::string line, openProcedure;
  while (std::getline(lines, line)) {
    const std::string word = FirstWord(line);
    if (word == "proc")
      openProcedure = NameAfterWord(line);
    else if (word == "endproc")
      openProcedure.clear();
  }
  if (!openProcedure.empty()) return "it ends inside the function " + openProcedure + " (is the disk full?)";
  return {};
}

std::string ModuleProblem(const std::string& moduleFile) {
  if (std::string why = WhyNotWritten(moduleFile, "the assembler"); !why.empty()) return why;
  std::string content;
  if (std::string why = ReadWhole(moduleFile, content); !why.empty()) return why;
  constexpr std::uint32_t kMagic = 0x12721444, kMagicWithJumpTargets = 0x12721445;
  enum Field {
    Magic,
    Instructions,
    CodeOffset,
    CodeLength,
    DataOffset,
    DataLength,
    LitLength,
    BssLength,
    JumpTargets
  };
  std::array<std::int64_t, 9> header{};
  const std::size_t fields = std::min<std::size_t>(header.size(), content.size() / 4);
  for (std::size_t i = 0; i < fields; ++i) {
    std::uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte)
      value = value << 8 | static_cast<unsigned char>(content[i * 4 + static_cast<std::size_t>(byte)]);
    header[i] = i == Magic ? value : static_cast<std::int32_t>(value);
  }
  const bool withJumpTargets = header[Magic] == kMagicWithJumpTargets;
  if (fields < 1 || (header[Magic] != kMagic && !withJumpTargets))
    return "it does not start as a module does (no module header)";
  const std::size_t headerSize = withJumpTargets ? 36 : 32;
  if (content.size() < headerSize) return "its header is cut short (is the disk full?)";
  const std::int64_t jumpTargets = withJumpTargets ? header[JumpTargets] : 0;
  if (header[Instructions] <= 0 || header[CodeLength] <= 0) return "its header names no code";
  if (header[DataLength] < 0 || header[LitLength] < 0 || header[BssLength] < 0 || jumpTargets < 0 ||
      header[CodeOffset] != static_cast<std::int64_t>(headerSize) ||
      header[DataOffset] != header[CodeOffset] + header[CodeLength])
    return "its header is damaged";
  const std::int64_t size = header[DataOffset] + header[DataLength] + header[LitLength] + jumpTargets;
  if (static_cast<std::int64_t>(content.size()) != size)
    return "it holds " + std::to_string(content.size()) + " bytes where its header names " +
           std::to_string(size) +
           (static_cast<std::int64_t>(content.size()) < size ? " (is the disk full?)" : "");
  return {};
}
