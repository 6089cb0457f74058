// The "Game" page of the message area: the console of the game started from the program, live,
// errors in red and the program's own notes in grey, a line for console commands, and a status
// line saying whether the game runs and how many errors it printed.
#pragma once

#include "BuildMessagesModel.h"
#include "GameSession.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QListView;

class GamePage : public QWidget {
  Q_OBJECT
public:
  explicit GamePage(GameSession& game, QWidget* parent = nullptr);

  // Moves to the next (`step` 1) or previous (-1) line that names a source place, and chooses it.
  void Step(int step);
  // Says how the game stands; the session's StateChanged calls it.
  void ShowState();

  // A line was chosen (double-click, Enter, Step); the handler jumps to the place it names.
  std::function<void(const std::string& line)> OnLineChosen;
  // Runs a command the user gave; an error it raises is shown.
  std::function<void(const std::function<void()>&)> RunGuarded;

  QLabel* StatusLabel;
  QListView* ConsoleList;
  QLineEdit* CommandEdit;

private:
  void SendCommand();
  void ChooseRow(int row);

  GameSession& game_;
  std::unique_ptr<BuildMessagesModel> model_;
};
