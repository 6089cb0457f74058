// Requests wait in one table from the moment they are made, so a request made while the server
// starts keeps its time limit, and a server that ends takes exactly its own requests with it.
#include "LanguageServer.h"

#include "QtHandOver.h"
#include "Settings.h"
#include "TimeSlice.h"
#include "UserQuestions.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMetaObject>
#include <QUrl>
#include <algorithm>

namespace {

constexpr int kRequestCancelled = -32800;
constexpr int kContentModified = -32801;
constexpr int kMethodNotFound = -32601;
// Requests that time out one after the other with nothing heard in between: the server hangs.
constexpr int kTimeoutsOfAHungServer = 3;
constexpr std::chrono::milliseconds kStopGrace{2000};
// Whole documents go to the server; one that leaves this much unread has stopped reading.
constexpr std::size_t kMostInputWaiting = 128 << 20;

std::string Seconds(std::chrono::milliseconds time) {
  const auto tenths = (time.count() + 50) / 100;
  return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") + " s";
}

// The program's path, or empty when there is none to start.
std::string ProgramPath(const std::string& program) {
  if (program.find('/') == std::string::npos) return FindOnSearchPath(program);
  const QFileInfo file(QString::fromStdString(program));
  return file.isFile() && file.isExecutable() ? program : std::string();
}

} // namespace

LanguageServer::LanguageServer(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)), process_(std::make_shared<QtHandOver>(this)) {
  // The server's standard error is read and dropped.
  process_.TakesInput = true;
  process_.InputLimit = kMostInputWaiting;
  process_.TerminateOnDestroy = true;
  process_.OnData = [this](ProcessRunner&, const char* buffer, std::size_t count) {
    ReadOutput(buffer, count);
  };
  process_.OnTerminated = [this](ProcessRunner&, const ProcessEnd& end) { ProcessEnded(end); };
  deadlineTimer_.setSingleShot(true);
  connect(&deadlineTimer_, &QTimer::timeout, this, &LanguageServer::DeadlinesPassed);
  startTimer_.setSingleShot(true);
  connect(&startTimer_, &QTimer::timeout, this, [this] { BreakOff("it did not answer the start"); });
  stopTimer_.setSingleShot(true);
  connect(&stopTimer_, &QTimer::timeout, this, [this] { process_.Kill(); });
}

LanguageServer::~LanguageServer() {
  if (!process_.Active()) return;
  process_.OnTerminated = nullptr;
  if (state_ == State::Running)
    Write(QJsonObject{{"jsonrpc", "2.0"}, {"method", "exit"}, {"params", QJsonValue()}});
  process_.CloseInput();
  // A server that does not end on its own is ended, with its process group, when the runner goes.
  process_.AwaitEnd(std::chrono::milliseconds(300));
}

void LanguageServer::SetState(State state, std::string problem) {
  if (state == state_ && problem == problem_) return;
  state_ = state;
  problem_ = std::move(problem);
  emit StateChanged();
}

void LanguageServer::Start() {
  if (state_ == State::Starting || state_ == State::Running) return;
  restarts_ = 0;
  StartProcess();
}

void LanguageServer::StartProcess() {
  const std::string program = ProgramPath(options_.program);
  if (program.empty()) {
    const std::string problem = options_.name + " was not found; install the " + options_.name + " package";
    FinishAll(problem, false);
    SetState(State::Failed, problem);
    return;
  }
  reader_ = MessageReader();
  breakReason_.clear();
  timeoutsInARow_ = 0;
  process_.ApplicationName = program;
  std::string commandLine = QuoteArgument(program);
  for (const QString& argument : options_.arguments)
    commandLine += " " + QuoteArgument(argument.toStdString());
  process_.SetParameters(commandLine);
  process_.SetDirectory(options_.folder);
  try {
    process_.Execute();
  } catch (const TessarinError& error) {
    const std::string problem = options_.name + " could not be started: " + error.Message();
    FinishAll(problem, false);
    SetState(State::Failed, problem);
    return;
  }
  SetState(State::Starting);
  startTimer_.start(options_.startTimeLimit);
  handshakeId_ = nextId_++;
  QJsonObject params{{"processId", static_cast<qint64>(QCoreApplication::applicationPid())},
                     {"capabilities", options_.capabilities},
                     {"clientInfo", QJsonObject{{"name", "Tessarin"}}}};
  if (!options_.folder.empty()) {
    const QString uri = QUrl::fromLocalFile(QString::fromStdString(options_.folder)).toString();
    params["rootUri"] = uri;
    params["workspaceFolders"] = QJsonArray{QJsonObject{{"uri", uri}, {"name", "workspace"}}};
  }
  if (!options_.initializationOptions.isUndefined())
    params["initializationOptions"] = options_.initializationOptions;
  Write(QJsonObject{{"jsonrpc", "2.0"}, {"id", handshakeId_}, {"method", "initialize"}, {"params", params}});
}

