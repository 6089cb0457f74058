// The search behind Find in Files: the files of a project as stored on disk, through the line
// search engine, each line holding a match becoming one entry of the "Find in Files" list. The
// engine runs over a whole file at once and the matches are then placed on their lines, which
// finds exactly the lines a search line by line finds, in a fraction of the time. No widgets.
#pragma once

#include "ProjectList.h"
#include "SearchEngine.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

using FindInFilesEntrySink = std::function<void(std::string entry)>;

// "path:line: text", with each tab of the text replaced by one blank: the message-line form the
// jump to source reads back.
[[nodiscard]] std::string FindInFilesEntry(const std::string& path, int line, std::string_view text);

// Hands `addEntry` one entry per line of `bytes` that holds at least one match, in line order.
// CR LF, CR and LF each end a line, as the document windows read them.
void SearchText(SearchEngine& engine, const std::string& path, std::string_view bytes,
                const FindInFilesEntrySink& addEntry);

// SearchText over the file `path` as stored. Raises TessarinError "Cannot open file <path>"
// when it cannot be read.
void SearchFile(SearchEngine& engine, const std::string& path, const FindInFilesEntrySink& addEntry);

// SearchFile over every file, in the given order. A file that cannot be read raises its error
// after the entries of the files before it.
void SearchFiles(SearchEngine& engine, const std::vector<ProjectFile>& files,
                 const FindInFilesEntrySink& addEntry);
