#include "DisplayText.h"

QString ToDisplay(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromDisplay(const QString& text) { return text.toLocal8Bit().toStdString(); }

QString ElidedDisplay(const QString& text, qsizetype keep) {
  if (text.size() <= 2 * keep + 1) return text;
  return text.left(keep) + QChar(0x2026) + text.right(keep);
}

QString ElidedDisplay(const std::string& text, qsizetype keep) {
  return ElidedDisplay(ToDisplay(text), keep);
}

QString LiteralCaption(QString name) { return name.replace('&', "&&"); }
