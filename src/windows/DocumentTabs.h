// The window area as tabs, one per document: closable (the close asks as closing the window
// does), movable, closed by a middle click too, and cycled through in the order the tabs show.
#pragma once

#include <QObject>

class QMdiArea;
class QTabBar;

class DocumentTabs : public QObject {
  Q_OBJECT
public:
  // Puts `area` into its tabbed mode for as long as it lives.
  explicit DocumentTabs(QMdiArea& area);

  // Activates the document of the next (or previous) tab, round from the last to the first.
  void Cycle(bool forward);
  [[nodiscard]] QTabBar* Bar() const;

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QMdiArea& area_;
};
