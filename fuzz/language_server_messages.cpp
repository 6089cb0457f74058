// Feeds arbitrary bytes to the reading side of the language server client, as a server would send
// them: the framing reader (the bytes cut where the first byte says), each whole body as JSON, and
// the answers' readers over it. Nothing may crash, hang or read past the data.
#include "MessageFraming.h"
#include "ProtocolResults.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <string_view>

namespace {

Places FuzzPlaces() {
  return {[](const QString& uri) -> std::optional<std::string> {
            if (uri.isEmpty()) return std::nullopt;
            return uri.toStdString();
          },
          [](const std::string&, const ProtocolRange& range) {
            return TextRange{{range.start.line + 1, range.start.character + 1},
                             {range.end.line + 1, range.end.character + 1}};
          }};
}

void ReadAnswers(const std::string& body) {
  const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body));
  const QJsonValue result = document.isObject() ? document.object()["result"] : QJsonValue();
  const Places places = FuzzPlaces();
  (void)ReadLocations(result, places);
  (void)ReadCompletions(result, "/f.c", {1, 1}, places);
  (void)ReadHover(result, "/f.c", places);
  (void)ReadSymbols(result, places);
  (void)ReadDiagnostics(document.object()["params"].toObject()["diagnostics"].toArray(), "/f.c", places);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t piece = 1 + data[0] % 64;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  MessageReader reader;
  std::string body;
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    reader.Append(bytes.substr(at, piece));
    while (reader.Next(body) == MessageReader::Status::Message)
      ReadAnswers(body);
  }
  return 0;
}
