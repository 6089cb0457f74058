// The navigator against the scripted server: documents reach the server as the editor changes
// them, places convert between byte columns and UTF-16 columns both ways, answers to an older
// text are dropped, and answers come back in the editor's terms.
#include "ClangdNavigator.h"
#include "FakeServer.h"
#include "NavigationPrinting.h"

#include <gtest/gtest.h>

namespace {

QJsonObject At(int line, int character) { return {{"line", line}, {"character", character}}; }
QJsonObject Range(int line, int start, int end) {
  return {{"start", At(line, start)}, {"end", At(line, end)}};
}

template <typename Value> struct Received {
  std::vector<Reply<Value>> answers;
  ReplyHandler<Value> Handler() {
    return [this](const Reply<Value>& answer) { answers.push_back(answer); };
  }
  const Reply<Value>& Wait() {
    EXPECT_TRUE(WaitUntil([&] { return !answers.empty(); }));
    return answers.at(0);
  }
};

// The document the tests open: a tab, a two-byte "é" and a four-byte "😀" before the names.
const std::vector<std::string> kLines{"#include \"g_local.h\"", "\tint caf\xC3\xA9 = G_Sum(1, 2);",
                                      "\t/* \xF0\x9F\x98\x80 */ G_Sum(3, 4);"};

} // namespace

TEST(ClangdNavigator, DocumentsReachTheServerAsTheyChange) {
  // The first server ends when the document is saved; the second gets the document again.
  FakeServer fake({Rule("textDocument/didSave", {{"start", 1}, {"exit", 1}})});
  ClangdNavigator navigator(fake.Options());
  navigator.Start();
  ASSERT_TRUE(WaitUntil([&] { return navigator.Server().CurrentState() == LanguageServer::State::Running; }));
  const std::string path = fake.Dir().file("my mod/g_main.c");
  const QString uri = QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
  EXPECT_TRUE(uri.endsWith("/my%20mod/g_main.c")) << uri.toStdString();
  navigator.OpenDocument(path, kLines);
  navigator.EditDocument(path, {{{2, 9}, {2, 11}}, "e"}); // "é" becomes "e"
  navigator.EditDocument(path, {{{3, 1}, {3, 1}}, "x\n"});
  navigator.EditDocument("/not/open.c", {{{1, 1}, {1, 1}}, "ignored"});
  navigator.SaveDocument(path);
  ASSERT_TRUE(WaitUntil([&] { return fake.Starts() == 2 && !fake.Received("initialized").empty(); }));
  ASSERT_TRUE(WaitUntil([&] { return fake.Received("textDocument/didOpen").size() == 2; }));
  navigator.CloseDocument(path);
  ASSERT_TRUE(fake.WaitFor("textDocument/didClose"));

  const std::vector<QJsonObject> opened = fake.Received("textDocument/didOpen");
  EXPECT_EQ(
      opened[0]["params"],
      (QJsonObject{{"textDocument", QJsonObject{{"uri", uri},
                                                {"languageId", "c"},
                                                {"version", 1},
                                                {"text", QString::fromUtf8("#include \"g_local.h\"\n"
                                                                           "\tint café = G_Sum(1, 2);\n"
                                                                           "\t/* 😀 */ G_Sum(3, 4);")}}}}));
  // The edits made in a moment go out together, before the save.
  const std::vector<QJsonObject> changes = fake.Received("textDocument/didChange");
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(
      changes[0]["params"],
      (QJsonObject{{"textDocument", QJsonObject{{"uri", uri}, {"version", 3}}},
                   {"contentChanges", QJsonArray{QJsonObject{{"range", Range(1, 8, 9)}, {"text", "e"}},
                                                 QJsonObject{{"range", Range(2, 0, 0)}, {"text", "x\n"}}}}}));
  EXPECT_EQ(fake.Received("textDocument/didSave")[0]["params"],
            (QJsonObject{{"textDocument", QJsonObject{{"uri", uri}}}}));
  // After the restart the server has the text as it is now, at its current version.
  const QJsonObject reopened = opened[1]["params"].toObject()["textDocument"].toObject();
  EXPECT_EQ(reopened["version"], 3);
  EXPECT_EQ(
      reopened["text"],
      QString::fromUtf8("#include \"g_local.h\"\n\tint cafe = G_Sum(1, 2);\nx\n\t/* 😀 */ G_Sum(3, 4);"));
  EXPECT_EQ(fake.Received("textDocument/didClose")[0]["params"],
            (QJsonObject{{"textDocument", QJsonObject{{"uri", uri}}}}));
}

