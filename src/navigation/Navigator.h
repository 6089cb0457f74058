// What the editor's navigation commands ask and get, in the editor's own terms: files by path,
// places as 1-based lines and byte columns. Every request is answered exactly once, later, from
// the event loop; an answer to a text that changed since the request is dropped (Stale), and
// without a server the answer says why (Unavailable, with the problem to show).
#pragma once

#include "LanguageServer.h"
#include "TextPosition.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct SourceLocation {
  std::string path;
  TextRange range;
  bool operator==(const SourceLocation&) const = default;
};

enum class SymbolKind { Other, Function, Variable, Field, Type, Constant, Macro, File };

struct CompletionItem {
  std::string label;  // as the list shows it: a function with its parameters
  std::string detail; // its type, or a function's return type
  SymbolKind kind = SymbolKind::Other;
  std::string insertText; // what accepting it puts in, in place of `replaced`
  TextRange replaced;     // the part of the name already typed
  std::string filterText; // what further typing is matched against
  std::string sortText;   // the server's order
  bool operator==(const CompletionItem&) const = default;
};

struct Completions {
  std::vector<CompletionItem> items;
  bool incomplete = false; // typing on should ask again rather than filter these
};

struct HoverText {
  std::string text; // the declaration, and what the server says of it, as plain text
  std::optional<TextRange> range;
};

struct SymbolMatch {
  std::string name;
  std::string container;
  SymbolKind kind = SymbolKind::Other;
  SourceLocation location;
};

enum class Severity { Error = 1, Warning = 2, Information = 3, Hint = 4 };

struct ServerDiagnostic {
  TextRange range;
  Severity severity = Severity::Error;
  std::string message;
  bool operator==(const ServerDiagnostic&) const = default;
};

// What renaming a symbol changes: each file's edits, in the file's lines.
struct FileEdits {
  std::string path;
  std::vector<TextEdit> edits;
  bool operator==(const FileEdits&) const = default;
};

// The symbol a rename would change at a place: where it stands there (none when the server does
// not say) and its name.
struct RenameTarget {
  std::optional<TextRange> range;
  std::string name;
  bool operator==(const RenameTarget&) const = default;
};

template <typename Value> struct Reply {
  ReplyStatus status = ReplyStatus::Answered;
  Value value{};
  std::string problem; // why there is no value
};

template <typename Value> using ReplyHandler = std::function<void(const Reply<Value>&)>;
using Locations = std::vector<SourceLocation>;
using RequestId = int;

class Navigator {
public:
  virtual ~Navigator() = default;

  // --- the documents of the editor windows, as the editor changes them
  virtual void OpenDocument(const std::string& path, std::vector<std::string> lines) = 0;
  virtual void EditDocument(const std::string& path, const TextEdit& edit) = 0;
  virtual void SaveDocument(const std::string& path) = 0;
  virtual void CloseDocument(const std::string& path) = 0;

  // --- requests at a place of a document
  virtual RequestId Definition(const std::string& path, TextPosition at, ReplyHandler<Locations> done) = 0;
  virtual RequestId Declaration(const std::string& path, TextPosition at, ReplyHandler<Locations> done) = 0;
  // With the declaration among them.
  virtual RequestId References(const std::string& path, TextPosition at, ReplyHandler<Locations> done) = 0;
  virtual RequestId Complete(const std::string& path, TextPosition at, ReplyHandler<Completions> done) = 0;
  // No hover text is an answer with empty text.
  virtual RequestId Hover(const std::string& path, TextPosition at, ReplyHandler<HoverText> done) = 0;
  // --- and in the whole workspace: the symbols whose names match `query`
  virtual RequestId WorkspaceSymbols(const std::string& query,
                                     ReplyHandler<std::vector<SymbolMatch>> done) = 0;
  // Whether the symbol at the place can be renamed: none when it cannot (a keyword, a comment, a
  // system header's name).
  virtual RequestId PrepareRename(const std::string& path, TextPosition at,
                                  ReplyHandler<std::optional<RenameTarget>> done) = 0;
  // Every change that renames the symbol at the place, across the workspace.
  virtual RequestId Rename(const std::string& path, TextPosition at, const std::string& newName,
                           ReplyHandler<std::vector<FileEdits>> done) = 0;
  // The request's handler hears Cancelled.
  virtual void Cancel(RequestId id) = 0;

  // Why requests get no answers; empty while they can (also while the server starts).
  [[nodiscard]] virtual std::string Problem() const = 0;
  // How far the server has read the workspace, in percent, while it reads it; none after. Until
  // then it knows the files it has read, and its answers may miss the others.
  [[nodiscard]] virtual std::optional<int> IndexingPercent() const { return std::nullopt; }

  // The server's diagnostics of an open document, whenever they change (all of them each time).
  std::function<void(const std::string& path, const std::vector<ServerDiagnostic>& diagnostics)>
      OnDiagnostics;
  std::function<void()> OnProblemChanged;
  std::function<void()> OnIndexingChanged;
};
