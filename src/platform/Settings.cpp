#include "Settings.h"

#include "RegistryStore.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

const char* const kSettingsKey = "software\\Tessarin\\setup";
const char* const kInstallRecordKey = "\\Software\\Id\\Quake III Arena";
const char* const kInstallRecordValue = "INSTALLEXEPATH";

namespace {

std::string BuildCacheFolderIn(const std::string& cacheHome) {
  return paths::IncludeTrailingDelimiter(cacheHome, PathStyle::Posix()) + "Tessarin/build/";
}

const char* const kDefaultCompilerArguments = "-DQ3_VM -S -Wf-target=bytecode -Wf-g";
const int kDefaultFontSize = 10;

std::optional<int> parseInteger(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  if (*begin == '+') ++begin;
  int number = 0;
  auto [stop, error] = std::from_chars(begin, end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  return number;
}

// A stored value read as a number: a number value as it is, a string converted when it is one.
std::optional<int> storedInteger(const std::optional<RegistryValue>& value) {
  if (!value) return std::nullopt;
  if (value->IsNumber()) return value->Number();
  return parseInteger(value->Text());
}

std::string storedText(const std::optional<RegistryValue>& value, const std::string& fallback) {
  if (!value) return fallback;
  if (value->IsNumber()) return std::to_string(value->Number());
  return value->Text();
}

struct FoundGame {
  std::string program; // empty when only the game's dedicated server is installed
  std::string server;
  const GameInstall* game;
};

bool fileThere(const SettingsConventions& conventions, const std::string& path) {
  return conventions.fileExists && conventions.fileExists(path);
}

// A program of a game: on the search path, else where its package puts it; empty when neither.
std::string installedProgram(const SettingsConventions& conventions, const std::string& name,
                             const std::string& packaged) {
  std::string program = name.empty() ? std::string() : conventions.findOnPath(name);
  if (program.empty() && !packaged.empty() && fileThere(conventions, packaged)) program = packaged;
  return program;
}

bool hasData(const SettingsConventions& conventions, const FoundGame& found) {
  const std::string& data = found.game->dataFile;
  if (data.empty()) return true;
  const std::string programFolder = paths::ExtractFilePath(found.program, conventions.style);
  return fileThere(conventions, found.game->modsFolder + data) ||
         fileThere(conventions, programFolder + data);
}

// An installed game whose data is there, else the first one installed: an engine without data
// starts no game, and OpenArena's package installs the engine too.
std::optional<FoundGame> findGame(const SettingsConventions& conventions) {
  std::vector<FoundGame> installed;
  for (const GameInstall& game : conventions.games) {
    FoundGame found{installedProgram(conventions, game.program, game.packagedProgram),
                    installedProgram(conventions, game.serverProgram, game.packagedServerProgram), &game};
    if (!found.program.empty() || !found.server.empty()) installed.push_back(found);
  }
  for (const FoundGame& found : installed)
    if (hasData(conventions, found)) return found;
  if (installed.empty()) return std::nullopt;
  return installed.front();
}

} // namespace

SettingsConventions SettingsConventions::Windows() {
  SettingsConventions conventions;
  conventions.style = PathStyle::Windows();
  conventions.fallbackGameExecutable = "c:\\quake3\\quake3.exe";
  conventions.findOnPath = [](const std::string&) { return std::string(); };
  conventions.compilerName = "bin_nt\\lcc.exe";
  conventions.assemblerName = "bin_nt\\q3asm.exe";
  conventions.outputFolderInGameFolder = "mymod\\vm\\";
  return conventions;
}

SettingsConventions SettingsConventions::Linux(std::function<std::string(const std::string&)> findOnPath,
                                               const std::string& home,
                                               std::function<bool(const std::string&)> fileExists) {
  SettingsConventions conventions;
  conventions.style = PathStyle::Posix();
  conventions.fallbackGameExecutable = "/usr/lib/ioquake3/ioquake3";
  conventions.findOnPath = std::move(findOnPath);
  conventions.fileExists = std::move(fileExists);
  conventions.compilerName = "q3lcc";
  conventions.assemblerName = "q3asm";
  const std::string homeFolder = paths::IncludeTrailingDelimiter(home, PathStyle::Posix());
  // Debian's engine package is not on the search path and brings no game data; its OpenArena
  // package brings both, as a launcher in /usr/games.
  conventions.games = {
      {"ioquake3", conventions.fallbackGameExecutable, homeFolder + ".q3a/", "baseq3/pak0.pk3", "ioq3ded",
       "/usr/lib/ioquake3/ioq3ded", "q3dm1"},
      {"openarena", "/usr/games/openarena", homeFolder + ".openarena/", "", "openarena-server",
       "/usr/games/openarena-server", "aggressor"},
  };
  // -v makes the assembler print its "total errors" line, -m writes the map file.
  conventions.assemblerArguments = "-v -m";
  conventions.gameStartsTheMod = true;
  conventions.typedToolPaths = true;
  conventions.desktopLabels = true;
  conventions.remembersWindows = true;
  conventions.titleNamesWorkspace = true;
  conventions.desktopWorkspaceCommands = true;
  conventions.searchesWholeMod = true;
  // fontconfig's name for the fixed-width font, until the desktop's own is known.
  conventions.editorFont = "Monospace";
  conventions.undoLevels = 1000;
  conventions.keepFileFormat = true;
  conventions.tabWidth = 4;
  conventions.desktopEditing = true;
  conventions.tabbedDocuments = true;
  conventions.reopenLastWorkspace = true;
  conventions.coloursFollowPalette = true;
  conventions.foldsToolDetails = true;
  conventions.parallelCompiles =
      std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, kMostParallelCompiles);
  conventions.buildCacheFolder =
      BuildCacheFolderIn(paths::IncludeTrailingDelimiter(home, PathStyle::Posix()) + ".cache");
  conventions.toolEndWait = std::chrono::milliseconds(0);
  conventions.listsBuildResult = true;
  conventions.buildProgressInWindow = true;
  conventions.gameInPage = true;
  return conventions;
}

