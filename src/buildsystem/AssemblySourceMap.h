// The assembler names its errors by a line of a compiler's .asm file ("g_main.asm:1667 error:
// symbol G_Missing undefined"). With -Wf-g every .asm carries `file "…"` and `line N` records,
// so each of its lines maps back to the C file and line it came from: the last `file` and `line`
// records above it. The records are read while the .asm files still exist, during the assembly.
#pragma once

#include "JumpToSource.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

class AssemblySourceMap {
public:
  // The C place of line `asmLine` (from 1) of `asmFile`; none without records above it.
  [[nodiscard]] std::optional<MessageLocation> SourceOf(const std::string& asmFile, int asmLine);
  // For an assembler line "name.asm:N text", the list line "cfile:cline: text" naming the C
  // place; a relative name is taken in `folder`, the assembler's working folder.
  [[nodiscard]] std::optional<std::string> SourceLineFor(const std::string& assemblerLine,
                                                         const std::string& folder);
  // Forgets what was read: the next assembly's files are new.
  void Clear() { files_.clear(); }

private:
  // A `line` record: from `asmLine` on, the code came from `sourceLine` of files[file].
  struct Record {
    int asmLine;
    int file;
    int sourceLine;
  };
  struct Records {
    std::vector<std::string> files;
    std::vector<Record> lines; // by asmLine
  };
  static Records Read(const std::string& asmFile);

  std::map<std::string, Records> files_;
};
