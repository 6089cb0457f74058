// Where the program's own files are: under the prefix it is installed in, or, for a program run
// from a build tree, in the source tree the build was made from.
#pragma once

#include <functional>
#include <string>

using FileTest = std::function<bool(const std::string& path)>;

// The program runs from an installed prefix: "<prefix>/bin/<program>" with the desktop entry the
// install puts beside it in "<prefix>/share/applications".
[[nodiscard]] bool RunsFromInstalledPrefix(const std::string& programPath, const FileTest& fileExists);

// The example workspace: the one installed with the program ("<prefix>/share/tessarin/examples"),
// else the one of the nearest folder above the program that holds the source tree's, else the one
// of `sourceTree` (the tree the program was built from, wherever the build folder is); empty when
// there is none.
[[nodiscard]] std::string ExampleWorkspace(const std::string& programPath, const std::string& sourceTree,
                                           const FileTest& fileExists);
// Why Help > Open Example Workspace is greyed out: where the example was looked for.
[[nodiscard]] std::string NoExampleReason(const std::string& programPath, const std::string& sourceTree);
// The source tree this program was built from; empty when unknown.
[[nodiscard]] std::string BuiltFromSourceTree();

// The user's own copy of the example workspace `example`, under "<dataHome>/Tessarin/examples":
// made on first use and kept after, so that the example is edited and built like any workspace
// (the installed one is read-only; the source tree's belongs to the checkout). Raises
// TessarinError when the copy cannot be made.
[[nodiscard]] std::string UserCopyOfExample(const std::string& example, const std::string& dataHome);
