// The protocol client against the scripted server: the handshake and every request as JSON,
// answers matched to requests in any order, cancelling and time limits, and a server that is
// missing, ends, hangs or sends what is not the protocol.
#include "FakeServer.h"
#include "MessageFraming.h"

#include <QTest>
#include <gtest/gtest.h>

#include <random>
#include <set>

namespace {

// The replies a test's requests received, by request id.
struct Replies {
  std::map<int, std::vector<RpcReply>> byId;

  int Ask(LanguageServer& server, const QString& method, const QJsonValue& params = QJsonObject()) {
    auto shared = std::make_shared<int>(0);
    const int id = server.Request(method, params,
                                  [this, shared](const RpcReply& reply) { byId[*shared].push_back(reply); });
    *shared = id;
    return id;
  }
  bool WaitFor(int id) {
    return WaitUntil([&] { return byId.count(id) > 0; });
  }
  const RpcReply& Of(int id) { return byId.at(id).at(0); }
};

QJsonObject Position(int line, int character) { return {{"line", line}, {"character", character}}; }

} // namespace

TEST(LanguageServer, TheHandshakeAndRequestsGoOutAsJson) {
  FakeServer fake(
      {Rule("textDocument/definition", {{"reply", QJsonArray{QJsonObject{{"uri", "file:///a.c"}}}}}),
       Rule("initialized",
            {{"send", QJsonArray{QJsonObject{{"jsonrpc", "2.0"},
                                             {"method", "textDocument/publishDiagnostics"},
                                             {"params", QJsonObject{{"uri", "file:///a.c"}}}}}}})});
  LanguageServer server(fake.Options());
  std::vector<QString> notifications;
  QObject::connect(&server, &LanguageServer::NotificationReceived,
                   [&](const QString& method, const QJsonValue&) { notifications.push_back(method); });
  int starts = 0;
  QObject::connect(&server, &LanguageServer::Started, [&] { ++starts; });
  Replies replies;
  server.Start();
  // Asked before the server runs: kept until the handshake is done.
  const QJsonObject params{{"textDocument", QJsonObject{{"uri", "file:///a.c"}}},
                           {"position", Position(3, 4)}};
  const int id = replies.Ask(server, "textDocument/definition", params);
  ASSERT_TRUE(replies.WaitFor(id));
  EXPECT_EQ(replies.Of(id).status, ReplyStatus::Answered);
  EXPECT_EQ(replies.Of(id).result, (QJsonArray{QJsonObject{{"uri", "file:///a.c"}}}));
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(server.CurrentState(), LanguageServer::State::Running);
  EXPECT_EQ(server.ServerCapabilities(), (QJsonObject{{"fake", true}}));
  ASSERT_TRUE(WaitUntil([&] { return !notifications.empty(); }));
  EXPECT_EQ(notifications, std::vector<QString>{"textDocument/publishDiagnostics"});

  const std::vector<QJsonObject> received = fake.Received();
  ASSERT_EQ(received.size(), 3u);
  EXPECT_EQ(received[0]["method"], "initialize");
  const QJsonObject initialize = received[0]["params"].toObject();
  EXPECT_EQ(initialize["processId"].toInteger(), QCoreApplication::applicationPid());
  EXPECT_EQ(initialize["rootUri"], QUrl::fromLocalFile(QString::fromStdString(fake.Dir().path())).toString());
  EXPECT_EQ(received[1],
            (QJsonObject{{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", QJsonObject()}}));
  EXPECT_EQ(received[2],
            (QJsonObject{
                {"jsonrpc", "2.0"}, {"id", id}, {"method", "textDocument/definition"}, {"params", params}}));

  server.Notify("textDocument/didSave", QJsonObject{{"textDocument", QJsonObject{{"uri", "file:///a.c"}}}});
  ASSERT_TRUE(fake.WaitFor("textDocument/didSave"));
  server.Stop();
  ASSERT_TRUE(WaitUntil([&] { return server.CurrentState() == LanguageServer::State::Off; }));
  EXPECT_EQ(fake.Received("shutdown").size(), 1u);
  EXPECT_EQ(fake.Received("exit").size(), 1u) << "exit follows the shutdown's answer";
  EXPECT_EQ(fake.Received().back()["method"], "exit");
}

TEST(LanguageServer, AnswersFindTheirRequestsInAnyOrder) {
  FakeServer fake(
      {Rule("textDocument/hover", {{"hold", true}, {"reply", "hover"}}),
       Rule("textDocument/definition", {{"reply", "definition"}, {"releaseHeld", true}, {"inPieces", true}}),
       Rule("textDocument/references", {{"error", QJsonObject{{"code", -32801}, {"message", "changed"}}}}),
       Rule("textDocument/completion", {{"error", QJsonObject{{"code", -32800}, {"message", "gave up"}}}}),
       Rule("workspace/symbol", {{"error", QJsonObject{{"code", -32603}, {"message", "it broke"}}}})});
  LanguageServer server(fake.Options());
  server.Start();
  Replies replies;
  const int hover = replies.Ask(server, "textDocument/hover");
  ASSERT_TRUE(fake.WaitFor("textDocument/hover"));
  const int definition = replies.Ask(server, "textDocument/definition");
  const int references = replies.Ask(server, "textDocument/references");
  const int completion = replies.Ask(server, "textDocument/completion");
  const int symbols = replies.Ask(server, "workspace/symbol");
  for (int id : {hover, definition, references, completion, symbols})
    ASSERT_TRUE(replies.WaitFor(id)) << id;
  EXPECT_EQ(replies.Of(hover).result, "hover");
  EXPECT_EQ(replies.Of(definition).result, "definition");
  EXPECT_EQ(replies.Of(references).status, ReplyStatus::Stale);
  EXPECT_EQ(replies.Of(completion).status, ReplyStatus::Cancelled);
  EXPECT_EQ(replies.Of(symbols).status, ReplyStatus::Failed);
  EXPECT_EQ(replies.Of(symbols).problem, "it broke");
}

TEST(LanguageServer, CancelledAndLateRequestsEndOnceAndTheServerHearsOfThem) {
  FakeServer fake({Rule("textDocument/hover", {{"hold", true}}),
                   Rule("textDocument/definition", {{"noReply", true}, {"times", 1}}),
                   Rule("textDocument/completion", {{"releaseHeld", true}})});
  LanguageServer::Options options = fake.Options();
  options.requestTimeLimit = std::chrono::milliseconds(300);
  LanguageServer server(options);
  server.Start();
  Replies replies;
  const int hover = replies.Ask(server, "textDocument/hover");
  ASSERT_TRUE(fake.WaitFor("textDocument/hover"));
  server.Cancel(hover);
  EXPECT_EQ(replies.byId.count(hover), 0u) << "never from within the call";
  ASSERT_TRUE(replies.WaitFor(hover));
  EXPECT_EQ(replies.Of(hover).status, ReplyStatus::Cancelled);
  ASSERT_TRUE(fake.WaitFor("$/cancelRequest"));
  EXPECT_EQ(fake.Received("$/cancelRequest")[0]["params"], (QJsonObject{{"id", hover}}));

  // A server that never answers: the request times out, and the server is told.
  const int definition = replies.Ask(server, "textDocument/definition");
  ASSERT_TRUE(replies.WaitFor(definition));
  EXPECT_EQ(replies.Of(definition).status, ReplyStatus::TimedOut);
  EXPECT_EQ(replies.Of(definition).problem, "clangd did not answer within 0.3 s");
  ASSERT_TRUE(fake.WaitFor("$/cancelRequest", 2));
  EXPECT_EQ(fake.Received("$/cancelRequest")[1]["params"], (QJsonObject{{"id", definition}}));

  // The held answer to the cancelled request arrives now and finds nobody.
  const int completion = replies.Ask(server, "textDocument/completion");
  ASSERT_TRUE(replies.WaitFor(completion));
  QCoreApplication::processEvents();
  EXPECT_EQ(replies.byId[hover].size(), 1u);
  EXPECT_EQ(replies.byId[definition].size(), 1u);
  EXPECT_EQ(server.Restarts(), 0);
}

TEST(LanguageServer, TheServersOwnRequestsAreAnswered) {
  const QJsonObject configuration{
      {"jsonrpc", "2.0"},
      {"id", "c1"},
      {"method", "workspace/configuration"},
      {"params", QJsonObject{{"items", QJsonArray{QJsonObject(), QJsonObject()}}}}};
  const QJsonObject unknown{
      {"jsonrpc", "2.0"}, {"id", 7}, {"method", "window/showDocument"}, {"params", QJsonObject()}};
  FakeServer fake({Rule("initialized", {{"send", QJsonArray{configuration, unknown}}})});
  LanguageServer server(fake.Options());
  server.Start();
  ASSERT_TRUE(WaitUntil([&] { return fake.Received().size() >= 4; }));
  const std::vector<QJsonObject> received = fake.Received();
  EXPECT_EQ(
      received[2],
      (QJsonObject{{"jsonrpc", "2.0"}, {"id", "c1"}, {"result", QJsonArray{QJsonValue(), QJsonValue()}}}));
  EXPECT_EQ(received[3]["id"], 7);
  EXPECT_EQ(received[3]["error"].toObject()["code"], -32601);
}

TEST(LanguageServer, AMissingServerSaysHowToGetIt) {
  for (const std::string program : {"/nonexistent/clangd", "tessarin-no-such-language-server"}) {
    LanguageServer::Options options;
    options.program = program;
    LanguageServer server(options);
    int changes = 0;
    QObject::connect(&server, &LanguageServer::StateChanged, [&] { ++changes; });
    server.Start();
    EXPECT_EQ(server.CurrentState(), LanguageServer::State::Failed);
    EXPECT_EQ(server.Problem(), "clangd was not found; install the clangd package");
    EXPECT_EQ(changes, 1);
    Replies replies;
    const int id = replies.Ask(server, "textDocument/hover");
    EXPECT_EQ(replies.byId.count(id), 0u);
    ASSERT_TRUE(replies.WaitFor(id));
    EXPECT_EQ(replies.Of(id).status, ReplyStatus::Unavailable);
    EXPECT_EQ(replies.Of(id).problem, "clangd was not found; install the clangd package");
  }
}

// A server that ends, breaks the framing, sends no JSON or stops answering is started again, its
// open requests ended; after the last restart it stays off and says why.
TEST(LanguageServer, AFailingServerRestartsAFewTimesThenStaysOff) {
  const QJsonArray rules{
      Rule("textDocument/hover", {{"start", 1}, {"noReply", true}, {"exit", 3}}),
      Rule("textDocument/hover", {{"start", 2}, {"noReply", true}, {"raw", "Content-Length: many\r\n\r\n"}}),
      Rule("textDocument/hover",
           {{"start", 3}, {"noReply", true}, {"raw", QString::fromStdString(FramedMessage("[1, 2"))}}),
      Rule("textDocument/hover", {{"start", 4}, {"noReply", true}, {"crash", true}}),
  };
  FakeServer fake(rules);
  LanguageServer server(fake.Options());
  int starts = 0;
  QObject::connect(&server, &LanguageServer::Started, [&] { ++starts; });
  server.Start();
  Replies replies;
  std::vector<std::string> problems;
  for (int round = 1; round <= 4; ++round) {
    ASSERT_TRUE(WaitUntil([&] { return starts == round; })) << round;
    const int id = replies.Ask(server, "textDocument/hover");
    ASSERT_TRUE(replies.WaitFor(id)) << round;
    EXPECT_EQ(replies.Of(id).status, ReplyStatus::Unavailable) << round;
    problems.push_back(replies.Of(id).problem);
  }
  EXPECT_EQ(problems[0], "clangd ended before it answered (it ended with status 3)");
  EXPECT_EQ(problems[1],
            "clangd ended before it answered (it sent what is not the protocol: a Content-Length that "
            "is no number)");
  EXPECT_EQ(problems[2],
            "clangd ended before it answered (it sent what is not the protocol: a message that is no "
            "JSON object)");
  EXPECT_EQ(problems[3], "clangd ended before it answered (it crashed)");
  ASSERT_TRUE(WaitUntil([&] { return server.CurrentState() == LanguageServer::State::Failed; }));
  EXPECT_EQ(server.Problem(),
            "clangd stopped working (it crashed) and stays off; open the workspace again to "
            "restart it");
  EXPECT_EQ(fake.Starts(), 4);
  EXPECT_EQ(server.Restarts(), 3);
  const int late = replies.Ask(server, "textDocument/hover");
  ASSERT_TRUE(replies.WaitFor(late));
  EXPECT_EQ(replies.Of(late).problem, server.Problem());

  server.Start(); // the workspace opened again
  ASSERT_TRUE(WaitUntil([&] { return server.CurrentState() == LanguageServer::State::Running; }));
  EXPECT_EQ(server.Problem(), "");
}

TEST(LanguageServer, AServerThatStopsAnsweringIsStartedAgain) {
  FakeServer fake({Rule("initialize", {{"start", 1}, {"noReply", true}}),
                   Rule("textDocument/hover", {{"start", 2}, {"noReply", true}})});
  LanguageServer::Options options = fake.Options();
  // Long enough for a started server to answer on a busy machine; only the silent first start
  // waits it out.
  options.startTimeLimit = std::chrono::milliseconds(3000);
  options.requestTimeLimit = std::chrono::milliseconds(200);
  LanguageServer server(options);
  server.Start();
  ASSERT_TRUE(WaitUntil([&] { return server.CurrentState() == LanguageServer::State::Running; }));
  EXPECT_EQ(fake.Starts(), 2) << "the first start was never answered";
  Replies replies;
  std::vector<int> ids;
  for (int i = 0; i < 3; ++i)
    ids.push_back(replies.Ask(server, "textDocument/hover"));
  for (int id : ids) {
    ASSERT_TRUE(replies.WaitFor(id));
    EXPECT_EQ(replies.Of(id).status, ReplyStatus::TimedOut);
  }
  ASSERT_TRUE(WaitUntil([&] { return fake.Starts() == 3; }))
      << "three unanswered requests in a row: it hangs";
  ASSERT_TRUE(WaitUntil([&] { return server.CurrentState() == LanguageServer::State::Running; }));
  EXPECT_EQ(server.Restarts(), 2);
}

// Random requests, cancels, crashes and restarts: every request's handler runs exactly once.
TEST(LanguageServer, EveryRequestEndsExactlyOnce) {
  QJsonArray rules;
  for (int start = 1; start <= 12; ++start) {
    rules.append(Rule("textDocument/hover", {{"start", start}, {"hold", true}}));
    rules.append(Rule("textDocument/definition", {{"start", start}, {"releaseHeld", true}}));
    rules.append(Rule("textDocument/references", {{"start", start}, {"noReply", true}}));
    rules.append(Rule("textDocument/declaration", {{"start", start}, {"noReply", true}, {"exit", 1}}));
  }
  FakeServer fake(rules);
  LanguageServer::Options options = fake.Options();
  options.requestTimeLimit = std::chrono::milliseconds(1500);
  options.mostRestarts = 10;
  LanguageServer server(options);
  server.Start();
  std::mt19937 random(11);
  std::map<int, int> calls;
  std::set<ReplyStatus> seen;
  std::vector<int> ids;
  auto ask = [&](const QString& method) {
    auto id = std::make_shared<int>();
    *id = server.Request(method, QJsonObject(), [&, id](const RpcReply& reply) {
      ++calls[*id];
      seen.insert(reply.status);
    });
    ids.push_back(*id);
    return *id;
  };
  // Every way a request ends, once each and waited for, whatever the machine's pace.
  for (const QString method :
       {"textDocument/definition", "textDocument/references", "textDocument/declaration"})
    ASSERT_TRUE(WaitUntil([&, id = ask(method)] { return calls.count(id) > 0; })) << method.toStdString();
  server.Cancel(ask("textDocument/hover"));
  EXPECT_EQ(seen,
            (std::set<ReplyStatus>{ReplyStatus::Answered, ReplyStatus::TimedOut, ReplyStatus::Unavailable}));

  const QString methods[] = {"textDocument/hover", "textDocument/definition", "textDocument/references",
                             "textDocument/declaration"};
  for (int step = 0; step < 150; ++step) {
    const unsigned choice = random() % 20;
    if (choice < 10)
      ask(methods[choice < 9 ? random() % 3 : 3]);
    else if (choice < 13)
      server.Cancel(ids[random() % ids.size()]);
    else
      QTest::qWait(static_cast<int>(random() % 60));
  }
  ASSERT_TRUE(WaitUntil([&] { return calls.size() == ids.size(); })) << calls.size() << " of " << ids.size();
  server.Stop();
  QCoreApplication::processEvents();
  for (int id : ids)
    EXPECT_EQ(calls[id], 1) << id;
  EXPECT_EQ(seen, (std::set<ReplyStatus>{ReplyStatus::Answered, ReplyStatus::Cancelled, ReplyStatus::TimedOut,
                                         ReplyStatus::Unavailable}));
}
