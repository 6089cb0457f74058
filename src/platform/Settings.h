// The user settings, their defaults and their place in the registry store.
#pragma once

#include "Paths.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class RegistryStore;

// The largest numbers the settings take; larger stored ones are brought down to them.
inline constexpr int kMostParallelCompiles = 64;
inline constexpr int kMostUndoLevels = 1000000;
inline constexpr int kMostTabWidth = 16;

// How the editor shows one kind of token: colours as stored (red in the lowest byte) and font
// style bits.
struct TokenLook {
  std::uint32_t foreground = 0x1FFFFFFF; // none: the editor's text colour
  std::uint32_t background = 0x1FFFFFFF;
  int style = 0;
  bool operator==(const TokenLook&) const = default;
};
// By the highlighter's name of the kind ("Comment", "Reserved word", ...).
using TokenLooks = std::map<std::string, TokenLook>;
// The keys the user gave items of the editor's key map: the item's name (its command and default
// keys) -> its packed key, 0 for none.
using EditorKeyChanges = std::map<std::string, std::uint16_t>;

struct Settings {
  std::string quake3location;
  std::string quake3arguments;
  std::string lcclocation;
  std::string lcclarguments;
  std::string q3asmlocation;
  std::string q3asmlarguments;
  std::string outputlocation; // always ends with a path delimiter in memory
  std::string EditorFont;
  int EditorFontSize = 10;
  bool BackupSource = false;
  // How many compiles of a project may run at once; 1 compiles one file after the other.
  int ParallelCompiles = 1;
  // How many edits of a document window undo takes back.
  int UndoLevels = 10;
  // Files keep their tab characters and line ends; otherwise tabs become spaces when a file is
  // read and every line ends in CR LF when it is written.
  bool KeepFileFormat = false;
  // The columns from one tab stop to the next on screen.
  int TabWidth = 8;
  // The editor marks clangd's warnings as well as its errors (clang warns of much that lcc takes).
  bool ClangdWarnings = false;
  // A start without a workspace on the command line reopens the last one, with its windows.
  bool ReopenLastWorkspace = false;
  // The colours the user chose for the kinds of tokens; none: the defaults. Kept apart from the
  // other settings, in the highlighter's own stored form.
  TokenLooks Colours;
  // The editor keys the user changed; kept apart, beside the menu commands' keys.
  EditorKeyChanges EditorKeys;
  // The default colours suit the desktop's light or dark palette; taken from the conventions,
  // never stored.
  bool ColoursFollowPalette = false;
  // The editor edits as today's desktop editors do (no text past line ends, undo by typing runs,
  // the keys they share); taken from the conventions, never stored.
  bool DesktopEditing = false;
  // The dedicated server that "Run as dedicated server" starts instead of the game, and the map
  // it loads.
  std::string ServerLocation;
  bool RunDedicatedServer = false;
  std::string ServerMap;
  // What reloads the modules in the running game; "{map}" stands for the map it has loaded.
  std::string ReloadCommand = "map {map}";

  bool operator==(const Settings&) const = default;
};

// A game the desktop's defaults may start: where its program is, the folder its mods live in, and
// a file of the game's data, without which the program starts no game.
struct GameInstall {
  std::string program;         // looked up on the search path
  std::string packagedProgram; // where the distribution's package puts it, off the search path
  std::string modsFolder;      // holds the game's folders ("baseq3", a mod's "mymod"); ends with "/"
  // Below the mods folder or the program's folder; empty when the program's package brings the data.
  std::string dataFile;
  std::string serverProgram;         // the dedicated server, looked up on the search path
  std::string packagedServerProgram; // where the distribution's package puts it
  std::string firstMap;              // the first map the game ships
};

