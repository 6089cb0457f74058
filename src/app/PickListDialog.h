// A live list to pick from as one types: Quick Open's files and Go to Symbol's names. The owner
// fills the list whenever the typed text changes; Enter or a double click picks the current row.
#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QLineEdit;
class QListWidget;

class PickListDialog : public QDialog {
  Q_OBJECT
public:
  PickListDialog(const QString& title, QWidget* parent = nullptr);

  QLineEdit* TypedEdit;
  QListWidget* ChoiceList;

  // Called with the typed text as it changes (and once as the dialog opens).
  std::function<void(const std::string& typed)> OnTyped;
  // Replaces the rows; the first is current.
  void ShowChoices(const std::vector<std::string>& rows);
  // The row picked, -1 for none.
  [[nodiscard]] int Picked() const;
  // Empties the text and fills the list for it.
  void Start();

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};