// A keystroke sends nothing by itself: what is typed in a moment goes out as one change, and
// before any request, so the request is about the text as the editor has it.
TEST(ClangdNavigator, TypingGoesOutInBatchesAndARequestSendsItFirst) {
  FakeServer fake;
  ClangdNavigator navigator(fake.Options());
  navigator.Start();
  ASSERT_TRUE(WaitUntil([&] { return navigator.Server().CurrentState() == LanguageServer::State::Running; }));
  const std::string path = fake.Dir().file("g_main.c");
  navigator.OpenDocument(path, kLines);
  for (int key = 0; key < 50; ++key)
    navigator.EditDocument(path, {{{1, 1}, {1, 1}}, "x"});
  Received<Locations> defined;
  navigator.Definition(path, {1, 51}, defined.Handler());
  ASSERT_TRUE(fake.WaitFor("textDocument/definition"));
  std::vector<QString> methods;
  for (const QJsonObject& message : fake.Received())
    if (message["method"].toString().startsWith("textDocument/"))
      methods.push_back(message["method"].toString());
  EXPECT_EQ(methods, (std::vector<QString>{"textDocument/didOpen", "textDocument/didChange",
                                           "textDocument/definition"}));
  const QJsonObject change = fake.Received("textDocument/didChange")[0]["params"].toObject();
  EXPECT_EQ(change["textDocument"].toObject()["version"], 51);
  // Fifty keys at one place are one change.
  EXPECT_EQ(
      change["contentChanges"].toArray(),
      (QJsonArray{QJsonObject{{"range", QJsonObject{{"start", QJsonObject{{"line", 0}, {"character", 0}}},
                                                    {"end", QJsonObject{{"line", 0}, {"character", 0}}}}},
                              {"text", QString(50, u'x')}}}));
  EXPECT_EQ(fake.Received("textDocument/definition")[0]["params"].toObject()["position"],
            (QJsonObject{{"line", 0}, {"character", 50}}));
}