// Where the defaults come from on one kind of system.
struct SettingsConventions {
  PathStyle style;
  std::string fallbackGameExecutable; // when neither the installation record nor a search gives one
  // Finds a program on the search path; empty when it is not there (or the system has no such
  // search, as on Windows, where the tools sit in the game's folder).
  std::function<std::string(const std::string& program)> findOnPath;
  // Whether a file is there; when empty, no packaged program or game data is looked for.
  std::function<bool(const std::string& path)> fileExists;
  std::string compilerName; // looked up on the path, else taken in the game folder
  std::string assemblerName;
  // The games looked for, in order of preference; the first one whose data is there wins, else the
  // first one installed. Empty where the installation record alone decides.
  std::vector<GameInstall> games;
  std::string outputFolderInGameFolder; // the output folder below the game folder, without games
  std::string assemblerArguments;
  // The default game arguments load the mod that the output folder belongs to; otherwise the
  // game starts bare.
  bool gameStartsTheMod = false;
  // Preferences takes tool paths typed or pasted, its pickers list programs rather than "*.exe",
  // and when it opens by itself it names what is missing and opens on that field's page.
  bool typedToolPaths = false;
  // The labels read as a desktop's: every menu's access keys unique, the game's arguments called so.
  bool desktopLabels = false;
  // The main window comes back where it was (its first start filling most of the screen), and a
  // workspace's editor windows come back with it; otherwise both start afresh.
  bool remembersWindows = false;
  // The title names the workspace and marks it modified; otherwise it is the program's name alone.
  bool titleNamesWorkspace = false;
  // Save Workspace writes the workspace's own file and takes the name it saves to, New Workspace
  // exists, Remove Project asks first and recently opened files are listed; otherwise Save
  // Workspace always asks for a file and changes neither the name nor the recent list.
  bool desktopWorkspaceCommands = false;
  // Find in Files searches the whole workspace, the active project or a folder, for plain text or
  // a regular expression, lists its hits grouped by file, and Replace in Files goes with it;
  // otherwise it searches the active project's files on disk for plain text.
  bool searchesWholeMod = false;
  // The editor font, undo levels, whether files keep their format, the tab width and the compiles
  // that run at once until the user sets them.
  std::string editorFont = "Courier New";
  int undoLevels = 10;
  bool keepFileFormat = false;
  int tabWidth = 8;
  bool desktopEditing = false;
  // A plain start reopens the last workspace until the user turns that off.
  bool reopenLastWorkspace = false;
  // The editor's default colours suit the desktop's light or dark palette; otherwise they are the
  // classic ones whatever the palette.
  bool coloursFollowPalette = false;
  // The message list folds the assembler's statistics into its summary line and colours errors
  // and warnings; otherwise it shows every line as the tools wrote it.
  bool foldsToolDetails = false;
  int parallelCompiles = 1;
  // Where each project's compiled files are kept between builds, so that Build compiles only what
  // changed; empty: every build compiles every file into the output folder and deletes them after.
  std::string buildCacheFolder;
  // A tool's end is reported this long after it ended at the soonest, for output that may still
  // come (the classic wait); zero: as soon as its output is in.
  std::chrono::milliseconds toolEndWait{100};
  // The message list ends each build with the count of its errors and warnings.
  bool listsBuildResult = false;
  // The build's progress and result show in the main window's status bar, nothing to dismiss, and
  // a failed build brings its messages forward; otherwise a progress window stays above the main
  // window until its OK.
  bool buildProgressInWindow = false;
  // Launch builds first and runs the game with its console in the "Game" page, where commands go
  // to it; Launch while it runs reloads its modules; Stop Game ends it. Otherwise the game is
  // started detached and left alone.
  bool gameInPage = false;
  // Documents show as tabs of the window area, and a document window splits into two views of its
  // text; otherwise documents are child windows of their own.
  bool tabbedDocuments = false;

  [[nodiscard]] static SettingsConventions Windows();
  // Quake III Arena (ioquake3, its data in ~/.q3a) before OpenArena (~/.openarena); `fileExists`
  // finds packaged programs and game data.
  [[nodiscard]] static SettingsConventions Linux(std::function<std::string(const std::string&)> findOnPath,
                                                 const std::string& home,
                                                 std::function<bool(const std::string&)> fileExists = {});
  // The conventions of the system the program runs on, with its fixed-width font once the
  // application runs.
  [[nodiscard]] static SettingsConventions Native();
};

extern const char* const kSettingsKey;      // under the current user
extern const char* const kInstallRecordKey; // under the local machine
extern const char* const kInstallRecordValue;

// The defaults, worked out from the game's installation record when there is one.
[[nodiscard]] Settings DefaultSettings(const SettingsConventions& conventions,
                                       const std::string* installExePath);

// The game arguments that load the mod whose "vm" folder is `outputFolder` (the folder above it
// names the mod), under conventions whose game starts the mod; empty otherwise.
[[nodiscard]] std::string DefaultGameArguments(const SettingsConventions& conventions,
                                               const std::string& outputFolder);

// The mod whose "vm" folder is `outputFolder`: the folder above it; empty when there is none.
[[nodiscard]] std::string ModOfOutputFolder(const std::string& outputFolder, PathStyle style);

// Reads the settings from the store, with defaults for everything missing.
[[nodiscard]] Settings LoadSettings(RegistryStore& store, const SettingsConventions& conventions);
// Writes every value into the store (the caller saves the store).
void SaveSettings(RegistryStore& store, const Settings& settings);

// Appends the path delimiter when missing (both styles' delimiters count as present).
[[nodiscard]] std::string WithTrailingDelimiter(const std::string& folder, PathStyle style);

// The full path of `program` found on $PATH, or empty.
[[nodiscard]] std::string FindOnSearchPath(const std::string& program);
// The full path of `program` found on $PATH, else in ~/.local/bin (where the tools are put before
// a new login puts that folder on $PATH), else beside this program; empty when none.
[[nodiscard]] std::string FindProgram(const std::string& program);
