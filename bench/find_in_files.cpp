// Find in Files against grep over a generated tree of C files (about 60 MB in 2,600 files), in
// the same run: a common word, a rare identifier and a 20-byte phrase, each with and without
// case, with the same hit lines counted on both sides. Then the list: 50,000 hits shown on the
// "Find in Files" page by the command, against the toolkit's own batch insert of the same texts.
#include "DisplayText.h"
#include "FindInFilesCommands.h"
#include "FindInFilesDialog.h"
#include "FindInFilesSearch.h"
#include "ProjectList.h"
#include "RatioReporter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace fs = std::filesystem;

namespace {

constexpr int kFiles = 2600;
constexpr int kLinesPerFile = 560;
constexpr int kListedHits = 50000;

struct Query {
  const char* name;
  const char* pattern;
  bool caseSensitive;
};

const Query kQueries[] = {
    {"common_word", "spread", true},
    {"common_word_nocase", "SPREAD", false},
    {"rare_identifier", "BotAIStartFrame", true},
    {"rare_identifier_nocase", "botaistartframe", false},
    {"phrase", "ent->client->ps.vel", true},
    {"phrase_nocase", "ENT->CLIENT->PS.VEL", false},
};

// Game-like C: the usual lines with numbered names, a rare identifier in one file of 200.
struct Tree {
  fs::path folder = fs::temp_directory_path() / ("tessarin-bench-fif-" + std::to_string(::getpid()));
  std::vector<ProjectFile> files;

  Tree() {
    static const char* const body[] = {
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
    char line[256];
    for (int f = 0; f < kFiles; ++f) {
      const fs::path path = folder / ("dir" + std::to_string(f % 26)) / ("g_file" + std::to_string(f) + ".c");
      fs::create_directories(path.parent_path());
      std::string text;
      for (int i = 0; i < kLinesPerFile; ++i) {
        std::snprintf(line, sizeof line, body[i % 20], f * 1000 + i);
        text += line;
        text += '\n';
        if (f % 200 == 7 && i == 300) text += "\ttrap_BotAIStartFrame( level.time );\n";
      }
      std::ofstream(path, std::ios::binary) << text;
      files.push_back({path.string()});
    }
  }
  ~Tree() { fs::remove_all(folder); }
};

Tree* tree = nullptr;
std::map<std::string, std::size_t> tessarinHits, grepHits;

std::size_t SearchWithTessarin(const Query& query) {
  SearchEngine engine;
  engine.SetPattern(query.pattern);
  engine.SetCaseSensitive(query.caseSensitive);
  std::size_t hits = 0;
  SearchFiles(engine, tree->files, [&hits](std::string) { ++hits; });
  return hits;
}

std::size_t SearchWithGrep(const Query& query) {
  const std::string command = std::string("grep -rnF") + (query.caseSensitive ? "" : "i") + " -e '" +
                              query.pattern + "' " + tree->folder.string() + " | wc -l";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  std::size_t hits = 0;
  if (pipe != nullptr) {
    if (std::fscanf(pipe, "%zu", &hits) != 1) hits = 0;
    ::pclose(pipe);
  }
  return hits;
}

void BM_Tessarin(benchmark::State& state, const Query& query) {
  for (auto _ : state)
    tessarinHits[query.name] = SearchWithTessarin(query);
}

void BM_Grep(benchmark::State& state, const Query& query) {
  for (auto _ : state)
    grepHits[query.name] = SearchWithGrep(query);
}

// The command's list after a search with kListedHits hits, the files being read already.
void BM_ListTheHits(benchmark::State& state) {
  ProjectList workspace;
  Project& project = workspace.AddProject();
  // Five lines in twenty hold "spread".
  project.Files.assign(tree->files.begin(), tree->files.begin() + kListedHits / (kLinesPerFile / 4) + 1);
  workspace.ActiveProject = &project;
  FindInFilesDialog dialog;
  dialog.FindTextComboBox->setEditText("spread");
  dialog.CaseCheckBox->setChecked(true);
  QTabWidget pages;
  auto* sheet = new QWidget;
  auto* list = new QListWidget(sheet);
  list->setUniformItemSizes(true);
  pages.addTab(sheet, "Find in Files");
  pages.resize(800, 300);
  pages.show();
  struct NeverStop : FindInFilesProgress {
    bool Continue(int, int, std::size_t) override { return true; }
  };
  FindInFilesCommands commands(
      dialog, workspace, FindInFilesPage{pages, *sheet, *list}, [](QDialog&) { return true; },
      [] { return std::make_unique<NeverStop>(); });
  for (auto _ : state) {
    commands.FindInFiles();
    QApplication::processEvents();
    state.counters["hits"] = list->count();
  }
}

// The toolkit's floor: the same number of texts put into a list in one call.
void BM_ListBatchInsert(benchmark::State& state) {
  QStringList items;
  for (int i = 0; i < kListedHits; ++i)
    items.append(ToDisplay("/tmp/tree/g_file" + std::to_string(i) + ".c:12: \tfloat spread = baseSpread;"));
  QListWidget list;
  list.setUniformItemSizes(true);
  list.resize(800, 300);
  list.show();
  for (auto _ : state) {
    list.clear();
    list.addItems(items);
    list.setCurrentRow(list.count() - 1);
    QApplication::processEvents();
  }
}

} // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  Tree generated;
  tree = &generated;
  for (const Query& query : kQueries) {
    benchmark::RegisterBenchmark((std::string("Tessarin_") + query.name).c_str(), BM_Tessarin, query)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::RegisterBenchmark((std::string("Grep_") + query.name).c_str(), BM_Grep, query)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
  }
  benchmark::RegisterBenchmark("ListTheHits", BM_ListTheHits)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::RegisterBenchmark("ListBatchInsert", BM_ListBatchInsert)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();

  std::cout << "\nFind in Files against grep -rnF (wall time, same hit lines; goal: at most 1.0x):\n";
  for (const Query& query : kQueries) {
    const std::string name = query.name;
    const double ours = reporter.seconds["Tessarin_" + name], theirs = reporter.seconds["Grep_" + name];
    std::cout << "  " << name << ": " << ours * 1000 << " ms against " << theirs * 1000 << " ms, ratio "
              << ours / theirs << "; " << tessarinHits[name] << " lines against grep's " << grepHits[name]
              << (tessarinHits[name] == grepHits[name] ? "" : "  (DIFFERENT)") << "\n";
  }
  std::cout << "The list of about " << kListedHits
            << " hits (search and list, goal: at most 500 ms): " << reporter.seconds["ListTheHits"] * 1000
            << " ms; the toolkit's batch insert of as many texts: "
            << reporter.seconds["ListBatchInsert"] * 1000 << " ms\n";
}
