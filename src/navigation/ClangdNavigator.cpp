// An answer is dropped when its document changed after the question: its places were counted in
// a text that is gone. Places in other files are counted in the files as they are on disk.
#include "ClangdNavigator.h"

#include "AtomicFile.h"

#include <QFile>
#include <QJsonArray>
#include <QUrl>

#include <algorithm>

namespace {

QJsonObject Capabilities() {
  const QJsonObject links{{"linkSupport", true}};
  return {{"textDocument",
           QJsonObject{{"synchronization", QJsonObject{{"didSave", true}}},
                       {"completion", QJsonObject{{"completionItem", QJsonObject{{"snippetSupport", false}}},
                                                  {"contextSupport", true}}},
                       {"hover", QJsonObject{{"contentFormat", QJsonArray{"plaintext"}}}},
                       {"publishDiagnostics", QJsonObject{{"versionSupport", true}}},
                       {"definition", links},
                       {"declaration", links},
                       {"references", QJsonObject()},
                       {"rename", QJsonObject{{"prepareSupport", true}}}}},
          {"workspace", QJsonObject{{"symbol", QJsonObject()}}},
          // The background index says how far it got.
          {"window", QJsonObject{{"workDoneProgress", true}}},
          {"general", QJsonObject{{"positionEncodings", QJsonArray{"utf-16"}}}}};
}

LanguageServer::Options WithOurCapabilities(LanguageServer::Options options) {
  options.capabilities = Capabilities();
  return options;
}

QJsonObject ProtocolJson(ProtocolPosition position) {
  return {{"line", position.line}, {"character", position.character}};
}

// A file's lines as the server counts them: split at LF, a CR before it belonging to the line end.
std::vector<std::string> FileLines(const std::string& path) {
  std::string content, error;
  ReadFileIfPresent(path, content, error);
  std::vector<std::string> lines(1);
  for (char c : content)
    if (c == '\n') {
      if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  return lines;
}

// Edits made within this time go to the server together.
constexpr std::chrono::milliseconds kSendDelay{100};

} // namespace

QString FileUri(const std::string& path) {
  return QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))).toString(QUrl::FullyEncoded);
}

std::optional<std::string> UriPath(const QString& uri) {
  const QUrl url(uri);
  if (!url.isValid() || !url.isLocalFile()) return std::nullopt;
  return QFile::encodeName(url.toLocalFile()).toStdString();
}

// The lines an answer's places are counted in: each file read at most once per answer.
class ClangdNavigator::AnswerLines {
public:
  explicit AnswerLines(const ClangdNavigator& navigator) : navigator_(navigator) {}

  const DocumentMirror& Of(const std::string& path) {
    const auto open = navigator_.documents_.find(path);
    if (open != navigator_.documents_.end()) return open->second.mirror;
    auto read = read_.find(path);
    if (read == read_.end()) read = read_.emplace(path, DocumentMirror(FileLines(path))).first;
    return read->second;
  }

  Places Converter() {
    return {UriPath, [this](const std::string& path, const ProtocolRange& range) {
              const DocumentMirror& lines = Of(path);
              return TextRange{lines.FromProtocol(range.start), lines.FromProtocol(range.end)};
            }};
  }

private:
  const ClangdNavigator& navigator_;
  std::map<std::string, DocumentMirror> read_;
};

ClangdNavigator::ClangdNavigator(LanguageServer::Options options, QObject* parent)
    : QObject(parent), server_(WithOurCapabilities(std::move(options))) {
  sendTimer_.setSingleShot(true);
  sendTimer_.setInterval(kSendDelay);
  connect(&sendTimer_, &QTimer::timeout, this, [this] { SendEdits(); });
  connect(&server_, &LanguageServer::Started, this, [this] {
    SetProgress({});
    // A new server gets each document's text as it is now.
    for (auto& [path, document] : documents_) {
      (void)ApplyUnsent(document);
      SendOpen(path, document.mirror);
    }
  });
  connect(&server_, &LanguageServer::StateChanged, this, [this] {
    if (OnProblemChanged) OnProblemChanged();
  });
  connect(&server_, &LanguageServer::NotificationReceived, this,
          [this](const QString& method, const QJsonValue& params) {
            if (method == "textDocument/publishDiagnostics") DiagnosticsArrived(params.toObject());
            if (method == "$/progress") ProgressArrived(params.toObject());
          });
}

void ClangdNavigator::SendOpen(const std::string& path, const DocumentMirror& mirror) {
  server_.Notify("textDocument/didOpen",
                 QJsonObject{{"textDocument", QJsonObject{{"uri", FileUri(path)},
                                                          {"languageId", "c"},
                                                          {"version", mirror.Version()},
                                                          {"text", mirror.Characters()}}}});
}