void LanguageServer::Stop() {
  if (state_ == State::Off || state_ == State::Failed || state_ == State::Stopping) return;
  FinishAll(options_.name + " was stopped", false);
  startTimer_.stop();
  const bool running = state_ == State::Running;
  SetState(State::Stopping);
  stopTimer_.start(kStopGrace);
  if (running) {
    shutdownId_ = nextId_++;
    Write(QJsonObject{
        {"jsonrpc", "2.0"}, {"id", shutdownId_}, {"method", "shutdown"}, {"params", QJsonValue()}});
  } else {
    process_.Kill();
  }
}

int LanguageServer::Request(const QString& method, const QJsonValue& params, ReplyHandler handler) {
  const int id = nextId_++;
  Pending& pending = pending_[id];
  pending.method = method;
  pending.params = params;
  pending.handler = std::move(handler);
  pending.deadline = std::chrono::steady_clock::now() + options_.requestTimeLimit;
  if (state_ == State::Running)
    Send(id, pending);
  else if (state_ != State::Starting)
    Finish(id,
           {ReplyStatus::Unavailable, {}, problem_.empty() ? options_.name + " is not running" : problem_});
  ArmDeadlines();
  return id;
}

void LanguageServer::Send(int id, Pending& pending) {
  pending.sent = true;
  Write(QJsonObject{{"jsonrpc", "2.0"}, {"id", id}, {"method", pending.method}, {"params", pending.params}});
}

void LanguageServer::Cancel(int id) {
  const auto request = pending_.find(id);
  if (request == pending_.end()) return;
  if (request->second.sent) Notify("$/cancelRequest", QJsonObject{{"id", id}});
  Finish(id, {ReplyStatus::Cancelled, {}, "cancelled"});
}

