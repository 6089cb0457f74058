// The server's answers read into the editor's terms. Whatever does not have the protocol's shape
// is left out: a server's answer is never trusted to be well formed.
#pragma once

#include "Navigator.h"

#include <QJsonArray>
#include <QJsonValue>

#include <functional>
#include <optional>
#include <string>

// How the places of an answer become the editor's: the file a URI names (none for what is no
// file), and a range of a file.
struct Places {
  std::function<std::optional<std::string>(const QString& uri)> path;
  std::function<TextRange(const std::string& path, const ProtocolRange& range)> range;
};

[[nodiscard]] std::optional<ProtocolRange> ReadRange(const QJsonValue& value);
// A Location, a list of them or of LocationLinks, or null.
[[nodiscard]] Locations ReadLocations(const QJsonValue& result, const Places& places);
// A CompletionList or a list of items, asked at `at` of `path`.
[[nodiscard]] Completions ReadCompletions(const QJsonValue& result, const std::string& path, TextPosition at,
                                          const Places& places);
[[nodiscard]] HoverText ReadHover(const QJsonValue& result, const std::string& path, const Places& places);
[[nodiscard]] std::vector<SymbolMatch> ReadSymbols(const QJsonValue& result, const Places& places);
[[nodiscard]] std::vector<ServerDiagnostic> ReadDiagnostics(const QJsonArray& diagnostics,
                                                            const std::string& path, const Places& places);
// A WorkspaceEdit's text edits, by file, in either of its forms.
[[nodiscard]] std::vector<FileEdits> ReadWorkspaceEdit(const QJsonValue& result, const Places& places);
// The answer to prepareRename at a place of `path`: none when nothing there can be renamed.
[[nodiscard]] std::optional<RenameTarget> ReadRenameTarget(const QJsonValue& result, const std::string& path,
                                                           const Places& places);