void ClangdNavigator::OpenDocument(const std::string& path, std::vector<std::string> lines) {
  if (documents_.count(path)) CloseDocument(path);
  const auto document =
      documents_.emplace(path, Document{DocumentMirror(std::move(lines)), ++lastStamp_, {}}).first;
  SendOpen(path, document->second.mirror);
}

void ClangdNavigator::EditDocument(const std::string& path, const TextEdit& edit) {
  const auto document = documents_.find(path);
  if (document == documents_.end()) return;
  document->second.unsent.push_back(edit);
  document->second.stamp = ++lastStamp_;
  if (!sendTimer_.isActive()) sendTimer_.start();
}

QJsonArray ClangdNavigator::ApplyUnsent(Document& document) {
  // Edits around one place (typing, taking back) go as one change.
  std::vector<ContentChange> merged;
  for (const TextEdit& edit : document.unsent) {
    ContentChange change = document.mirror.Apply(edit);
    if (merged.empty() || !MergeInto(merged.back(), change)) merged.push_back(std::move(change));
  }
  document.unsent.clear();
  QJsonArray changes;
  for (const ContentChange& change : merged)
    changes.append(QJsonObject{{"range", QJsonObject{{"start", ProtocolJson(change.range.start)},
                                                     {"end", ProtocolJson(change.range.end)}}},
                               {"text", QString::fromStdString(change.text)}});
  return changes;
}

void ClangdNavigator::SendEdits(const std::string& path) {
  const auto document = documents_.find(path);
  if (document == documents_.end() || document->second.unsent.empty()) return;
  const QJsonArray changes = ApplyUnsent(document->second);
  server_.Notify("textDocument/didChange",
                 QJsonObject{{"textDocument", QJsonObject{{"uri", FileUri(path)},
                                                          {"version", document->second.mirror.Version()}}},
                             {"contentChanges", changes}});
}

void ClangdNavigator::SendEdits() {
  sendTimer_.stop();
  for (const auto& [path, document] : documents_)
    SendEdits(path);
}

void ClangdNavigator::SaveDocument(const std::string& path) {
  if (!documents_.count(path)) return;
  SendEdits(path);
  server_.Notify("textDocument/didSave", QJsonObject{{"textDocument", QJsonObject{{"uri", FileUri(path)}}}});
}

void ClangdNavigator::CloseDocument(const std::string& path) {
  if (!documents_.erase(path)) return;
  server_.Notify("textDocument/didClose", QJsonObject{{"textDocument", QJsonObject{{"uri", FileUri(path)}}}});
}

std::uint64_t ClangdNavigator::StampOf(const std::string& path) const {
  const auto document = documents_.find(path);
  return document == documents_.end() ? 0 : document->second.stamp;
}

QJsonObject ClangdNavigator::PlaceParams(const std::string& path, TextPosition at) {
  // The place is in the text as the editor has it now: the server gets that text first.
  SendEdits(path);
  AnswerLines lines(*this);
  return {{"textDocument", QJsonObject{{"uri", FileUri(path)}}},
          {"position", ProtocolJson(lines.Of(path).ToProtocol(at))}};
}

template <typename Value>
RequestId ClangdNavigator::Ask(const QString& method, const QJsonObject& params, const std::string& path,
                               std::function<Value(const QJsonValue& result, const Places& places)> read,
                               ReplyHandler<Value> done) {
  const std::uint64_t stamp = StampOf(path);
  return server_.Request(
      method, params,
      [this, path, stamp, read = std::move(read), done = std::move(done)](const RpcReply& reply) {
        Reply<Value> answer{reply.status, {}, reply.problem};
        if (answer.status == ReplyStatus::Answered && StampOf(path) != stamp) {
          answer.status = ReplyStatus::Stale;
          answer.problem = "the text changed before the answer came";
        }
        if (answer.status == ReplyStatus::Answered) {
          // Places in open documents are counted in their texts as the editor has them.
          SendEdits();
          AnswerLines lines(*this);
          answer.value = read(reply.result, lines.Converter());
        }
        done(answer);
      });
}

RequestId ClangdNavigator::AskLocations(const QString& method, const std::string& path, TextPosition at,
                                        ReplyHandler<Locations> done, QJsonObject extra) {
  QJsonObject params = PlaceParams(path, at);
  for (auto field = extra.begin(); field != extra.end(); ++field)
    params[field.key()] = field.value();
  return Ask<Locations>(method, params, path, ReadLocations, std::move(done));
}

RequestId ClangdNavigator::Definition(const std::string& path, TextPosition at,
                                      ReplyHandler<Locations> done) {
  return AskLocations("textDocument/definition", path, at, std::move(done));
}

