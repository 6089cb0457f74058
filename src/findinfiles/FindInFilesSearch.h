// The search behind Find in Files: every line of a list of files, as stored on disk, through one
// search engine, each matching line becoming one entry of the "Find in Files" list. No widgets.
#pragma once

#include "ProjectList.h"
#include "kxEditSearch.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// "path:line: text", with each tab of the text replaced by one blank: the message-line form the
// jump to source reads back.
[[nodiscard]] std::string FindInFilesEntry(const std::string& path, int line, std::string_view text);

// Hands `addEntry` one entry per line that holds at least one match, file by file in the given
// order. A file that cannot be read raises its error after the entries of the files before it.
void SearchFiles(TkxEditSearch& engine, const std::vector<TProjectFile>& files,
                 const std::function<void(std::string)>& addEntry);
