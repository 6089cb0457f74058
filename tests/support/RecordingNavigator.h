// A navigator in the test's hands: it keeps the open documents as the editor sends them, and
// holds every request until the test answers it.
#pragma once

#include "DocumentMirror.h"
#include "Navigator.h"

#include <map>
#include <string>
#include <vector>

class RecordingNavigator : public Navigator {
public:
  struct Request {
    // "Definition", "Declaration", "References", "Complete", "Hover", "Symbols", "PrepareRename", "Rename"
    std::string kind;
    std::string path; // or the query of "Symbols"
    TextPosition at;
    ReplyHandler<Locations> places = {};
    ReplyHandler<Completions> completions = {};
    ReplyHandler<HoverText> hover = {};
    ReplyHandler<std::vector<SymbolMatch>> symbols = {};
    ReplyHandler<std::optional<RenameTarget>> renameTarget = {};
    ReplyHandler<std::vector<FileEdits>> renamed = {};
    std::string newName = {};
  };

  void OpenDocument(const std::string& path, std::vector<std::string> lines) override {
    documents.insert_or_assign(path, DocumentMirror(std::move(lines)));
  }
  void EditDocument(const std::string& path, const TextEdit& edit) override {
    documents.at(path).Apply(edit);
    ++edits;
  }
  void SaveDocument(const std::string& path) override { saved.push_back(path); }
  void CloseDocument(const std::string& path) override { documents.erase(path); }

  RequestId Definition(const std::string& path, TextPosition at, ReplyHandler<Locations> done) override {
    return Add({"Definition", path, at, std::move(done)});
  }
  RequestId Declaration(const std::string& path, TextPosition at, ReplyHandler<Locations> done) override {
    return Add({"Declaration", path, at, std::move(done)});
  }
  RequestId References(const std::string& path, TextPosition at, ReplyHandler<Locations> done) override {
    return Add({"References", path, at, std::move(done)});
  }
  RequestId Complete(const std::string& path, TextPosition at, ReplyHandler<Completions> done) override {
    return Add({"Complete", path, at, {}, std::move(done)});
  }
  RequestId Hover(const std::string& path, TextPosition at, ReplyHandler<HoverText> done) override {
    return Add({"Hover", path, at, {}, {}, std::move(done)});
  }
  RequestId WorkspaceSymbols(const std::string& query, ReplyHandler<std::vector<SymbolMatch>> done) override {
    return Add({"Symbols", query, {}, {}, {}, {}, std::move(done)});
  }
  RequestId PrepareRename(const std::string& path, TextPosition at,
                          ReplyHandler<std::optional<RenameTarget>> done) override {
    return Add({"PrepareRename", path, at, {}, {}, {}, {}, std::move(done)});
  }
  RequestId Rename(const std::string& path, TextPosition at, const std::string& newName,
                   ReplyHandler<std::vector<FileEdits>> done) override {
    return Add({"Rename", path, at, {}, {}, {}, {}, {}, std::move(done), newName});
  }
  void Cancel(RequestId id) override { cancelled.push_back(id); }
  [[nodiscard]] std::string Problem() const override { return problem; }
  [[nodiscard]] std::optional<int> IndexingPercent() const override { return indexing; }

  // The document's lines as the navigator holds them.
  [[nodiscard]] std::vector<std::string> Lines(const std::string& path) const {
    std::vector<std::string> lines;
    const DocumentMirror& mirror = documents.at(path);
    for (int line = 1; line <= mirror.LineCount(); ++line)
      lines.emplace_back(mirror.Line(line));
    return lines;
  }

  std::map<std::string, DocumentMirror> documents;
  std::vector<Request> requests;
  std::vector<std::string> saved;
  std::vector<RequestId> cancelled;
  std::string problem;
  std::optional<int> indexing;
  int edits = 0;

private:
  RequestId Add(Request request) {
    requests.push_back(std::move(request));
    return static_cast<RequestId>(requests.size());
  }
};
