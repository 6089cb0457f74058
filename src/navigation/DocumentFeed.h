// One editor document as the navigator sees it: opened with the document's text, every change
// of its lines sent as one edit per operation, saved and closed with it.
#pragma once

#include "DocumentWatcher.h"
#include "Navigator.h"

#include <memory>
#include <string>

class TextDocument;

class DocumentFeed : private DocumentWatcher {
public:
  // Opens `path` with the document's text now; the document must outlive the feed, which keeps
  // the navigator.
  DocumentFeed(TextDocument& document, std::shared_ptr<Navigator> navigator, std::string path);
  ~DocumentFeed() override;
  DocumentFeed(const DocumentFeed&) = delete;
  DocumentFeed& operator=(const DocumentFeed&) = delete;

  [[nodiscard]] const std::string& Path() const { return path_; }
  [[nodiscard]] const Navigator* Receiver() const { return navigator_.get(); }
  void Saved() { navigator_->SaveDocument(path_); }

private:
  void LinesChanged(const LineChange& change) override;
  void EditStarted() override { inEdit_ = true; }
  void EditFinished() override;
  void Send();

  TextDocument& document_;
  std::shared_ptr<Navigator> navigator_;
  std::string path_;
  bool inEdit_ = false;
  // The lines changed since the last edit sent, as 0-based line counts: `head` lines at the
  // start and `tail` lines at the end are as the navigator has them; -1 when nothing changed.
  int head_ = -1;
  int tail_ = -1;
  int sentLineCount_ = 0;
};
