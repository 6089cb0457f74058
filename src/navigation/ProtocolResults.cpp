// Kinds are brought down to the few a C editor shows; text arrives as UTF-8 and stays so.
#include "ProtocolResults.h"

#include <QJsonObject>

namespace {

std::optional<ProtocolPosition> ReadPosition(const QJsonValue& value) {
  const QJsonObject position = value.toObject();
  if (!position["line"].isDouble() || !position["character"].isDouble()) return std::nullopt;
  const double line = position["line"].toDouble(), character = position["character"].toDouble();
  if (line < 0 || character < 0 || line > 1e9 || character > 1e9) return std::nullopt;
  return ProtocolPosition{static_cast<int>(line), static_cast<int>(character)};
}

std::optional<SourceLocation> ReadLocation(const QJsonValue& uri, const QJsonValue& range,
                                           const Places& places) {
  const std::optional<ProtocolRange> read = ReadRange(range);
  if (!uri.isString() || !read) return std::nullopt;
  const std::optional<std::string> path = places.path(uri.toString());
  if (!path) return std::nullopt;
  return SourceLocation{*path, places.range(*path, *read)};
}

std::string Text(const QJsonValue& value) { return value.toString().toStdString(); }

// Completion item kinds of the protocol.
SymbolKind CompletionKind(int kind) {
  switch (kind) {
  case 2:
  case 3:
  case 4: return SymbolKind::Function;
  case 5:
  case 10: return SymbolKind::Field;
  case 6: return SymbolKind::Variable;
  case 7:
  case 8:
  case 13:
  case 22: return SymbolKind::Type;
  case 12:
  case 20:
  case 21: return SymbolKind::Constant;
  case 17:
  case 19: return SymbolKind::File;
  default: return SymbolKind::Other;
  }
}

// Symbol kinds of the protocol.
SymbolKind DeclarationKind(int kind) {
  switch (kind) {
  case 1: return SymbolKind::File;
  case 6:
  case 9:
  case 12: return SymbolKind::Function;
  case 7:
  case 8: return SymbolKind::Field;
  case 13: return SymbolKind::Variable;
  case 5:
  case 10:
  case 11:
  case 23:
  case 26: return SymbolKind::Type;
  case 14:
  case 22: return SymbolKind::Constant;
  default: return SymbolKind::Other;
  }
}

// Markup, a marked string, or a list of them.
std::string HoverContents(const QJsonValue& contents) {
  if (contents.isString()) return Text(contents);
  if (contents.isObject()) return Text(contents.toObject()["value"]);
  std::string text;
  for (const QJsonValue& part : contents.toArray()) {
    const std::string piece = HoverContents(part.isArray() ? QJsonValue() : part);
    if (piece.empty()) continue;
    if (!text.empty()) text += "\n";
    text += piece;
  }
  return text;
}

// The server may mark a label's start (a blank, or a bullet for an item that adds an include).
std::string Label(const QJsonValue& value) {
  QString label = value.toString();
  while (!label.isEmpty() && (label.front().isSpace() || label.front() == QChar(0x2022)))
    label.remove(0, 1);
  return label.toStdString();
}

} // namespace

std::optional<ProtocolRange> ReadRange(const QJsonValue& value) {
  const std::optional<ProtocolPosition> start = ReadPosition(value.toObject()["start"]);
  const std::optional<ProtocolPosition> end = ReadPosition(value.toObject()["end"]);
  if (!start || !end) return std::nullopt;
  return ProtocolRange{*start, *end};
}

Locations ReadLocations(const QJsonValue& result, const Places& places) {
  QJsonArray entries = result.toArray();
  if (result.isObject()) entries.append(result);
  Locations locations;
  for (const QJsonValue& entry : entries) {
    const QJsonObject object = entry.toObject();
    const bool link = object.contains("targetUri");
    const std::optional<SourceLocation> location =
        link ? ReadLocation(object["targetUri"], object["targetSelectionRange"], places)
             : ReadLocation(object["uri"], object["range"], places);
    if (location) locations.push_back(*location);
  }
  return locations;
}