void LanguageServer::Notify(const QString& method, const QJsonValue& params) {
  if (state_ == State::Running)
    Write(QJsonObject{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
}

void LanguageServer::Write(const QJsonObject& message) {
  try {
    process_.WriteInput(FramedMessage(QJsonDocument(message).toJson(QJsonDocument::Compact).toStdString()));
  } catch (const TessarinError& error) {
    BreakOff("it does not read what it is sent: " + error.Message());
  }
}

void LanguageServer::Finish(int id, RpcReply reply) {
  const auto request = pending_.find(id);
  if (request == pending_.end()) return;
  ReplyHandler handler = std::move(request->second.handler);
  pending_.erase(request);
  QMetaObject::invokeMethod(
      this, [handler = std::move(handler), reply = std::move(reply)] { handler(reply); },
      Qt::QueuedConnection);
}

void LanguageServer::FinishAll(const std::string& problem, bool sentOnly) {
  std::vector<int> ids;
  for (const auto& [id, pending] : pending_)
    if (pending.sent || !sentOnly) ids.push_back(id);
  for (int id : ids)
    Finish(id, {ReplyStatus::Unavailable, {}, problem});
}

void LanguageServer::ArmDeadlines() {
  if (pending_.empty()) {
    deadlineTimer_.stop();
    return;
  }
  const auto earliest = std::min_element(pending_.begin(), pending_.end(), [](const auto& a, const auto& b) {
                          return a.second.deadline < b.second.deadline;
                        })->second.deadline;
  const auto wait =
      std::chrono::duration_cast<std::chrono::milliseconds>(earliest - std::chrono::steady_clock::now());
  deadlineTimer_.start(std::max(wait, std::chrono::milliseconds(0)) + std::chrono::milliseconds(1));
}

void LanguageServer::DeadlinesPassed() {
  const auto now = std::chrono::steady_clock::now();
  std::vector<int> late;
  for (const auto& [id, pending] : pending_)
    if (pending.deadline <= now) late.push_back(id);
  bool serverHangs = false;
  for (int id : late) {
    if (pending_[id].sent) {
      Notify("$/cancelRequest", QJsonObject{{"id", id}});
      serverHangs = ++timeoutsInARow_ >= kTimeoutsOfAHungServer || serverHangs;
    }
    Finish(id, {ReplyStatus::TimedOut,
                {},
                options_.name + " did not answer within " + Seconds(options_.requestTimeLimit)});
  }
  ArmDeadlines();
  if (serverHangs) BreakOff("it stopped answering");
}

void LanguageServer::ReadOutput(const char* buffer, std::size_t count) {
  reader_.Append(std::string(buffer, count));
  if (!dispatchQueued_) DispatchMessages();
}

void LanguageServer::DispatchMessages() {
  dispatchQueued_ = false;
  const pid_t server = process_.ProcessHandle();
  const TimeSlice slice;
  std::string body;
  while (breakReason_.empty() && server != 0 && server == process_.ProcessHandle()) {
    if (slice.Over()) {
      dispatchQueued_ = true;
      QMetaObject::invokeMethod(this, &LanguageServer::DispatchMessages, Qt::QueuedConnection);
      return;
    }
    const MessageReader::Status status = reader_.Next(body);
    if (status == MessageReader::Status::Incomplete) return;
    if (status == MessageReader::Status::Broken) {
      BreakOff("it sent what is not the protocol: " + reader_.Problem());
      return;
    }
    QJsonParseError error{};
    const QJsonDocument message = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    if (error.error != QJsonParseError::NoError || !message.isObject()) {
      BreakOff("it sent what is not the protocol: a message that is no JSON object");
      return;
    }
    Dispatch(message.object());
  }
}

void LanguageServer::Dispatch(const QJsonObject& message) {
  timeoutsInARow_ = 0;
  if (message.contains("method")) {
    if (message.contains("id"))
      AnswerServerRequest(message);
    else
      emit NotificationReceived(message["method"].toString(), message["params"]);
    return;
  }
  if (!message["id"].isDouble()) return;
  const int id = message["id"].toInt();
  if (id == handshakeId_ && state_ == State::Starting) return HandshakeAnswered(message);
  if (id == shutdownId_ && state_ == State::Stopping) {
    Write(QJsonObject{{"jsonrpc", "2.0"}, {"method", "exit"}, {"params", QJsonValue()}});
    process_.CloseInput();
    return;
  }
  // A late answer to a request that was cancelled or timed out finds nothing.
  if (!pending_.count(id)) return;
  const QJsonObject error = message["error"].toObject();
  if (message.contains("error")) {
    const int code = error["code"].toInt();
    const ReplyStatus status = code == kRequestCancelled  ? ReplyStatus::Cancelled
                               : code == kContentModified ? ReplyStatus::Stale
                                                          : ReplyStatus::Failed;
    Finish(id, {status, {}, error["message"].toString().toStdString()});
  } else {
    Finish(id, {ReplyStatus::Answered, message["result"], {}});
  }
  ArmDeadlines();
}

void LanguageServer::AnswerServerRequest(const QJsonObject& request) {
  const QString method = request["method"].toString();
  QJsonObject answer{{"jsonrpc", "2.0"}, {"id", request["id"]}};
  if (method == "workspace/configuration") {
    QJsonArray none;
    for (int i = 0; i < request["params"].toObject()["items"].toArray().size(); ++i)
      none.append(QJsonValue());
    answer["result"] = none;
  } else if (method == "window/workDoneProgress/create" || method == "client/registerCapability" ||
             method == "client/unregisterCapability") {
    answer["result"] = QJsonValue();
  } else {
    answer["error"] = QJsonObject{{"code", kMethodNotFound}, {"message", "not supported: " + method}};
  }
  Write(answer);
}

void LanguageServer::HandshakeAnswered(const QJsonObject& message) {
  if (message.contains("error")) {
    BreakOff("it refused the start: " + message["error"].toObject()["message"].toString().toStdString());
    return;
  }
  startTimer_.stop();
  serverCapabilities_ = message["result"].toObject()["capabilities"].toObject();
  Write(QJsonObject{{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", QJsonObject()}});
  SetState(State::Running);
  emit Started();
  for (auto& [id, pending] : pending_)
    if (!pending.sent) Send(id, pending);
}

void LanguageServer::BreakOff(const std::string& reason) {
  if (!process_.Active() || !breakReason_.empty()) return;
  breakReason_ = reason;
  process_.Kill();
}

void LanguageServer::ProcessEnded(const ProcessEnd& end) {
  startTimer_.stop();
  stopTimer_.stop();
  if (state_ == State::Stopping) {
    SetState(State::Off);
    return;
  }
  const std::string reason = !breakReason_.empty() ? breakReason_
                             : end.signal != 0     ? "it crashed"
                                                   : "it ended with status " + std::to_string(end.exitStatus);
  FinishAll(options_.name + " ended before it answered (" + reason + ")", true);
  if (restarts_ >= options_.mostRestarts) {
    const std::string problem = options_.name + " stopped working (" + reason +
                                ") and stays off; open the workspace again to restart it";
    FinishAll(problem, false);
    SetState(State::Failed, problem);
    return;
  }
  ++restarts_;
  StartProcess();
}
