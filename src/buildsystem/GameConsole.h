// What the game's console output says, line by line: its colour codes, the lines that report
// errors, the place in a mod's source a line names, the map the game loaded, and the moment the
// game's modules are up again after a reload.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Removes the console's colour codes: a caret followed by a letter or digit ("^1"). A caret at
// the end of `text` may begin a code that the next piece of output completes: it is kept in
// `heldCaret`, which the next call takes first.
[[nodiscard]] std::string StripColourCodes(std::string_view text, bool& heldCaret);

// An error of the engine or of the virtual machine, or a line naming a place in a C source that
// a mod printed.
[[nodiscard]] bool IsGameErrorLine(const std::string& line);

// A place a line names: "g_main.c:123" anywhere in it; the file as written (often without its
// folder).
struct GameSourcePlace {
  std::string file;
  int line = 0;
  bool operator==(const GameSourcePlace&) const = default;
};
[[nodiscard]] std::optional<GameSourcePlace> SourcePlaceIn(const std::string& line);

// The map a line says the server is starting ("Server: aggressor"); none when it says none.
[[nodiscard]] std::optional<std::string> MapStartedIn(const std::string& line);

// The game's modules have (re)started: the game module's or the client game's initialisation.
[[nodiscard]] bool IsModuleStartLine(const std::string& line);

// The reload command to send: `pattern` with "{map}" replaced by `map`; none when the pattern
// needs a map and none is known, or when it is blank.
[[nodiscard]] std::optional<std::string> ReloadCommandFor(const std::string& pattern, const std::string& map);
