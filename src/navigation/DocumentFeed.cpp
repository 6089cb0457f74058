// An operation may touch many lines (a paste, a block indent, an undo); the changes are folded
// into the one span of lines between the untouched head and tail and sent as a replacement of
// that span, so the navigator needs no copy of the text before the change.
#include "DocumentFeed.h"

#include "TextDocument.h"

#include <algorithm>
#include <climits>

DocumentFeed::DocumentFeed(TextDocument& document, std::shared_ptr<Navigator> navigator, std::string path)
    : document_(document), navigator_(std::move(navigator)), path_(std::move(path)),
      sentLineCount_(document.LineCount()) {
  navigator_->OpenDocument(path_, document_.Lines().Strings());
  document_.AddWatcher(*this);
}

DocumentFeed::~DocumentFeed() {
  document_.RemoveWatcher(*this);
  navigator_->CloseDocument(path_);
}

void DocumentFeed::LinesChanged(const LineChange& change) {
  const int count = document_.LineCount();
  int head = change.line, tail = 0;
  switch (change.kind) {
  case LineChange::Kind::Restyled: return;
  case LineChange::Kind::Reloaded:
  case LineChange::Kind::Clearing: head = 0; break;
  case LineChange::Kind::Removed: tail = count - change.line; break;
  case LineChange::Kind::Appended:
  case LineChange::Kind::Inserted:
  case LineChange::Kind::Changed: tail = count - 1 - change.line; break;
  }
  head_ = head_ < 0 ? head : std::min(head_, head);
  tail_ = tail_ < 0 ? tail : std::min(tail_, tail);
  head_ = std::max(head_, 0);
  tail_ = std::max(tail_, 0);
  if (!inEdit_) Send();
}

void DocumentFeed::EditFinished() {
  inEdit_ = false;
  Send();
}

void DocumentFeed::Send() {
  if (head_ < 0) return;
  const int count = document_.LineCount();
  // The untouched lines cannot overlap: the shorter text bounds them both.
  const int tail = std::max(0, std::min(tail_, std::min(count, sentLineCount_) - head_));
  const int head = head_;
  const int oldEnd = sentLineCount_ - tail; // 0-based, exclusive
  const int newEnd = count - tail;
  TextEdit edit;
  if (tail > 0) {
    // Whole lines before the tail's first line.
    edit.range = {{head + 1, 1}, {oldEnd + 1, 1}};
    for (int line = head; line < newEnd; ++line)
      edit.text += document_.LineText(line + 1) + "\n";
  } else if (head > 0) {
    // From the end of the head's last line to the end of the text.
    edit.range = {{head, INT_MAX}, {sentLineCount_, INT_MAX}};
    for (int line = head; line < newEnd; ++line)
      edit.text += "\n" + document_.LineText(line + 1);
  } else {
    edit.range = {{1, 1}, {sentLineCount_, INT_MAX}};
    for (int line = 0; line < count; ++line)
      edit.text += (line > 0 ? "\n" : "") + document_.LineText(line + 1);
  }
  head_ = tail_ = -1;
  sentLineCount_ = count;
  navigator_->EditDocument(path_, edit);
}
