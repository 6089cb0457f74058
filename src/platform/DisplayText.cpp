#include "DisplayText.h"

QString ToDisplay(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromDisplay(const QString& text) { return text.toLocal8Bit().toStdString(); }

QString LiteralCaption(QString name) { return name.replace('&', "&&"); }