// Places in the open document are counted in its text as the editor has it, places in other
// files in the files on disk, each way between bytes and UTF-16 units.
TEST(ClangdNavigator, PlacesComeBackInByteColumns) {
  FakeServer fake;
  const std::string header =
      fake.Dir().write("g_local.h", "/* \xC3\xA9t\xC3\xA9 */\r\nint\tG_Sum( int a, int b );\n");
  const std::string source = fake.Dir().write("g_main.c", "stale text on disk\n");
  const QString headerUri = QUrl::fromLocalFile(QString::fromStdString(header)).toString();
  const QString sourceUri = QUrl::fromLocalFile(QString::fromStdString(source)).toString();
  const QJsonArray definition{QJsonObject{
      {"targetUri", headerUri}, {"targetRange", Range(1, 0, 25)}, {"targetSelectionRange", Range(1, 4, 9)}}};
  const QJsonArray references{QJsonObject{{"uri", headerUri}, {"range", Range(1, 4, 9)}},
                              QJsonObject{{"uri", sourceUri}, {"range", Range(2, 10, 15)}},
                              QJsonObject{{"uri", "https://example.org/x.c"}, {"range", Range(0, 0, 1)}},
                              QJsonObject{{"uri", sourceUri}, {"range", "broken"}}};
  const QJsonObject hover{
      {"contents", QJsonObject{{"kind", "plaintext"}, {"value", "int G_Sum(int a, int b)"}}},
      {"range", Range(1, 11, 16)}};
  const QJsonObject symbol{{"name", "G_Sum"},
                           {"kind", 12},
                           {"containerName", ""},
                           {"location", QJsonObject{{"uri", headerUri}, {"range", Range(1, 4, 9)}}}};
  FakeServer scripted({Rule("textDocument/definition", {{"reply", definition}}),
                       Rule("textDocument/references", {{"reply", references}}),
                       Rule("textDocument/hover", {{"reply", hover}}),
                       Rule("workspace/symbol", {{"reply", QJsonArray{symbol}}})});
  ClangdNavigator navigator(scripted.Options());
  navigator.Start();
  navigator.OpenDocument(source, kLines);

  Received<Locations> defined;
  navigator.Definition(source, {2, 14}, defined.Handler());
  const Reply<Locations>& found = defined.Wait();
  ASSERT_EQ(found.status, ReplyStatus::Answered) << found.problem;
  EXPECT_EQ(found.value, (Locations{{header, {{2, 5}, {2, 10}}}}));
  ASSERT_TRUE(scripted.WaitFor("textDocument/definition"));
  EXPECT_EQ(scripted.Received("textDocument/definition")[0]["params"].toObject()["position"], At(1, 12))
      << "byte column 14 of the line with the tab and the two-byte character";

  Received<Locations> referenced;
  navigator.References(source, {3, 14}, referenced.Handler());
  EXPECT_EQ(referenced.Wait().value, (Locations{{header, {{2, 5}, {2, 10}}}, {source, {{3, 13}, {3, 18}}}}))
      << "the open document's text, not the file's; what names no file, or no range, is left out";
  ASSERT_TRUE(scripted.WaitFor("textDocument/references"));
  const QJsonObject asked = scripted.Received("textDocument/references")[0]["params"].toObject();
  EXPECT_EQ(asked["position"], At(2, 11));
  EXPECT_EQ(asked["context"], (QJsonObject{{"includeDeclaration", true}}));

  Received<HoverText> hovered;
  navigator.Hover(source, {2, 16}, hovered.Handler());
  EXPECT_EQ(hovered.Wait().value.text, "int G_Sum(int a, int b)");
  EXPECT_EQ(hovered.Wait().value.range, (TextRange{{2, 13}, {2, 18}}));

  Received<std::vector<SymbolMatch>> symbols;
  navigator.WorkspaceSymbols("G_S", symbols.Handler());
  ASSERT_EQ(symbols.Wait().value.size(), 1u);
  EXPECT_EQ(symbols.Wait().value[0].name, "G_Sum");
  EXPECT_EQ(symbols.Wait().value[0].kind, SymbolKind::Function);
  EXPECT_EQ(symbols.Wait().value[0].location, (SourceLocation{header, {{2, 5}, {2, 10}}}));
  ASSERT_TRUE(scripted.WaitFor("workspace/symbol"));
  EXPECT_EQ(scripted.Received("workspace/symbol")[0]["params"], (QJsonObject{{"query", "G_S"}}));
}

TEST(ClangdNavigator, CompletionsReplaceWhatWasTyped) {
  const QJsonObject list{
      {"isIncomplete", true},
      {"items",
       QJsonArray{QJsonObject{{"label", " G_Sum(int a, int b)"},
                              {"kind", 3},
                              {"detail", "int"},
                              {"filterText", "G_Sum"},
                              {"sortText", "1"},
                              {"insertText", "G_Sum"},
                              {"textEdit", QJsonObject{{"range", Range(1, 12, 13)}, {"newText", "G_Sum"}}}},
                  QJsonObject{{"label", "\u2022frameCount"}, {"kind", 5}, {"detail", "int"}},
                  QJsonObject{{"kind", 6}}}}};
  FakeServer fake({Rule("textDocument/completion", {{"reply", list}})});
  ClangdNavigator navigator(fake.Options());
  navigator.Start();
  const std::string path = fake.Dir().file("g_main.c");
  navigator.OpenDocument(path, kLines);
  Received<Completions> completions;
  navigator.Complete(path, {2, 15}, completions.Handler());
  const Completions& got = completions.Wait().value;
  EXPECT_TRUE(got.incomplete);
  ASSERT_EQ(got.items.size(), 2u) << "an item without a label is no item";
  EXPECT_EQ(got.items[0], (CompletionItem{"G_Sum(int a, int b)", "int", SymbolKind::Function, "G_Sum",
                                          TextRange{{2, 14}, {2, 15}}, "G_Sum", "1"}));
  EXPECT_EQ(got.items[1], (CompletionItem{"frameCount", "int", SymbolKind::Field, "frameCount",
                                          TextRange{{2, 15}, {2, 15}}, "frameCount", "frameCount"}));
}

