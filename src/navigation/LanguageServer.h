// A language server run as a child process and spoken to in JSON-RPC over its standard input and
// output: its start and the initialize handshake, requests matched to their answers, notifications
// both ways, cancelling, time limits, the shutdown, and what happens when the server is missing,
// ends, hangs or sends what is not the protocol. Everything runs on the thread that owns it.
#pragma once

#include "MessageFraming.h"
#include "ProcessRunner.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>

enum class ReplyStatus {
  Answered,    // the server answered
  Failed,      // the server answered with an error
  Cancelled,   // the asker cancelled the request, or the server gave it up
  TimedOut,    // no answer in time; the server was told to give up
  Stale,       // the text changed since the request, so the answer no longer fits it
  Unavailable, // no server to ask: missing, off, or it ended before it answered
};

struct RpcReply {
  ReplyStatus status = ReplyStatus::Answered;
  QJsonValue result;
  std::string problem; // why there is no answer
};

class LanguageServer : public QObject {
  Q_OBJECT
public:
  struct Options {
    std::string name = "clangd";    // in messages; also the name of the package that holds it
    std::string program = "clangd"; // a path, or a name looked up on PATH
    QStringList arguments;
    std::string folder; // the workspace's folder: the server's root and working folder
    QJsonObject capabilities;
    QJsonValue initializationOptions;
    std::chrono::milliseconds requestTimeLimit{10000};
    std::chrono::milliseconds startTimeLimit{60000};
    // A server that ends, hangs or breaks the protocol is started again this many times; the
    // next time it stays off.
    int mostRestarts = 3;
  };
  enum class State { Off, Starting, Running, Stopping, Failed };
  using ReplyHandler = std::function<void(const RpcReply&)>;

  explicit LanguageServer(Options options, QObject* parent = nullptr);
  ~LanguageServer() override;

  void Start();
  // Asks the server to end; it is ended when it has not within a second or two.
  void Stop();

  [[nodiscard]] State CurrentState() const { return state_; }
  // Why the server does not run; empty while it starts or runs.
  [[nodiscard]] const std::string& Problem() const { return problem_; }
  [[nodiscard]] const QJsonObject& ServerCapabilities() const { return serverCapabilities_; }
  // How often the server was started again after it failed.
  [[nodiscard]] int Restarts() const { return restarts_; }

  // Sends a request, or keeps it until the server runs. The handler is called exactly once (unless
  // this object goes first), from the event loop, never from within a call of this class.
  int Request(const QString& method, const QJsonValue& params, ReplyHandler handler);
  // The handler hears Cancelled at once; the server is told to give the request up.
  void Cancel(int id);
  // Sent while the server runs, dropped otherwise: a client sends its state again on Started.
  void Notify(const QString& method, const QJsonValue& params);

signals:
  // The server answered the handshake, now and after every restart: documents go to it again.
  void Started();
  void StateChanged();
  void NotificationReceived(const QString& method, const QJsonValue& params);

private:
  struct Pending {
    QString method;
    QJsonValue params;
    ReplyHandler handler;
    std::chrono::steady_clock::time_point deadline;
    bool sent = false;
  };

  void StartProcess();
  void SetState(State state, std::string problem = {});
  void Write(const QJsonObject& message);
  void Send(int id, Pending& pending);
  void ReadOutput(const char* buffer, std::size_t count);
  // Handles the messages read, as many as a time slice allows; the rest wait for the next pass
  // of the event loop, so a burst of them never holds up the window.
  void DispatchMessages();
  void Dispatch(const QJsonObject& message);
  void AnswerServerRequest(const QJsonObject& request);
  void HandshakeAnswered(const QJsonObject& message);
  void Finish(int id, RpcReply reply);
  // Every request, or only those the server was given, ends with `problem`.
  void FinishAll(const std::string& problem, bool sentOnly);
  void ArmDeadlines();
  void DeadlinesPassed();
  // The server misbehaves: it is ended, and ProcessEnded takes it from there.
  void BreakOff(const std::string& reason);
  void ProcessEnded(const ProcessEnd& end);

  Options options_;
  State state_ = State::Off;
  std::string problem_;
  ProcessRunner process_;
  MessageReader reader_;
  bool dispatchQueued_ = false;
  std::string breakReason_; // set when the server was ended for misbehaving
  QJsonObject serverCapabilities_;
  std::map<int, Pending> pending_;
  int nextId_ = 1;
  int handshakeId_ = 0;
  int shutdownId_ = 0;
  int restarts_ = 0;
  int timeoutsInARow_ = 0;
  QTimer deadlineTimer_;
  QTimer startTimer_;
  QTimer stopTimer_;
};
