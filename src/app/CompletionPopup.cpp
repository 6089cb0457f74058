#include "CompletionPopup.h"

#include "EditorWidget.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>

#include <algorithm>

bool CompletionMatches(const std::string& name, const std::string& typed) {
  return name.size() >= typed.size() &&
         std::equal(typed.begin(), typed.end(), name.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

CompletionPopup::CompletionPopup(QObject* parent) : QObject(parent), list_(new QListWidget) {
  list_->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
  list_->setObjectName("CompletionList");
  list_->setUniformItemSizes(true);
  connect(list_, &QListWidget::itemClicked, this, [this] { Accept(); });
}

CompletionPopup::~CompletionPopup() {
  Close();
  delete list_;
}

bool CompletionPopup::Showing() const { return editor_ != nullptr; }

void CompletionPopup::Show(EditorWidget& editor, Completions completions) {
  Close();
  std::stable_sort(completions.items.begin(), completions.items.end(),
                   [](const CompletionItem& a, const CompletionItem& b) { return a.sortText < b.sortText; });
  completions_ = std::move(completions);
  editor_ = &editor;
  editor.installEventFilter(this);
  Refilter();
  if (!Showing()) return;
  const QRect caret = editor.CaretRect();
  list_->move(editor.viewport()->mapToGlobal(caret.bottomLeft()));
  list_->resize(420, 200);
  list_->show();
}

void CompletionPopup::Close() {
  if (editor_ != nullptr) editor_->removeEventFilter(this);
  editor_ = nullptr;
  list_->hide();
}

void CompletionPopup::Refilter() {
  const TextEditor& editor = editor_->Editor();
  const TextPoint caret = editor.State().CaretXY();
  const TextPosition start =
      completions_.items.empty() ? TextPosition{caret.Y, caret.X} : completions_.items.front().replaced.start;
  if (caret.Y != start.line || caret.X < start.column) {
    Close();
    return;
  }
  const std::string& line = editor.Document().LineText(caret.Y);
  const std::string typed = line.substr(static_cast<std::size_t>(start.column - 1),
                                        static_cast<std::size_t>(caret.X - start.column));
  list_->clear();
  shown_.clear();
  for (std::size_t i = 0; i < completions_.items.size(); ++i) {
    const CompletionItem& item = completions_.items[i];
    if (!CompletionMatches(item.filterText.empty() ? item.label : item.filterText, typed)) continue;
    shown_.push_back(i);
    list_->addItem(QString::fromStdString(item.label + (item.detail.empty() ? "" : "  " + item.detail)));
  }
  if (shown_.empty()) {
    Close();
    return;
  }
  list_->setCurrentRow(0);
}

void CompletionPopup::Accept() {
  const int row = list_->currentRow();
  EditorWidget* editor = editor_;
  if (editor == nullptr || row < 0 || row >= static_cast<int>(shown_.size())) return;
  const CompletionItem& item = completions_.items[shown_[static_cast<std::size_t>(row)]];
  TextEditor& text = editor->Editor();
  const TextPoint caret = text.State().CaretXY();
  // What was typed of the name goes, and the choice comes in its place, as one edit.
  text.State().SetBlockBegin({item.replaced.start.column, item.replaced.start.line});
  text.State().SetBlockEnd(caret);
  // The server's text is UTF-8; it goes in as the document holds its characters.
  const std::optional<std::string> insert =
      FromUtf8(item.insertText.empty() ? item.label : item.insertText, text.State().Encoding());
  Close();
  if (insert) text.SetSelText(*insert);
}

bool CompletionPopup::eventFilter(QObject* watched, QEvent* event) {
  if (watched != editor_) return false;
  if (event->type() == QEvent::FocusOut) {
    Close();
    return false;
  }
  if (event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  switch (key->key()) {
  case Qt::Key_Escape: Close(); return true;
  case Qt::Key_Return:
  case Qt::Key_Enter:
  case Qt::Key_Tab: Accept(); return true;
  case Qt::Key_Up:
  case Qt::Key_Down:
  case Qt::Key_PageUp:
  case Qt::Key_PageDown: QCoreApplication::sendEvent(list_, event); return true;
  default:
    // The editor takes the key first; the list follows what it typed.
    QTimer::singleShot(0, this, [this] {
      if (Showing()) Refilter();
    });
    return false;
  }
}
