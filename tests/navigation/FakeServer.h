// The scripted language server of tests/navigation/fake_language_server.cpp: a script of rules
// written for one test, the options that start it, and the messages it received.
#pragma once

#include "LanguageServer.h"
#include "TempDir.h"
#include "WaitUntil.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <vector>

class FakeServer {
public:
  explicit FakeServer(const QJsonArray& rules = {}) {
    dir_.write("script.json", QJsonDocument(QJsonObject{{"rules", rules}}).toJson().toStdString());
  }

  [[nodiscard]] static std::string Program() {
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path() / "navigation" / "fake_language_server").string();
  }

  // Short time limits: the tests that wait for them wait no longer than they must.
  [[nodiscard]] LanguageServer::Options Options() const {
    LanguageServer::Options options;
    options.program = Program();
    options.arguments = {QString::fromStdString(dir_.file("script.json")),
                         QString::fromStdString(dir_.file("log"))};
    options.folder = dir_.path();
    options.requestTimeLimit = std::chrono::milliseconds(5000);
    options.startTimeLimit = std::chrono::milliseconds(10000);
    return options;
  }

  [[nodiscard]] const TempDir& Dir() const { return dir_; }

  // What the server read, in order, across its starts.
  [[nodiscard]] std::vector<QJsonObject> Received(const QString& method = {}) const {
    std::vector<QJsonObject> messages;
    for (const QByteArray& line : QByteArray::fromStdString(TempDir::read(dir_.file("log"))).split('\n')) {
      const QJsonObject message = QJsonDocument::fromJson(line).object();
      if (!message.isEmpty() && !message.contains("start") &&
          (method.isEmpty() || message["method"] == method))
        messages.push_back(message);
    }
    return messages;
  }

  [[nodiscard]] int Starts() const {
    int starts = 0;
    for (const QByteArray& line : QByteArray::fromStdString(TempDir::read(dir_.file("log"))).split('\n'))
      starts += line.startsWith("{\"start\":") ? 1 : 0;
    return starts;
  }

  bool WaitFor(const QString& method, std::size_t count = 1) const {
    return WaitUntil([&] { return Received(method).size() >= count; });
  }

private:
  TempDir dir_;
};

// A rule of the script.
inline QJsonObject Rule(const QString& method, QJsonObject rule = {}) {
  rule["method"] = method;
  return rule;
}
