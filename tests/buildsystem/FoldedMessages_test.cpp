#include "FoldedMessagesModel.h"

#include <QApplication>
#include <QColor>
#include <QListView>
#include <QPalette>
#include <gtest/gtest.h>

namespace {

// What the real assembler prints with -v for a module that assembles, and around it a compiler
// error, a compiler warning and the build's own lines.
const std::vector<std::string> kBuild = {
    "Compiling - qagame: g_main.c",
    "g_main.c:12: warning: missing prototype",
    "g_cmds.c:40: syntax error; found `}' expecting `;'",
    "outputFilename: /home/me/.q3a/mymod/vm/qagame",
    "pass 0: g_main.asm",
    "pass 1: g_main.asm",
    "0 total errors",
    "code segment:      32",
    "data segment:       4",
    "lit  segment:       0",
    "bss  segment:   65540",
    "instruction count: 9",
    "Writing to /home/me/.q3a/mymod/vm/qagame.qvm",
    "Writing /home/me/.q3a/mymod/vm/qagame.map...",
    "5 symbols defined",
    "Stats for hashtable CB5872C0, 2048 buckets, 5 nodes",
    " Longest chain: 1, empty chains: 2043, mean non-empty: 1.000000",
    "    0 seconds elapsed",
    "Completed - qagame.qvm",
};

std::vector<std::string> shown(const FoldedMessagesModel& model) {
  std::vector<std::string> rows;
  for (int row = 0; row < model.rowCount(); ++row)
    rows.push_back(model.Line(row));
  return rows;
}

} // namespace

// The assembler's statistics fold into its summary line, which says so and unfolds them; the
// lines under the rows stay as the tools wrote them, also for the lines still coming.
TEST(FoldedMessages, TheAssemblersDetailsFoldIntoItsSummary) {
  MessageLines lines;
  BuildMessagesModel source(lines);
  FoldedMessagesModel model(source);
  QListView view;
  FollowLastLine(view, model);
  for (const std::string& line : kBuild)
    lines.Add(line);
  source.Sync();
  EXPECT_EQ(shown(model),
            (std::vector<std::string>{kBuild[0], kBuild[1], kBuild[2], "0 total errors", kBuild.back()}));
  EXPECT_EQ(view.currentIndex().row(), 4);
  ASSERT_TRUE(model.IsSummaryRow(3));
  EXPECT_FALSE(model.IsSummaryRow(2));
  EXPECT_TRUE(model.data(model.index(3, 0), Qt::DisplayRole)
                  .toString()
                  .startsWith("0 total errors   (the assembler's details are folded"));
  EXPECT_EQ(model.data(model.index(2, 0), Qt::DisplayRole).toString().toStdString(), kBuild[2]);

  model.ShowDetails(true);
  EXPECT_EQ(shown(model), kBuild);
  EXPECT_TRUE(model.data(model.index(6, 0), Qt::DisplayRole)
                  .toString()
                  .endsWith("(double-click to fold the assembler's details)"));
  model.ShowDetails(false);
  lines.Add("pass 0: cg_main.asm");
  lines.Add("cg_main.asm:8 error: symbol missing undefined");
  lines.Add("1 total errors");
  source.Sync();
  EXPECT_EQ(model.rowCount(), 7);
  EXPECT_EQ(model.Line(6), "1 total errors");
  lines.Clear();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST(FoldedMessages, OnlyTheAssemblersStatisticsAreDetails) {
  for (std::size_t i = 3; i + 1 < kBuild.size(); ++i)
    EXPECT_EQ(IsToolDetail(kBuild[i]), kBuild[i] != "0 total errors") << kBuild[i];
  for (const char* kept : {"Compiling - qagame: g_main.c", "Writing", "pass 2 players", "symbols defined",
                           "g_main.c:3: code segment: too big", "12 total errors", "", "   "})
    EXPECT_FALSE(IsToolDetail(kept)) << kept;
  EXPECT_TRUE(IsDetailSummary("12 total errors"));
  EXPECT_FALSE(IsDetailSummary("total errors"));
}

// Errors and warnings stand out in colours that read on the palette's base, light or dark.
TEST(FoldedMessages, ErrorsAndWarningsAreColouredForTheLightOrDarkPalette) {
  EXPECT_EQ(ToneOfMessage(kBuild[0]), MessageTone::Plain);
  EXPECT_EQ(ToneOfMessage(kBuild[1]), MessageTone::Warning);
  EXPECT_EQ(ToneOfMessage(kBuild[2]), MessageTone::Error);
  EXPECT_EQ(ToneOfMessage("cg_main.asm:8 error: symbol missing undefined"), MessageTone::Error);
  EXPECT_EQ(ToneOfMessage("0 total errors"), MessageTone::Plain);
  EXPECT_EQ(ToneOfMessage("10 total errors"), MessageTone::Error);
  EXPECT_EQ(ToneOfMessage("************ ERROR ************"), MessageTone::Error);
  EXPECT_EQ(ToneOfMessage("pass 0: g_main.asm"), MessageTone::Detail);

  MessageLines lines;
  for (const std::string& line : kBuild)
    lines.Add(line);
  BuildMessagesModel source(lines);
  FoldedMessagesModel model(source);
  const QPalette kept = QApplication::palette();
  auto contrast = [&model](int row) {
    const QColor text = model.data(model.index(row, 0), Qt::ForegroundRole).value<QColor>();
    const QColor base = QApplication::palette().color(QPalette::Base);
    return std::abs(text.lightness() - base.lightness());
  };
  for (const QColor& base : {QColor(Qt::white), QColor(0x1E, 0x1E, 0x1E)}) {
    QPalette palette = kept;
    palette.setColor(QPalette::Base, base);
    QApplication::setPalette(palette);
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::ForegroundRole).isValid());
    EXPECT_GE(contrast(1), 80) << base.name().toStdString();
    EXPECT_GE(contrast(2), 80) << base.name().toStdString();
  }
  QApplication::setPalette(kept);
}
