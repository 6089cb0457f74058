// Find in Files against grep and ripgrep over a generated tree the size of the game's code (900
// C files, about 300,000 lines), in the same run and with the same hit lines counted on both
// sides: plain text against grep -rnF, regular expressions against grep -rnE, each also against
// rg when it is installed. Then the page: 50,000 hits searched and listed by the command, and the
// first paint of the page after it. Then Replace in Files: 10,000 replacements in 300 files,
// preview confirmed, against sed -i doing the same replacement on the same files; and the same on
// a copy of the game's own code (every .c and .h file), with the results compared byte for byte.
#include "FindInFilesCommands.h"
#include "FindInFilesDialog.h"
#include "FindInFilesSearch.h"
#include "PlacesPage.h"
#include "ProjectList.h"
#include "RatioReporter.h"
#include "SilentQuestions.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListView>
#include <QRadioButton>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 900;
constexpr int kLinesPerFile = 334;
constexpr int kListedHits = 50000;
constexpr int kReplacedFiles = 300;

struct Query {
  const char* name;
  const char* pattern;
  bool caseSensitive;
  bool regularExpression;
};

const Query kQueries[] = {
    {"common_word", "spread", true, false},
    {"common_word_nocase", "SPREAD", false, false},
    {"rare_identifier", "BotAIStartFrame", true, false},
    {"phrase", "ent->client->ps.vel", true, false},
    {"regex_identifier", "G_RunThink[0-9]+", true, true},
    {"regex_alternatives", "(weaponTime|pm_flags) [&/]", true, true},
    {"regex_rare", "trap_[A-Z][a-z]+AI[A-Za-z]*", true, true},
};

const char* const kBody[] = {
    "// Returns the weapon's spread for the current frame and its fire rate",
    "static float WeaponSpread%d(gentity_t *ent, int weapon, float baseSpread) {",
    "\tfloat spread = baseSpread * 1.5f; // widened while moving quickly",
    "\tif (ent->client->ps.velocity[0] > 320 || ent->client->ps.pm_flags & 0x20) {",
    "\t\tspread += (float)ent->client->ps.weaponTime / 1000.0f + 0.25f;",
    "\t\tG_Printf(\"spread for %%s is now %%f at level %d\\n\", ent->classname, spread);",
    "\t}",
    "\treturn spread < 0.0f ? 0.0f : spread;",
    "}",
    "",
    "void G_RunThink%d( gentity_t *ent ) {",
    "\tint\tthinktime;",
    "\tthinktime = ent->nextthink;",
    "\tif ( thinktime <= 0 || thinktime > level.time ) {",
    "\t\treturn;",
    "\t}",
    "\tent->nextthink = 0;",
    "\tent->think( ent );",
    "}",
    "",
};

std::string FileText(int file) {
  std::string text;
  char line[256];
  for (int i = 0; i < kLinesPerFile; ++i) {
    std::snprintf(line, sizeof line, kBody[i % 20], file * 1000 + i);
    text += line;
    text += '\n';
    if (file % 60 == 7 && i == 300) text += "\ttrap_BotAIStartFrame( level.time );\n";
  }
  return text;
}

// Game-like C: the usual lines with numbered names, a rare identifier in one file of 60.
struct Tree {
  fs::path folder = fs::temp_directory_path() / ("tessarin-bench-fif-" + std::to_string(::getpid()));
  std::vector<std::string> files;

  Tree() {
    for (int f = 0; f < kFiles; ++f) {
      const fs::path path = folder / ("dir" + std::to_string(f % 9)) / ("g_file" + std::to_string(f) + ".c");
      fs::create_directories(path.parent_path());
      std::ofstream(path, std::ios::binary) << FileText(f);
      files.push_back(path.string());
    }
  }
  ~Tree() { fs::remove_all(folder); }
};

Tree* tree = nullptr;
std::map<std::string, std::size_t> hitLines;
bool haveRipgrep = false;

