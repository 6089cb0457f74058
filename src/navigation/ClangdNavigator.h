// The navigator over a language server (clangd): the open documents are mirrored to it as they
// change, and places are converted both ways between the editor's byte columns and the
// protocol's UTF-16 columns, in an open document's current text or, for any other file, in the
// file on disk. Edits go out in batches, a few times a second while the user types and at once
// before a request: a keystroke costs the window next to nothing, and the server reparses less.
#pragma once

#include "DocumentMirror.h"
#include "LanguageServer.h"
#include "Navigator.h"
#include "ProtocolResults.h"

#include <QObject>
#include <QTimer>

#include <cstdint>
#include <map>

class ClangdNavigator : public QObject, public Navigator {
  Q_OBJECT
public:
  // The client's capabilities are this class's; the rest of the options are the caller's.
  explicit ClangdNavigator(LanguageServer::Options options, QObject* parent = nullptr);

  void Start() { server_.Start(); }
  void Stop() { server_.Stop(); }
  [[nodiscard]] LanguageServer& Server() { return server_; }

  void OpenDocument(const std::string& path, std::vector<std::string> lines) override;
  void EditDocument(const std::string& path, const TextEdit& edit) override;
  void SaveDocument(const std::string& path) override;
  void CloseDocument(const std::string& path) override;

  RequestId Definition(const std::string& path, TextPosition at, ReplyHandler<Locations> done) override;
  RequestId Declaration(const std::string& path, TextPosition at, ReplyHandler<Locations> done) override;
  RequestId References(const std::string& path, TextPosition at, ReplyHandler<Locations> done) override;
  RequestId Complete(const std::string& path, TextPosition at, ReplyHandler<Completions> done) override;
  RequestId Hover(const std::string& path, TextPosition at, ReplyHandler<HoverText> done) override;
  RequestId WorkspaceSymbols(const std::string& query, ReplyHandler<std::vector<SymbolMatch>> done) override;
  RequestId PrepareRename(const std::string& path, TextPosition at,
                          ReplyHandler<std::optional<RenameTarget>> done) override;
  RequestId Rename(const std::string& path, TextPosition at, const std::string& newName,
                   ReplyHandler<std::vector<FileEdits>> done) override;
  void Cancel(RequestId id) override { server_.Cancel(id); }

  [[nodiscard]] std::string Problem() const override { return server_.Problem(); }
  [[nodiscard]] std::optional<int> IndexingPercent() const override;

private:
  struct Document {
    DocumentMirror mirror;
    std::uint64_t stamp;          // changes with every edit, and when the document is opened again
    std::vector<TextEdit> unsent; // edits the mirror and the server have yet to get, in order
  };
  class AnswerLines;

  template <typename Value>
  RequestId Ask(const QString& method, const QJsonObject& params, const std::string& path,
                std::function<Value(const QJsonValue& result, const Places& places)> read,
                ReplyHandler<Value> done);
  RequestId AskLocations(const QString& method, const std::string& path, TextPosition at,
                         ReplyHandler<Locations> done, QJsonObject extra = {});
  [[nodiscard]] QJsonObject PlaceParams(const std::string& path, TextPosition at);
  // 0 for a document that is not open.
  [[nodiscard]] std::uint64_t StampOf(const std::string& path) const;
  void SendOpen(const std::string& path, const DocumentMirror& mirror);
  void DiagnosticsArrived(const QJsonObject& params);
  // A work done progress report: the background index begins, goes on or ends.
  void ProgressArrived(const QJsonObject& params);
  void SetProgress(std::map<QString, int> progress);
  // Makes the document's unsent edits in its mirror; the server's changes for them.
  QJsonArray ApplyUnsent(Document& document);
  // Sends the unsent edits of one document, or of all of them.
  void SendEdits(const std::string& path);
  void SendEdits();

  std::map<std::string, Document> documents_;
  std::uint64_t lastStamp_ = 0;
  QTimer sendTimer_;                // runs while there are unsent edits
  std::map<QString, int> progress_; // the percent of each work the server reports, by its token
  LanguageServer server_;
};

// The language server protocol's name of a file, and back; none for a URI that names no file.
[[nodiscard]] QString FileUri(const std::string& path);
[[nodiscard]] std::optional<std::string> UriPath(const QString& uri);
