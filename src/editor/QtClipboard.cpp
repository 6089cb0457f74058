// The Qt clipboard with the editor's private block format beside plain text.
#include "QtClipboard.h"

#include "ClipboardBlock.h"

#include <QGuiApplication>
#include <QMimeData>

bool QtClipboard::PutText(std::string_view plain, std::string_view block, TextEncoding blockEncoding) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return false;
  auto* data = new QMimeData;
  QString text = QString::fromUtf8(plain.data(), static_cast<qsizetype>(plain.size()));
  if (lineFeeds_) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  data->setText(text);
  data->setData(kBlockMimeType, QByteArray(block.data(), static_cast<qsizetype>(block.size())));
  data->setData(kBlockEncodingMimeType, EncodingName(blockEncoding));
  clipboard->setMimeData(data, mode_);
  return true;
}

std::optional<std::string> QtClipboard::BlockData() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode_);
  if (!data || !data->hasFormat(kBlockMimeType)) return std::nullopt;
  const QByteArray bytes = data->data(kBlockMimeType);
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::optional<TextEncoding> QtClipboard::BlockEncoding() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode_);
  if (!data || !data->hasFormat(kBlockEncodingMimeType)) return std::nullopt;
  const QByteArray name = data->data(kBlockEncodingMimeType);
  for (TextEncoding encoding : {TextEncoding::Utf8, TextEncoding::Windows1252})
    if (name == EncodingName(encoding)) return encoding;
  return std::nullopt;
}

std::optional<std::string> QtClipboard::PlainText() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData(mode_);
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}