SettingsConventions SettingsConventions::Native() {
#ifdef _WIN32
  return Windows();
#else
  const char* home = std::getenv("HOME");
  SettingsConventions conventions = Linux(FindProgram, home != nullptr ? home : "", paths::FileExists);
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && *cache != '\0')
    conventions.buildCacheFolder = BuildCacheFolderIn(cache);
  return conventions;
#endif
}

std::string WithTrailingDelimiter(const std::string& folder, PathStyle style) {
  return paths::IncludeTrailingDelimiter(folder, style);
}

std::string ModOfOutputFolder(const std::string& outputFolder, PathStyle style) {
  const std::string vmFolder = paths::ExcludeTrailingDelimiter(outputFolder, style);
  return paths::ExtractFileName(
      paths::ExcludeTrailingDelimiter(paths::ExtractFilePath(vmFolder, style), style), style);
}

std::string DefaultGameArguments(const SettingsConventions& conventions, const std::string& outputFolder) {
  if (!conventions.gameStartsTheMod) return {};
  const std::string mod = ModOfOutputFolder(outputFolder, conventions.style);
  // The virtual machines run the modules just built rather than native libraries of the same name.
  const std::string modules = "+set vm_game 2 +set vm_cgame 2 +set vm_ui 2";
  return mod.empty() ? modules : "+set fs_game " + mod + " " + modules;
}

