// Where a C name is defined or declared, told from the shape of the lines alone: the answer while
// the language server has not read the workspace yet, and the one for the game's system calls,
// which an assembler file defines ("equ trap_Print -1") where the server never looks. File-level
// code starts in column 1 in the engine's style, so only such lines count, and enum constants.
#pragma once

#include "TextPosition.h"

#include <string>
#include <vector>

enum class TextRole {
  Definition,  // a function's head, a macro, a type, a variable, an enum constant
  Declaration, // those, and prototypes and extern variables
};

// The name's places on the lines (1-based) that define or declare it.
[[nodiscard]] std::vector<TextRange> TextDefinitions(const std::vector<std::string>& lines,
                                                     const std::string& name, TextRole role);

// The name's places on the lines of an assembler file that define it with "equ".
[[nodiscard]] std::vector<TextRange> AssemblyDefinitions(const std::vector<std::string>& lines,
                                                         const std::string& name);

// Every place of the name as a whole word.
[[nodiscard]] std::vector<TextRange> WordPlaces(const std::vector<std::string>& lines,
                                                const std::string& name);
