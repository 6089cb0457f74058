#include "GameConsole.h"

#include <array>
#include <cctype>

namespace {

bool IsCodeCharacter(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

bool IsSourceNameCharacter(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-' || c == '.' || c == '/' ||
         c == '\\';
}

// A function of the virtual machine named in the line ("VM_Create", "VM_Call"), which the engine
// names when a module fails; not one of its constants ("VM_MAGIC_VER2").
bool NamesVmFunction(const std::string& line) {
  for (std::size_t at = line.find("VM_"); at != std::string::npos; at = line.find("VM_", at + 1))
    if (at + 4 < line.size() && std::isupper(static_cast<unsigned char>(line[at + 3])) != 0 &&
        std::islower(static_cast<unsigned char>(line[at + 4])) != 0)
      return true;
  return false;
}

} // namespace

std::string StripColourCodes(std::string_view text, bool& heldCaret) {
  std::string plain;
  plain.reserve(text.size() + 1);
  std::size_t i = 0;
  if (heldCaret && !text.empty()) {
    heldCaret = false;
    if (IsCodeCharacter(text[0]))
      i = 1;
    else
      plain += '^';
  }
  for (; i < text.size(); ++i) {
    if (text[i] != '^') {
      plain += text[i];
    } else if (i + 1 == text.size()) {
      heldCaret = true;
    } else if (IsCodeCharacter(text[i + 1])) {
      ++i;
    } else {
      plain += '^';
    }
  }
  return plain;
}

bool IsGameErrorLine(const std::string& line) {
  static const std::array<const char*, 5> kMarks = {"ERROR", "Exception", "G_Error", "Sys_Error",
                                                    "Segmentation fault"};
  for (const char* mark : kMarks)
    if (line.find(mark) != std::string::npos) return true;
  return NamesVmFunction(line) || SourcePlaceIn(line).has_value();
}

std::optional<GameSourcePlace> SourcePlaceIn(const std::string& line) {
  for (std::size_t dot = line.find(".c:"); dot != std::string::npos; dot = line.find(".c:", dot + 1)) {
    std::size_t start = dot;
    while (start > 0 && IsSourceNameCharacter(line[start - 1]))
      --start;
    const std::size_t digits = dot + 3;
    std::size_t end = digits;
    while (end < line.size() && std::isdigit(static_cast<unsigned char>(line[end])) != 0)
      ++end;
    // A name before ".c", and a line number of sensible length after it.
    if (start == dot || end == digits || end - digits > 9) continue;
    return GameSourcePlace{line.substr(start, dot + 2 - start), std::stoi(line.substr(digits, end - digits))};
  }
  return std::nullopt;
}

std::optional<std::string> MapStartedIn(const std::string& line) {
  const std::string prefix = "Server: ";
  if (line.rfind(prefix, 0) != 0) return std::nullopt;
  std::string map = line.substr(prefix.size());
  while (!map.empty() && std::isspace(static_cast<unsigned char>(map.back())) != 0)
    map.pop_back();
  if (map.empty() || map.find(' ') != std::string::npos) return std::nullopt;
  return map;
}

bool IsModuleStartLine(const std::string& line) {
  return line.find("Game Initialization") != std::string::npos || line.rfind("InitGame:", 0) == 0 ||
         line.find("CL_InitCGame") != std::string::npos;
}

std::optional<std::string> ReloadCommandFor(const std::string& pattern, const std::string& map) {
  const std::string placeholder = "{map}";
  std::string command = pattern;
  for (std::size_t at = command.find(placeholder); at != std::string::npos;
       at = command.find(placeholder, at + map.size())) {
    if (map.empty()) return std::nullopt;
    command.replace(at, placeholder.size(), map);
  }
  if (command.find_first_not_of(" \t") == std::string::npos) return std::nullopt;
  return command;
}