Settings DefaultSettings(const SettingsConventions& conventions, const std::string* installExePath) {
  const PathStyle style = conventions.style;
  std::string game = conventions.fallbackGameExecutable;
  const GameInstall* install = conventions.games.empty() ? nullptr : &conventions.games.front();
  if (installExePath != nullptr && !installExePath->empty()) {
    game = *installExePath;
  } else if (std::optional<FoundGame> found = findGame(conventions)) {
    if (!found->program.empty()) game = found->program;
    install = found->game;
  }
  const bool gameFound = game != conventions.fallbackGameExecutable || fileThere(conventions, game);
  const std::string modsFolder = install != nullptr ? install->modsFolder : "";
  const std::string gameFolder = WithTrailingDelimiter(paths::ExtractFilePath(game, style), style);
  auto tool = [&](const std::string& name) {
    std::string found = conventions.findOnPath(name);
    return found.empty() ? gameFolder + name : found;
  };

  Settings settings;
  settings.quake3location = game;
  settings.lcclocation = tool(conventions.compilerName);
  settings.lcclarguments = kDefaultCompilerArguments;
  settings.q3asmlocation = tool(conventions.assemblerName);
  settings.q3asmlarguments = conventions.assemblerArguments;
  settings.outputlocation =
      modsFolder.empty() ? gameFolder + conventions.outputFolderInGameFolder : modsFolder + "mymod/vm/";
  settings.quake3arguments = DefaultGameArguments(conventions, settings.outputlocation);
  settings.EditorFont = conventions.editorFont;
  settings.EditorFontSize = kDefaultFontSize;
  settings.BackupSource = false;
  settings.UndoLevels = conventions.undoLevels;
  settings.KeepFileFormat = conventions.keepFileFormat;
  settings.TabWidth = conventions.tabWidth;
  settings.DesktopEditing = conventions.desktopEditing;
  settings.ParallelCompiles = conventions.parallelCompiles;
  if (install != nullptr) {
    settings.ServerLocation =
        installedProgram(conventions, install->serverProgram, install->packagedServerProgram);
    settings.ServerMap = install->firstMap;
    // With the server alone there is nothing else to run.
    settings.RunDedicatedServer = !gameFound && !settings.ServerLocation.empty();
  }
  settings.ReopenLastWorkspace = conventions.reopenLastWorkspace;
  settings.ColoursFollowPalette = conventions.coloursFollowPalette;
  return settings;
}

Settings LoadSettings(RegistryStore& store, const SettingsConventions& conventions) {
  // The installation record is opened with full access, created when missing; a record without
  // the value keeps the fall-backs rather than pointing every tool at the root folder.
  std::optional<std::string> installExe;
  if (store.OpenKey(RegistryRoot::LocalMachine, kInstallRecordKey, true)) {
    std::optional<RegistryValue> value =
        store.Value(RegistryRoot::LocalMachine, kInstallRecordKey, kInstallRecordValue);
    if (value) installExe = storedText(value, "");
  }
  const Settings defaults = DefaultSettings(conventions, installExe ? &*installExe : nullptr);
  auto stored = [&](const char* name) { return store.Value(RegistryRoot::CurrentUser, kSettingsKey, name); };

  Settings settings;
  settings.quake3location = storedText(stored("quake3location"), defaults.quake3location);
  settings.lcclocation = storedText(stored("lcclocation"), defaults.lcclocation);
  settings.lcclarguments = storedText(stored("lcclarguments"), defaults.lcclarguments);
  settings.q3asmlocation = storedText(stored("q3asmlocation"), defaults.q3asmlocation);
  settings.q3asmlarguments = storedText(stored("q3asmlarguments"), defaults.q3asmlarguments);
  settings.outputlocation = storedText(stored("outputlocation"), defaults.outputlocation);
  settings.EditorFont = storedText(stored("EditorFont"), defaults.EditorFont);
  settings.EditorFontSize = storedInteger(stored("EditorFontSize")).value_or(defaults.EditorFontSize);
  settings.BackupSource = storedInteger(stored("BackupSource")).value_or(0) != 0;
  settings.ParallelCompiles =
      std::clamp(storedInteger(stored("ParallelCompiles")).value_or(defaults.ParallelCompiles), 1,
                 kMostParallelCompiles);
  settings.UndoLevels =
      std::clamp(storedInteger(stored("UndoLevels")).value_or(defaults.UndoLevels), 1, kMostUndoLevels);
  settings.KeepFileFormat =
      storedInteger(stored("KeepFileFormat")).value_or(defaults.KeepFileFormat ? 1 : 0) != 0;
  settings.TabWidth =
      std::clamp(storedInteger(stored("TabWidth")).value_or(defaults.TabWidth), 1, kMostTabWidth);
  settings.ClangdWarnings = storedInteger(stored("ClangdWarnings")).value_or(0) != 0;
  settings.ReopenLastWorkspace =
      storedInteger(stored("ReopenLastWorkspace")).value_or(defaults.ReopenLastWorkspace ? 1 : 0) != 0;
  settings.DesktopEditing = defaults.DesktopEditing;
  settings.ServerLocation = storedText(stored("ServerLocation"), defaults.ServerLocation);
  settings.RunDedicatedServer =
      storedInteger(stored("RunDedicatedServer")).value_or(defaults.RunDedicatedServer ? 1 : 0) != 0;
  settings.ServerMap = storedText(stored("ServerMap"), defaults.ServerMap);
  settings.ReloadCommand = storedText(stored("ReloadCommand"), defaults.ReloadCommand);
  settings.ColoursFollowPalette = defaults.ColoursFollowPalette;
  settings.outputlocation = WithTrailingDelimiter(settings.outputlocation, conventions.style);
  // The game loads the mod of the output folder in use, which may be a stored one.
  settings.quake3arguments =
      storedText(stored("quake3arguments"), DefaultGameArguments(conventions, settings.outputlocation));
  return settings;
}