std::size_t CountLines(const std::string& command) {
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::size_t lines = 0;
  if (pipe != nullptr) {
    if (std::fscanf(pipe, "%zu", &lines) != 1) lines = 0;
    ::pclose(pipe);
  }
  return lines;
}

std::string ToolCommand(const std::string& tool, const Query& query) {
  const std::string nocase = query.caseSensitive ? "" : " -i";
  const std::string pattern = " -e '" + std::string(query.pattern) + "' ";
  if (tool == "grep")
    return std::string("grep -rn") + (query.regularExpression ? "E" : "F") + nocase + pattern +
           tree->folder.string() + " | wc -l";
  return std::string("rg -n --no-heading --no-config") + (query.regularExpression ? "" : " -F") + nocase +
         pattern + tree->folder.string() + " | wc -l";
}

void BM_Tessarin(benchmark::State& state, const Query& query) {
  for (auto _ : state) {
    TextMatcher matcher(SearchQuery{query.pattern, query.caseSensitive, false, query.regularExpression});
    std::size_t lines = 0;
    for (const std::string& file : tree->files)
      lines += SearchFile(matcher, {file, std::nullopt}).lines.size();
    hitLines[std::string("Tessarin_") + query.name] = lines;
  }
}

void BM_Tool(benchmark::State& state, const std::string& tool, const Query& query) {
  for (auto _ : state)
    hitLines[tool + "_" + query.name] = CountLines(ToolCommand(tool, query));
}

struct Page {
  ProjectList workspace;
  FindInFilesDialog dialog{true};
  QTabWidget pages;
  PlacesPage* results = new PlacesPage;
  SilentQuestions questions;
  struct NeverStop : FindInFilesProgress {
    bool Continue(int, int, std::size_t) override { return true; }
  };
  FindInFilesCommands commands{dialog,
                               workspace,
                               FindInFilesPage{pages, *results, *results},
                               FindInFilesWindows{},
                               questions,
                               [] { return false; },
                               [](QDialog&) { return true; },
                               [] { return std::make_unique<NeverStop>(); }};

  explicit Page(const std::vector<std::string>& files) {
    Project& project = workspace.AddProject();
    for (const std::string& file : files)
      project.Files.push_back({file});
    workspace.ActiveProject = &project;
    dialog.WorkspaceRadioButton->setChecked(true);
    pages.addTab(results, "Find in Files");
    pages.resize(900, 300);
    pages.show();
  }
};

// The command's page after a search with kListedHits hits: search, list, and the first paint.
void BM_ListTheHits(benchmark::State& state) {
  // Five lines in twenty hold "spread".
  const int files = kListedHits / (kLinesPerFile / 4) + 1;
  Page page(std::vector<std::string>(tree->files.begin(), tree->files.begin() + files));
  page.dialog.SetFindText("spread");
  page.dialog.CaseCheckBox->setChecked(true);
  for (auto _ : state) {
    page.commands.FindInFiles();
    QApplication::processEvents();
    state.counters["hits"] = page.results->Places().MarkCount();
  }
}

// The window's answer after the list is there: a paint of the page scrolled to its middle.
void BM_PaintTheListedHits(benchmark::State& state) {
  const int files = kListedHits / (kLinesPerFile / 4) + 1;
  Page page(std::vector<std::string>(tree->files.begin(), tree->files.begin() + files));
  page.dialog.SetFindText("spread");
  page.commands.FindInFiles();
  QApplication::processEvents();
  int row = 0;
  for (auto _ : state) {
    row = (row + 7919) % page.results->Places().rowCount();
    page.results->SelectRow(row);
    page.results->List().viewport()->repaint();
  }
}

// 10,000 replacements in 300 files: "nextthink" appears twice in every 20 lines.
std::vector<std::string> ReplacedFiles() {
  return std::vector<std::string>(tree->files.begin(), tree->files.begin() + kReplacedFiles);
}

void RestoreReplacedFiles() {
  for (int f = 0; f < kReplacedFiles; ++f)
    std::ofstream(tree->files[static_cast<std::size_t>(f)], std::ios::binary) << FileText(f);
}