Completions ReadCompletions(const QJsonValue& result, const std::string& path, TextPosition at,
                            const Places& places) {
  const QJsonObject list = result.toObject();
  Completions completions;
  completions.incomplete = list["isIncomplete"].toBool();
  for (const QJsonValue& entry : result.isArray() ? result.toArray() : list["items"].toArray()) {
    const QJsonObject item = entry.toObject();
    if (!item["label"].isString()) continue;
    CompletionItem completion;
    completion.label = Label(item["label"]);
    completion.detail = Text(item["detail"]);
    completion.kind = CompletionKind(item["kind"].toInt());
    completion.insertText = item["insertText"].isString() ? Text(item["insertText"]) : completion.label;
    completion.replaced = {at, at};
    const QJsonObject edit = item["textEdit"].toObject();
    // A plain edit has a range; an insert-or-replace edit has both, and the insert range replaces
    // no more than was typed.
    const std::optional<ProtocolRange> range =
        ReadRange(edit.contains("insert") ? edit["insert"] : edit["range"]);
    if (range && edit["newText"].isString()) {
      completion.insertText = Text(edit["newText"]);
      completion.replaced = places.range(path, *range);
    }
    completion.filterText = item["filterText"].isString() ? Text(item["filterText"]) : completion.insertText;
    completion.sortText = item["sortText"].isString() ? Text(item["sortText"]) : completion.label;
    completions.items.push_back(std::move(completion));
  }
  return completions;
}

HoverText ReadHover(const QJsonValue& result, const std::string& path, const Places& places) {
  const QJsonObject hover = result.toObject();
  HoverText text{HoverContents(hover["contents"]), std::nullopt};
  if (const std::optional<ProtocolRange> range = ReadRange(hover["range"]))
    text.range = places.range(path, *range);
  return text;
}

std::vector<SymbolMatch> ReadSymbols(const QJsonValue& result, const Places& places) {
  std::vector<SymbolMatch> symbols;
  for (const QJsonValue& entry : result.toArray()) {
    const QJsonObject symbol = entry.toObject();
    const QJsonObject location = symbol["location"].toObject();
    const std::optional<SourceLocation> place = ReadLocation(location["uri"], location["range"], places);
    if (!symbol["name"].isString() || !place) continue;
    symbols.push_back({Text(symbol["name"]), Text(symbol["containerName"]),
                       DeclarationKind(symbol["kind"].toInt()), *place});
  }
  return symbols;
}

std::vector<ServerDiagnostic> ReadDiagnostics(const QJsonArray& diagnostics, const std::string& path,
                                              const Places& places) {
  std::vector<ServerDiagnostic> read;
  for (const QJsonValue& entry : diagnostics) {
    const QJsonObject diagnostic = entry.toObject();
    const std::optional<ProtocolRange> range = ReadRange(diagnostic["range"]);
    if (!range || !diagnostic["message"].isString()) continue;
    const int severity = diagnostic["severity"].toInt(1);
    read.push_back({places.range(path, *range),
                    severity >= 1 && severity <= 4 ? static_cast<Severity>(severity) : Severity::Error,
                    Text(diagnostic["message"])});
  }
  return read;
}

std::vector<FileEdits> ReadWorkspaceEdit(const QJsonValue& result, const Places& places) {
  std::vector<FileEdits> files;
  const auto read = [&](const QJsonValue& uri, const QJsonArray& edits) {
    const std::optional<std::string> path = uri.isString() ? places.path(uri.toString()) : std::nullopt;
    if (!path) return;
    FileEdits file{*path, {}};
    for (const QJsonValue& entry : edits) {
      const QJsonObject edit = entry.toObject();
      const std::optional<ProtocolRange> range = ReadRange(edit["range"]);
      if (range && edit["newText"].isString())
        file.edits.push_back({places.range(*path, *range), Text(edit["newText"])});
    }
    if (!file.edits.empty()) files.push_back(std::move(file));
  };
  const QJsonObject edit = result.toObject();
  // Either form, as the server likes; the document changes say more, so they go first.
  for (const QJsonValue& change : edit["documentChanges"].toArray())
    read(change.toObject()["textDocument"].toObject()["uri"], change.toObject()["edits"].toArray());
  if (!edit.contains("documentChanges")) {
    const QJsonObject changes = edit["changes"].toObject();
    for (auto file = changes.begin(); file != changes.end(); ++file)
      read(QJsonValue(file.key()), file.value().toArray());
  }
  return files;
}

std::optional<RenameTarget> ReadRenameTarget(const QJsonValue& result, const std::string& path,
                                             const Places& places) {
  const QJsonObject answer = result.toObject();
  if (answer.isEmpty()) return std::nullopt; // null: nothing there can be renamed
  RenameTarget target;
  // A range alone, a range with the name, or the server's default: the name at the place.
  const std::optional<ProtocolRange> range = ReadRange(answer.contains("range") ? answer["range"] : answer);
  if (range) target.range = places.range(path, *range);
  target.name = Text(answer["placeholder"]);
  return target;
}
