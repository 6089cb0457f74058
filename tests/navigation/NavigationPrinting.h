// How the navigation's values read in a failed expectation.
#pragma once

#include "Navigator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <ostream>

inline void PrintTo(const QJsonValue& value, std::ostream* out) {
  *out << QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}
inline void PrintTo(const QJsonObject& object, std::ostream* out) { PrintTo(QJsonValue(object), out); }
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

inline std::ostream& operator<<(std::ostream& out, const TextPosition& at) {
  return out << at.line << ":" << at.column;
}
inline std::ostream& operator<<(std::ostream& out, const TextRange& range) {
  return out << range.start << "-" << range.end;
}
inline std::ostream& operator<<(std::ostream& out, const SourceLocation& location) {
  return out << location.path << "@" << location.range;
}
inline std::ostream& operator<<(std::ostream& out, const ServerDiagnostic& diagnostic) {
  return out << diagnostic.range << " " << static_cast<int>(diagnostic.severity) << " " << diagnostic.message;
}
inline std::ostream& operator<<(std::ostream& out, const CompletionItem& item) {
  return out << item.label << " [" << item.detail << "] " << item.insertText << " for " << item.replaced;
}