void BM_ReplaceInFiles(benchmark::State& state) {
  Page page(ReplacedFiles());
  page.dialog.ProjectRadioButton->setChecked(true);
  page.dialog.SetFindText("nextthink");
  page.dialog.NewTextComboBox->setEditText("nextThink");
  page.dialog.CaseCheckBox->setChecked(true);
  for (auto _ : state) {
    page.commands.ReplaceInFiles();
    state.PauseTiming();
    state.counters["replacements"] =
        std::stod(page.questions.lastInform.substr(0, page.questions.lastInform.find(' ')));
    RestoreReplacedFiles();
    state.ResumeTiming();
  }
}

void BM_SedReplace(benchmark::State& state) {
  std::string command = "sed -i 's/nextthink/nextThink/g'";
  for (const std::string& file : ReplacedFiles())
    command += " " + file;
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("sed failed");
    state.PauseTiming();
    RestoreReplacedFiles();
    state.ResumeTiming();
  }
}

// The game's own code, copied to a temporary folder: the original files and the copies.
struct EngineCode {
  fs::path source = "/root/.cache/ioq3-real/ioq3/code";
  fs::path folder = fs::temp_directory_path() / ("tessarin-bench-engine-" + std::to_string(::getpid()));
  std::vector<std::pair<fs::path, fs::path>> files; // original, copy

  EngineCode() {
    std::error_code failed;
    if (!fs::is_directory(source, failed)) return;
    for (const auto& entry : fs::recursive_directory_iterator(source, failed)) {
      const std::string extension = entry.path().extension().string();
      if (!entry.is_regular_file() || (extension != ".c" && extension != ".h")) continue;
      const fs::path copy = folder / fs::relative(entry.path(), source);
      files.emplace_back(entry.path(), copy);
    }
    Restore();
  }
  ~EngineCode() { fs::remove_all(folder); }

  void Restore() const {
    for (const auto& [original, copy] : files) {
      fs::create_directories(copy.parent_path());
      fs::copy_file(original, copy, fs::copy_options::overwrite_existing);
    }
  }
  [[nodiscard]] std::vector<std::string> Copies() const {
    std::vector<std::string> copies;
    for (const auto& file : files)
      copies.push_back(file.second.string());
    return copies;
  }
  [[nodiscard]] std::string Contents() const {
    std::string all;
    for (const auto& file : files)
      all += TempRead(file.second);
    return all;
  }
  static std::string TempRead(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
};

EngineCode* engine = nullptr;
constexpr const char* kEngineFind = "ent";
constexpr const char* kEngineReplace = "Ent";
std::string sedResult; // the copies' text after sed -i, to compare ours with

void BM_SedOnEngineCode(benchmark::State& state) {
  if (engine->files.empty()) {
    state.SkipWithError(("the game's code is not at " + engine->source.string()).c_str());
    return;
  }
  std::string command = std::string("sed -i 's/") + kEngineFind + "/" + kEngineReplace + "/g'";
  for (const std::string& file : engine->Copies())
    command += " " + file;
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("sed -i failed");
      break;
    }
    state.PauseTiming();
    sedResult = engine->Contents();
    engine->Restore();
    state.ResumeTiming();
  }
  state.counters["files"] = static_cast<double>(engine->files.size());
}

void BM_ReplaceInEngineCode(benchmark::State& state) {
  if (engine->files.empty() || sedResult.empty()) {
    state.SkipWithError("no sed -i run on the game's code to compare with");
    return;
  }
  Page page(engine->Copies());
  page.dialog.ProjectRadioButton->setChecked(true);
  page.dialog.SetFindText(kEngineFind);
  page.dialog.NewTextComboBox->setEditText(kEngineReplace);
  page.dialog.CaseCheckBox->setChecked(true);
  for (auto _ : state) {
    page.commands.ReplaceInFiles();
    state.PauseTiming();
    const bool same = engine->Contents() == sedResult;
    state.counters["replacements"] =
        std::stod("0" + page.questions.lastInform.substr(0, page.questions.lastInform.find(' ')));
    engine->Restore();
    state.ResumeTiming();
    if (!same) {
      state.SkipWithError("the files differ from what sed -i made of them");
      break;
    }
  }
}