RequestId ClangdNavigator::Declaration(const std::string& path, TextPosition at,
                                       ReplyHandler<Locations> done) {
  return AskLocations("textDocument/declaration", path, at, std::move(done));
}

RequestId ClangdNavigator::References(const std::string& path, TextPosition at,
                                      ReplyHandler<Locations> done) {
  return AskLocations("textDocument/references", path, at, std::move(done),
                      {{"context", QJsonObject{{"includeDeclaration", true}}}});
}

RequestId ClangdNavigator::Complete(const std::string& path, TextPosition at,
                                    ReplyHandler<Completions> done) {
  QJsonObject params = PlaceParams(path, at);
  params["context"] = QJsonObject{{"triggerKind", 1}};
  return Ask<Completions>(
      "textDocument/completion", params, path,
      [path, at](const QJsonValue& result, const Places& places) {
        return ReadCompletions(result, path, at, places);
      },
      std::move(done));
}

RequestId ClangdNavigator::Hover(const std::string& path, TextPosition at, ReplyHandler<HoverText> done) {
  return Ask<HoverText>(
      "textDocument/hover", PlaceParams(path, at), path,
      [path](const QJsonValue& result, const Places& places) { return ReadHover(result, path, places); },
      std::move(done));
}

RequestId ClangdNavigator::WorkspaceSymbols(const std::string& query,
                                            ReplyHandler<std::vector<SymbolMatch>> done) {
  SendEdits();
  return Ask<std::vector<SymbolMatch>>("workspace/symbol",
                                       QJsonObject{{"query", QString::fromStdString(query)}}, {}, ReadSymbols,
                                       std::move(done));
}

void ClangdNavigator::DiagnosticsArrived(const QJsonObject& params) {
  const std::optional<std::string> path = UriPath(params["uri"].toString());
  if (!path || !OnDiagnostics) return;
  const auto document = documents_.find(*path);
  // Diagnostics of an older text of an open document no longer fit it.
  if (document != documents_.end() &&
      (!document->second.unsent.empty() ||
       (params["version"].isDouble() && params["version"].toInt() != document->second.mirror.Version())))
    return;
  AnswerLines lines(*this);
  OnDiagnostics(*path, ReadDiagnostics(params["diagnostics"].toArray(), *path, lines.Converter()));
}

void ClangdNavigator::ProgressArrived(const QJsonObject& params) {
  const QString token = params["token"].toVariant().toString();
  const QJsonObject value = params["value"].toObject();
  std::map<QString, int> progress = progress_;
  if (value["kind"] == "end")
    progress.erase(token);
  else if (value["kind"] == "begin" || progress.count(token))
    progress[token] = std::clamp(value["percentage"].toInt(progress[token]), 0, 100);
  SetProgress(std::move(progress));
}

void ClangdNavigator::SetProgress(std::map<QString, int> progress) {
  if (progress == progress_) return;
  progress_ = std::move(progress);
  if (OnIndexingChanged) OnIndexingChanged();
}

std::optional<int> ClangdNavigator::IndexingPercent() const {
  if (progress_.empty() || server_.CurrentState() != LanguageServer::State::Running) return std::nullopt;
  int least = 100;
  for (const auto& [token, percent] : progress_)
    least = std::min(least, percent);
  return least;
}

RequestId ClangdNavigator::PrepareRename(const std::string& path, TextPosition at,
                                         ReplyHandler<std::optional<RenameTarget>> done) {
  const QJsonValue provider = server_.ServerCapabilities()["renameProvider"];
  if (server_.CurrentState() == LanguageServer::State::Running &&
      !provider.toObject()["prepareProvider"].toBool()) {
    // A server that cannot check first renames what it can: the name at the place, for all it says.
    QMetaObject::invokeMethod(
        this,
        [done = std::move(done)] {
          done({ReplyStatus::Answered, RenameTarget{}, {}});
        },
        Qt::QueuedConnection);
    return 0;
  }
  return Ask<std::optional<RenameTarget>>(
      "textDocument/prepareRename", PlaceParams(path, at), path,
      [path](const QJsonValue& result, const Places& places) {
        return ReadRenameTarget(result, path, places);
      },
      std::move(done));
}

RequestId ClangdNavigator::Rename(const std::string& path, TextPosition at, const std::string& newName,
                                  ReplyHandler<std::vector<FileEdits>> done) {
  QJsonObject params = PlaceParams(path, at);
  params["newName"] = QString::fromStdString(newName);
  return Ask<std::vector<FileEdits>>("textDocument/rename", params, path, ReadWorkspaceEdit, std::move(done));
}