// An answer that comes after the text changed is dropped; diagnostics of an older version too.
TEST(ClangdNavigator, AnswersToAnOlderTextAreDropped) {
  const QJsonObject diagnostics{
      {"jsonrpc", "2.0"},
      {"method", "textDocument/publishDiagnostics"},
      {"params",
       QJsonObject{{"uri", "URI"},
                   {"version", 1},
                   {"diagnostics", QJsonArray{QJsonObject{{"range", Range(1, 8, 12)},
                                                          {"severity", 1},
                                                          {"message", "use of undeclared identifier"}}}}}}};
  FakeServer placeholder;
  const std::string path = placeholder.Dir().file("g_main.c");
  QJsonObject published = diagnostics;
  QJsonObject params = published["params"].toObject();
  params["uri"] = QUrl::fromLocalFile(QString::fromStdString(path)).toString();
  published["params"] = params;
  FakeServer fake({Rule("textDocument/didOpen", {{"send", QJsonArray{published}}}),
                   Rule("textDocument/hover", {{"hold", true}, {"reply", QJsonObject{{"contents", "int"}}}}),
                   Rule("textDocument/didChange", {{"releaseHeld", true}, {"send", QJsonArray{published}}})});
  ClangdNavigator navigator(fake.Options());
  std::vector<std::vector<ServerDiagnostic>> delivered;
  navigator.OnDiagnostics = [&](const std::string& file, const std::vector<ServerDiagnostic>& list) {
    EXPECT_EQ(file, path);
    delivered.push_back(list);
  };
  navigator.Start();
  navigator.OpenDocument(path, kLines);
  ASSERT_TRUE(WaitUntil([&] { return delivered.size() == 1; }));
  EXPECT_EQ(delivered[0], (std::vector<ServerDiagnostic>{
                              {{{2, 9}, {2, 14}}, Severity::Error, "use of undeclared identifier"}}));

  Received<HoverText> hovered;
  navigator.Hover(path, {2, 10}, hovered.Handler());
  ASSERT_TRUE(fake.WaitFor("textDocument/hover"));
  navigator.EditDocument(path, {{{1, 1}, {1, 1}}, " "});
  EXPECT_EQ(hovered.Wait().status, ReplyStatus::Stale);
  ASSERT_TRUE(fake.WaitFor("textDocument/didChange"));
  QCoreApplication::processEvents();
  EXPECT_EQ(delivered.size(), 1u) << "the second publication was for version 1";
  EXPECT_EQ(hovered.answers.size(), 1u);
}

TEST(ClangdNavigator, WithoutAServerEveryRequestSaysWhy) {
  LanguageServer::Options options;
  options.program = "/nonexistent/clangd";
  ClangdNavigator navigator(options);
  int changes = 0;
  navigator.OnProblemChanged = [&] { ++changes; };
  navigator.Start();
  navigator.OpenDocument("/m/g_main.c", kLines);
  EXPECT_EQ(navigator.Problem(), "clangd was not found; install the clangd package");
  EXPECT_EQ(changes, 1);
  Received<Locations> defined;
  navigator.Definition("/m/g_main.c", {1, 1}, defined.Handler());
  EXPECT_EQ(defined.Wait().status, ReplyStatus::Unavailable);
  EXPECT_EQ(defined.Wait().problem, "clangd was not found; install the clangd package");
}

