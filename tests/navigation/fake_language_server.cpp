// A language server that follows a script, for the client's tests. It logs every message it
// reads, one JSON line each, and answers by the script's rules; without a rule it answers the
// handshake, the shutdown and every other request plainly.
//
// Usage: fake_language_server SCRIPT.json LOG
//
// The script is {"rules": [rule...]}. A rule applies to the first messages of its "method" it
// has not been used up on ("times", default: every one), on the server's n-th start only when it
// says "start": n. It may give the answer: "reply" (the result), "error" (an error object),
// "noReply", or "hold" (kept until a rule that says "releaseHeld"); and after that, in this
// order: "send" (messages to write), "raw" (bytes to write as they are), "inPieces" (the answer
// written a byte at a time), "exit" (a status to end with) or "crash" (abort).
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

QJsonArray rules;
std::vector<int> used;
std::vector<QByteArray> held;
QFile logFile;
int startNumber = 1;

void Log(const QJsonObject& entry) {
  logFile.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + "\n");
  logFile.flush();
}

QByteArray Framed(const QByteArray& body) {
  return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

void WriteOut(const QByteArray& bytes, bool inPieces = false) {
  if (!inPieces) {
    (void)!::write(1, bytes.data(), static_cast<std::size_t>(bytes.size()));
    return;
  }
  for (char byte : bytes)
    (void)!::write(1, &byte, 1);
}

QByteArray Message(const QJsonObject& object) {
  return Framed(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// The next message's body from standard input; false at its end.
bool ReadMessage(QByteArray& body) {
  static QByteArray buffer;
  auto fill = [] {
    char chunk[4096];
    const ssize_t got = ::read(0, chunk, sizeof chunk);
    if (got <= 0) return false;
    buffer.append(chunk, got);
    return true;
  };
  qsizetype end;
  while ((end = buffer.indexOf("\r\n\r\n")) < 0)
    if (!fill()) return false;
  const QByteArray headers = buffer.left(end).toLower();
  const qsizetype at = headers.indexOf("content-length:");
  if (at < 0) std::exit(4);
  const qsizetype length = headers.mid(at + 15).split('\r').front().trimmed().toLongLong();
  buffer.remove(0, end + 4);
  while (buffer.size() < length)
    if (!fill()) return false;
  body = buffer.left(length);
  buffer.remove(0, length);
  return true;
}

int RuleFor(const QString& method) {
  for (int i = 0; i < rules.size(); ++i) {
    const QJsonObject rule = rules[i].toObject();
    if (rule["method"].toString() != method) continue;
    if (rule.contains("start") && rule["start"].toInt() != startNumber) continue;
    if (rule.contains("times") && used[static_cast<std::size_t>(i)] >= rule["times"].toInt()) continue;
    ++used[static_cast<std::size_t>(i)];
    return i;
  }
  return -1;
}

void Handle(const QJsonObject& message) {
  const QString method = message["method"].toString();
  const bool request = message.contains("id") && message.contains("method");
  const int index = RuleFor(method);
  const QJsonObject rule = index >= 0 ? rules[index].toObject() : QJsonObject();
  QJsonObject answer{{"jsonrpc", "2.0"}, {"id", message["id"]}};
  if (rule.contains("error"))
    answer["error"] = rule["error"];
  else if (rule.contains("reply"))
    answer["result"] = rule["reply"];
  else if (method == "initialize")
    answer["result"] = QJsonObject{{"capabilities", QJsonObject{{"fake", true}}}};
  else
    answer["result"] = QJsonValue();
  if (request && !rule["noReply"].toBool()) {
    if (rule["hold"].toBool())
      held.push_back(Message(answer));
    else
      WriteOut(Message(answer), rule["inPieces"].toBool());
  }
  if (rule["releaseHeld"].toBool()) {
    for (const QByteArray& reply : held)
      WriteOut(reply);
    held.clear();
  }
  for (const QJsonValue& extra : rule["send"].toArray())
    WriteOut(Message(extra.toObject()));
  if (rule.contains("raw")) WriteOut(rule["raw"].toString().toUtf8());
  if (rule.contains("exit")) std::exit(rule["exit"].toInt());
  if (rule["crash"].toBool()) std::abort();
  if (method == "exit") std::exit(0);
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  QFile script(argv[1]);
  if (!script.open(QIODevice::ReadOnly)) return 2;
  rules = QJsonDocument::fromJson(script.readAll()).object()["rules"].toArray();
  used.assign(static_cast<std::size_t>(rules.size()), 0);
  logFile.setFileName(argv[2]);
  if (logFile.open(QIODevice::ReadOnly))
    for (const QByteArray& line : logFile.readAll().split('\n'))
      if (line.startsWith("{\"start\":")) ++startNumber;
  logFile.close();
  if (!logFile.open(QIODevice::Append)) return 2;
  Log(QJsonObject{{"start", startNumber}});
  QByteArray body;
  while (ReadMessage(body)) {
    const QJsonObject message = QJsonDocument::fromJson(body).object();
    Log(message);
    Handle(message);
  }
  return 0;
}