void SaveSettings(RegistryStore& store, const Settings& settings) {
  const RegistryRoot root = RegistryRoot::CurrentUser;
  store.OpenKey(root, kSettingsKey, true);
  store.SetString(root, kSettingsKey, "quake3location", settings.quake3location);
  store.SetString(root, kSettingsKey, "quake3arguments", settings.quake3arguments);
  store.SetString(root, kSettingsKey, "lcclocation", settings.lcclocation);
  store.SetString(root, kSettingsKey, "lcclarguments", settings.lcclarguments);
  store.SetString(root, kSettingsKey, "q3asmlocation", settings.q3asmlocation);
  store.SetString(root, kSettingsKey, "q3asmlarguments", settings.q3asmlarguments);
  store.SetString(root, kSettingsKey, "outputlocation", settings.outputlocation);
  store.SetString(root, kSettingsKey, "EditorFont", settings.EditorFont);
  // A size that was stored as a string keeps its kind.
  std::optional<RegistryValue> size = store.Value(root, kSettingsKey, "EditorFontSize");
  if (size && size->IsString())
    store.SetString(root, kSettingsKey, "EditorFontSize", std::to_string(settings.EditorFontSize));
  else
    store.SetNumber(root, kSettingsKey, "EditorFontSize", settings.EditorFontSize);
  store.SetString(root, kSettingsKey, "BackupSource", settings.BackupSource ? "1" : "0");
  store.SetNumber(root, kSettingsKey, "ParallelCompiles", settings.ParallelCompiles);
  store.SetNumber(root, kSettingsKey, "UndoLevels", settings.UndoLevels);
  store.SetNumber(root, kSettingsKey, "KeepFileFormat", settings.KeepFileFormat ? 1 : 0);
  store.SetNumber(root, kSettingsKey, "TabWidth", settings.TabWidth);
  store.SetNumber(root, kSettingsKey, "ClangdWarnings", settings.ClangdWarnings ? 1 : 0);
  store.SetString(root, kSettingsKey, "ServerLocation", settings.ServerLocation);
  store.SetNumber(root, kSettingsKey, "RunDedicatedServer", settings.RunDedicatedServer ? 1 : 0);
  store.SetString(root, kSettingsKey, "ServerMap", settings.ServerMap);
  store.SetString(root, kSettingsKey, "ReloadCommand", settings.ReloadCommand);
  store.SetNumber(root, kSettingsKey, "ReopenLastWorkspace", settings.ReopenLastWorkspace ? 1 : 0);
}

namespace {

bool IsProgram(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string FindProgram(const std::string& program) {
  if (std::string found = FindOnSearchPath(program); !found.empty()) return found;
  std::vector<std::string> folders;
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
    folders.push_back(std::string(home) + "/.local/bin");
  std::error_code noLink;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", noLink);
  if (!noLink) folders.push_back(self.parent_path().string());
  for (const std::string& folder : folders)
    if (IsProgram(folder + "/" + program)) return folder + "/" + program;
  return {};
}

std::string FindOnSearchPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (path == nullptr || program.empty()) return {};
  std::string folders = path;
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(':', start);
    if (end == std::string::npos) end = folders.size();
    std::string folder = folders.substr(start, end - start);
    if (!folder.empty()) {
      std::string candidate = folder + "/" + program;
      if (IsProgram(candidate)) return candidate;
    }
    start = end + 1;
  }
  return {};
}
