// What the tools left, checked before the build trusts it. The compiler and the assembler both
// exit 0 when their writes fail (a full disk), and a file from an earlier run may still lie where
// the tool should have written: their exit status alone never says a file is whole and new.
#pragma once

#include <string>

// Why `assemblyFile`, which the compiler should have just written, is no whole compiled file;
// empty when it is. The compiler ends every line it writes and closes every procedure it opens,
// so a file cut short shows.
[[nodiscard]] std::string CompiledFileProblem(const std::string& assemblyFile);

// Why `moduleFile` is not a module the engine loads: its header's magic number, and its
// segments' offsets and lengths against the file's size; empty when it is.
[[nodiscard]] std::string ModuleProblem(const std::string& moduleFile);

// Why the map `mapFile` the assembler wrote beside its module is not whole; empty when it is.
[[nodiscard]] std::string MapProblem(const std::string& mapFile);
