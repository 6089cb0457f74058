// The page that shows a list of places grouped by file (the "Find in Files" hits): a summary
// line above the list, each line's marks drawn on a highlight, and the jump to a place on a
// double-click, Enter, or Next / Previous while the page is shown.
#pragma once

#include "PlaceListModel.h"

#include <QWidget>

#include <functional>

class QLabel;
class QListView;

class PlacesPage : public QWidget {
  Q_OBJECT
public:
  explicit PlacesPage(QWidget* parent = nullptr);

  [[nodiscard]] PlaceListModel& Places() { return model_; }
  [[nodiscard]] QListView& List() { return *list_; }
  [[nodiscard]] QString Summary() const;
  // The line above the list; hidden when empty.
  void SetSummary(const QString& text);
  // Makes `row` the current one and scrolls it into view.
  void SelectRow(int row);
  // Moves to the next place (`step` 1) or the previous one (-1) and jumps there; false when
  // there is none.
  bool Step(int step);

  // Where a chosen place goes (the jump to source).
  std::function<void(const Place&)> OnPlaceChosen;

private:
  void Choose(int row);

  PlaceListModel model_;
  QLabel* summary_;
  QListView* list_;
};
