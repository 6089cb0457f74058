// Answers of any shape: random JSON, well formed or not, read without harm; what is read has the
// protocol's shape, and what has not is left out.
#include "NavigationPrinting.h"
#include "ProtocolResults.h"

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <random>

namespace {

// Random values that often look like the protocol's: positions, ranges, locations, items.
class RandomJson {
public:
  explicit RandomJson(unsigned seed) : random_(seed) {}

  QJsonValue Value(int depth) {
    if (depth > 0 && random_() % 3 == 0) return Shaped(depth);
    static const char* const keys[] = {"uri",
                                       "range",
                                       "start",
                                       "end",
                                       "line",
                                       "character",
                                       "items",
                                       "label",
                                       "kind",
                                       "textEdit",
                                       "newText",
                                       "contents",
                                       "value",
                                       "location",
                                       "name",
                                       "targetUri",
                                       "targetSelectionRange",
                                       "changes",
                                       "documentChanges",
                                       "edits",
                                       "textDocument",
                                       "placeholder",
                                       "insert",
                                       "message",
                                       "severity",
                                       "isIncomplete",
                                       "insertText"};
    switch (depth <= 0 ? random_() % 5 : random_() % 7) {
    case 0: return QJsonValue();
    case 1: return static_cast<double>(static_cast<int>(random_() % 7) - 2) * (random_() % 4 == 0 ? 1e12 : 1);
    case 2: return random_() % 2 == 0;
    case 3: return random_() % 3 == 0 ? QString("file:///m/g_main.c") : QString("x");
    case 4: return random_() % 2 == 0 ? QString() : QString("\xE2\x80\xA2 label");
    case 5: {
      QJsonArray array;
      for (unsigned i = random_() % 4; i > 0; --i)
        array.append(Value(depth - 1));
      return array;
    }
    default: {
      QJsonObject object;
      for (unsigned i = random_() % 5; i > 0; --i)
        object[keys[random_() % (sizeof(keys) / sizeof(*keys))]] = Value(depth - 1);
      return object;
    }
    }
  }

private:
  QJsonValue Number() {
    return random_() % 6 == 0
               ? Value(0)
               : static_cast<double>(static_cast<int>(random_() % 7) - 2) * (random_() % 5 == 0 ? 1e12 : 1);
  }
  QJsonObject Range() {
    return {{"start", QJsonObject{{"line", Number()}, {"character", Number()}}},
            {"end", QJsonObject{{"line", Number()}, {"character", Number()}}}};
  }
  // The protocol's shapes with numbers of any kind in them.
  QJsonValue Shaped(int depth) {
    const QString uri = random_() % 4 ? "file:///m/g_main.c" : "https://m/g_main.c";
    switch (random_() % 6) {
    case 0: return QJsonObject{{"uri", uri}, {"range", Range()}};
    case 1: return QJsonArray{QJsonObject{{"targetUri", uri}, {"targetSelectionRange", Range()}}};
    case 2:
      return QJsonObject{
          {"items", QJsonArray{QJsonObject{
                        {"label", "x"}, {"textEdit", QJsonObject{{"range", Range()}, {"newText", "y"}}}}}}};
    case 3: return QJsonArray{QJsonObject{{"range", Range()}, {"message", "m"}, {"severity", Number()}}};
    case 4:
      return QJsonArray{
          QJsonObject{{"name", "n"}, {"location", QJsonObject{{"uri", uri}, {"range", Range()}}}}};
    default: return QJsonObject{{"contents", Value(depth - 1)}, {"range", Range()}};
    }
  }

  std::mt19937 random_;
};

Places CountingPlaces() {
  return {[](const QString& uri) -> std::optional<std::string> {
            if (!uri.startsWith("file://")) return std::nullopt;
            return uri.mid(7).toStdString();
          },
          [](const std::string&, const ProtocolRange& range) {
            return TextRange{{range.start.line + 1, range.start.character + 1},
                             {range.end.line + 1, range.end.character + 1}};
          }};
}

void ExpectPlace(const TextRange& range) {
  EXPECT_GE(range.start.line, 1);
  EXPECT_GE(range.start.column, 1);
  EXPECT_GE(range.end.line, 1);
  EXPECT_GE(range.end.column, 1);
}

} // namespace

TEST(ProtocolResults, AnswersOfAnyShapeAreReadWithoutHarm) {
  RandomJson random(9);
  const Places places = CountingPlaces();
  for (int round = 0; round < 20000; ++round) {
    const QJsonValue result = random.Value(5);
    for (const SourceLocation& location : ReadLocations(result, places)) {
      EXPECT_EQ(location.path, "/m/g_main.c");
      ExpectPlace(location.range);
    }
    for (const CompletionItem& item : ReadCompletions(result, "/m/g_main.c", {3, 4}, places).items)
      ExpectPlace(item.replaced);
    for (const SymbolMatch& symbol : ReadSymbols(result, places))
      ExpectPlace(symbol.location.range);
    for (const ServerDiagnostic& diagnostic : ReadDiagnostics(result.toArray(), "/m/g_main.c", places))
      ExpectPlace(diagnostic.range);
    (void)ReadHover(result, "/m/g_main.c", places);
    for (const FileEdits& file : ReadWorkspaceEdit(result, places))
      for (const TextEdit& edit : file.edits)
        ExpectPlace(edit.range);
    if (const auto target = ReadRenameTarget(result, "/m/g_main.c", places); target && target->range)
      ExpectPlace(*target->range);
  }
}

TEST(ProtocolResults, EachFormOfALocationAndOfHoverText) {
  const Places places = CountingPlaces();
  const QJsonObject range{{"start", QJsonObject{{"line", 1}, {"character", 2}}},
                          {"end", QJsonObject{{"line", 1}, {"character", 5}}}};
  const Locations one{{"/m/a.c", {{2, 3}, {2, 6}}}};
  EXPECT_EQ(ReadLocations(QJsonObject{{"uri", "file:///m/a.c"}, {"range", range}}, places), one);
  EXPECT_EQ(ReadLocations(QJsonArray{QJsonObject{{"uri", "file:///m/a.c"}, {"range", range}}}, places), one);
  EXPECT_EQ(
      ReadLocations(QJsonArray{QJsonObject{{"targetUri", "file:///m/a.c"}, {"targetSelectionRange", range}}},
                    places),
      one);
  EXPECT_EQ(ReadLocations(QJsonValue(), places), Locations());
  EXPECT_EQ(ReadHover(QJsonObject{{"contents", "int x"}}, "/m/a.c", places).text, "int x");
  EXPECT_EQ(ReadHover(QJsonObject{{"contents",
                                   QJsonArray{"int x", QJsonObject{{"language", "c"}, {"value", "y"}}}}},
                      "/m/a.c", places)
                .text,
            "int x\ny");
  EXPECT_EQ(ReadDiagnostics(QJsonArray{QJsonObject{{"range", range}, {"message", "m"}, {"severity", 9}}},
                            "/m/a.c", places)[0]
                .severity,
            Severity::Error)
      << "an unknown severity counts as an error";
}