// The background index's progress while it runs, and a rename: checked first where the server
// offers it, its edits in either form of the answer back in byte columns, for an open document
// and for a file on disk.
TEST(ClangdNavigator, IndexingProgressAndRename) {
  FakeServer placeholder;
  const std::string path = placeholder.Dir().file("g_main.c"), other = placeholder.Dir().file("g_other.c");
  placeholder.Dir().write("g_other.c", "/* \xC3\xA9 */ int G_Sum;\r\n");
  const QString uri = QUrl::fromLocalFile(QString::fromStdString(path)).toString();
  const QString otherUri = QUrl::fromLocalFile(QString::fromStdString(other)).toString();
  auto progress = [](const char* kind, int percent) {
    return QJsonObject{
        {"jsonrpc", "2.0"},
        {"method", "$/progress"},
        {"params", QJsonObject{{"token", "backgroundIndexProgress"},
                               {"value", QJsonObject{{"kind", kind}, {"percentage", percent}}}}}};
  };
  auto edit = [](const QJsonObject& range) { return QJsonObject{{"range", range}, {"newText", "G_Add"}}; };
  FakeServer fake(
      {Rule("initialize", {{"reply", QJsonObject{{"capabilities",
                                                  QJsonObject{{"renameProvider",
                                                               QJsonObject{{"prepareProvider", true}}}}}}}}),
       Rule("textDocument/didOpen", {{"send", QJsonArray{progress("begin", 0), progress("report", 40)}}}),
       Rule("textDocument/didSave", {{"send", QJsonArray{progress("end", 0)}}}),
       Rule("textDocument/prepareRename",
            {{"reply", QJsonObject{{"range", Range(1, 12, 17)}, {"placeholder", "G_Sum"}}}}),
       Rule("textDocument/rename",
            {{"times", 1},
             {"reply", QJsonObject{{"changes", QJsonObject{{uri, QJsonArray{edit(Range(1, 12, 17)),
                                                                            edit(Range(2, 10, 15))}}}}}}}),
       Rule("textDocument/rename",
            {{"reply",
              QJsonObject{{"documentChanges",
                           QJsonArray{QJsonObject{
                               {"textDocument", QJsonObject{{"uri", otherUri}, {"version", QJsonValue()}}},
                               {"edits", QJsonArray{edit(Range(0, 12, 17))}}}}}}}})});
  ClangdNavigator navigator(fake.Options());
  int changes = 0;
  navigator.OnIndexingChanged = [&] { ++changes; };
  navigator.Start();
  navigator.OpenDocument(path, kLines);
  ASSERT_TRUE(WaitUntil([&] { return navigator.IndexingPercent() == 40; }));
  navigator.SaveDocument(path);
  ASSERT_TRUE(WaitUntil([&] { return !navigator.IndexingPercent().has_value(); }));
  EXPECT_EQ(changes, 3);

  Received<std::optional<RenameTarget>> target;
  navigator.PrepareRename(path, {2, 15}, target.Handler());
  EXPECT_EQ(target.Wait().value, (RenameTarget{TextRange{{2, 14}, {2, 19}}, "G_Sum"}));
  Received<std::vector<FileEdits>> renamed, again;
  navigator.Rename(path, {2, 15}, "G_Add", renamed.Handler());
  EXPECT_EQ(renamed.Wait().value,
            (std::vector<FileEdits>{{path, {{{{2, 14}, {2, 19}}, "G_Add"}, {{{3, 13}, {3, 18}}, "G_Add"}}}}));
  EXPECT_EQ(fake.Received("textDocument/rename").at(0)["params"].toObject()["newName"], "G_Add");
  navigator.Rename(path, {2, 15}, "G_Add", again.Handler());
  EXPECT_EQ(again.Wait().value, (std::vector<FileEdits>{{other, {{{{1, 14}, {1, 19}}, "G_Add"}}}}));
}
