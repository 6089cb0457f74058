// How the workspace reads a stored path: in the native style, unless it was written on Windows
// with a drive letter, which is then read in the Windows style so its name and extension come
// out right.
#pragma once

#include "Paths.h"

#include <string>

[[nodiscard]] PathStyle StyleOfStoredPath(const std::string& path);
// The file name without its folder.
[[nodiscard]] std::string FileNameOf(const std::string& path);
// The extension, lower-cased, is exactly ".c" / ".h".
[[nodiscard]] bool IsCSource(const std::string& path);
[[nodiscard]] bool IsCHeader(const std::string& path);