void Register(const char* name, const std::function<void(benchmark::State&)>& run) {
  benchmark::RegisterBenchmark(name, run)->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  Tree generated;
  tree = &generated;
  haveRipgrep = std::system("rg --version >/dev/null 2>&1") == 0;
  for (const Query& query : kQueries) {
    const std::string name = query.name;
    Register(("Tessarin_" + name).c_str(), [&query](benchmark::State& state) { BM_Tessarin(state, query); });
    Register(("grep_" + name).c_str(), [&query](benchmark::State& state) { BM_Tool(state, "grep", query); });
    if (haveRipgrep)
      Register(("rg_" + name).c_str(), [&query](benchmark::State& state) { BM_Tool(state, "rg", query); });
  }
  Register("ListTheHits", BM_ListTheHits);
  Register("PaintTheListedHits", BM_PaintTheListedHits);
  Register("ReplaceInFiles", BM_ReplaceInFiles);
  Register("SedReplace", BM_SedReplace);
  EngineCode engineCode;
  engine = &engineCode;
  Register("SedOnEngineCode", BM_SedOnEngineCode);
  Register("ReplaceInEngineCode", BM_ReplaceInEngineCode);
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::cout << "\nFind in Files against grep -rnF / -rnE (wall time, same hit lines; goal: at most 1.0x)"
            << (haveRipgrep ? " and rg:\n" : "; rg is not installed (package ripgrep):\n");
  for (const Query& query : kQueries) {
    const std::string name = query.name;
    const double ours = reporter.seconds["Tessarin_" + name];
    std::cout << "  " << name << ": " << ours * 1000 << " ms, " << hitLines["Tessarin_" + name] << " lines";
    for (const std::string tool : {"grep", "rg"}) {
      if (!reporter.seconds.count(tool + "_" + name)) continue;
      const double theirs = reporter.seconds[tool + "_" + name];
      const std::size_t lines = hitLines[tool + "_" + name];
      std::cout << "; " << tool << " " << theirs * 1000 << " ms, ratio " << ours / theirs
                << (lines == hitLines["Tessarin_" + name]
                        ? ""
                        : " (DIFFERENT hit lines: " + std::to_string(lines) + ")");
    }
    std::cout << "\n";
  }
  std::cout << "The page with " << kListedHits << " hits: search and list "
            << reporter.seconds["ListTheHits"] * 1000 << " ms; then a paint of the page "
            << reporter.seconds["PaintTheListedHits"] * 1000
            << " ms (goal: the window answers within 300 ms)\n";
  std::cout << "Replace in Files, 10,000 replacements in " << kReplacedFiles
            << " files: " << reporter.seconds["ReplaceInFiles"] * 1000 << " ms against sed -i "
            << reporter.seconds["SedReplace"] * 1000 << " ms, ratio "
            << reporter.seconds["ReplaceInFiles"] / reporter.seconds["SedReplace"] << " (goal: within 1 s)\n";
  if (reporter.seconds.count("ReplaceInEngineCode") && reporter.seconds.count("SedOnEngineCode"))
    std::cout << "Replace in Files on the game's code, '" << kEngineFind << "' by '" << kEngineReplace
              << "' in " << engine->files.size()
              << " files: " << reporter.seconds["ReplaceInEngineCode"] * 1000 << " ms against sed -i "
              << reporter.seconds["SedOnEngineCode"] * 1000 << " ms, ratio "
              << reporter.seconds["ReplaceInEngineCode"] / reporter.seconds["SedOnEngineCode"]
              << " (goal: at most 1.0x; same bytes as sed)\n";
  else
    std::cout << "Replace in Files on the game's code: not measured (see the errors above)\n";
}
