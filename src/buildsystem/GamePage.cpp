#include "GamePage.h"

#include "GameConsole.h"

#include <QBrush>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPalette>
#include <QVBoxLayout>

namespace {

// The console's lines with errors in red and the program's notes in the disabled text colour.
class GameLinesModel : public BuildMessagesModel {
public:
  GameLinesModel(MessageLines& lines, const QPalette& palette, QObject* parent)
      : BuildMessagesModel(lines, parent), palette_(palette) {}

  [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override {
    if (role != Qt::ForegroundRole || !index.isValid()) return BuildMessagesModel::data(index, role);
    const std::string& line = Line(index.row());
    if (line.rfind(kGameNotePrefix, 0) == 0) return palette_.brush(QPalette::Disabled, QPalette::Text);
    if (IsGameErrorLine(line)) return QBrush(Qt::red);
    return {};
  }

private:
  QPalette palette_;
};

} // namespace

GamePage::GamePage(GameSession& game, QWidget* parent) : QWidget(parent), game_(game) {
  StatusLabel = new QLabel;
  StatusLabel->setObjectName("GameStatusLabel");
  ConsoleList = new QListView;
  ConsoleList->setObjectName("GameConsoleList");
  ConsoleList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  CommandEdit = new QLineEdit;
  CommandEdit->setObjectName("GameCommandEdit");
  CommandEdit->setPlaceholderText("Console command for the game (Enter sends it)");
  model_ = std::make_unique<GameLinesModel>(game.Lines(), palette(), this);
  FollowLastLine(*ConsoleList, *model_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(StatusLabel);
  layout->addWidget(ConsoleList, 1);
  layout->addWidget(CommandEdit);
  connect(CommandEdit, &QLineEdit::returnPressed, this, &GamePage::SendCommand);
  connect(ConsoleList, &QListView::doubleClicked, this,
          [this](const QModelIndex& index) { ChooseRow(index.row()); });
  connect(ConsoleList, &QListView::activated, this,
          [this](const QModelIndex& index) { ChooseRow(index.row()); });
  ShowState();
}

void GamePage::ShowState() {
  QString text =
      QString::fromStdString(game_.Status().empty() ? "The game has not been started" : game_.Status());
  if (game_.Errors() > 0)
    text += QString(" - %1 error line%2").arg(game_.Errors()).arg(game_.Errors() == 1 ? "" : "s");
  StatusLabel->setText(text);
}

void GamePage::SendCommand() {
  const std::string command = CommandEdit->text().toStdString();
  if (command.empty()) return;
  auto send = [this, &command] {
    game_.Send(command);
    CommandEdit->clear();
  };
  if (RunGuarded)
    RunGuarded(send);
  else
    send();
}

void GamePage::ChooseRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  if (OnLineChosen) OnLineChosen(model_->Line(row));
}

void GamePage::Step(int step) {
  if (model_->SyncPending()) model_->Sync();
  const int rows = model_->rowCount();
  // A current line that names no place is where the list followed the output to: start over.
  const QModelIndex current = ConsoleList->currentIndex();
  const bool onPlace = current.isValid() && SourcePlaceIn(model_->Line(current.row()));
  int row = onPlace ? current.row() : (step > 0 ? -1 : rows);
  for (row += step; row >= 0 && row < rows; row += step)
    if (SourcePlaceIn(model_->Line(row))) {
      ConsoleList->setCurrentIndex(model_->index(row));
      ChooseRow(row);
      return;
    }
}
