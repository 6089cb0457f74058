// The completion list under the caret: filtered as the user types on, Up / Down choose, Enter or
// Tab puts the choice in as typing would, Escape or a move away closes it. The editor keeps the
// keyboard; the list hears the keys it needs through a filter.
#pragma once

#include "Navigator.h"

#include <QObject>

class EditorWidget;
class QListWidget;

class CompletionPopup : public QObject {
  Q_OBJECT
public:
  explicit CompletionPopup(QObject* parent = nullptr);
  ~CompletionPopup() override;

  // Shows `completions` for the editor's caret; nothing when none is left after filtering.
  void Show(EditorWidget& editor, Completions completions);
  void Close();
  [[nodiscard]] bool Showing() const;
  [[nodiscard]] QListWidget& List() { return *list_; }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  // The items that match what is typed between the start of the name and the caret.
  void Refilter();
  void Accept();

  QListWidget* list_;
  EditorWidget* editor_ = nullptr;
  Completions completions_;
  std::vector<std::size_t> shown_; // indices into completions_.items
};

// Whether `typed` leads `name`, regardless of case.
[[nodiscard]] bool CompletionMatches(const std::string& name, const std::string& typed);
