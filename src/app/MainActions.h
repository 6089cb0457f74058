// The main window's user commands: one table row per action, and the set of QActions made
// from it. Handlers are attached by name, so each command's code can wire itself when it lands.
#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QIcon;

struct ActionSpec {
  const char* name;
  const char* category; // empty when the action has none
  const char* caption;
  const char* shortcut; // empty when none
  const char* hint;
  int image; // index into the button images, -1 for none
  int tag = 0;
  // The caption on a desktop, where every menu's access keys are unique; none when it is the same.
  const char* desktopCaption = nullptr;
  // The keys on a desktop ("; " between several; empty: none); none when they are the same.
  const char* desktopShortcut = nullptr;
};

[[nodiscard]] const std::vector<ActionSpec>& ActionTable();

class MainActions : public QObject {
  Q_OBJECT
public:
  // With `desktopCaptions` the actions take their desktop captions, with `desktopKeys` their
  // desktop keys.
  MainActions(QObject* owner, const QVector<QIcon>& images, bool desktopCaptions = false,
              bool desktopKeys = false);

  // The action of that name; an unknown name is a programming error and aborts.
  [[nodiscard]] QAction* operator[](const std::string& name) const;
  [[nodiscard]] const std::vector<QAction*>& All() const { return ordered_; }

  // Runs `handler` when the action is triggered; errors go through `guard`.
  void SetHandler(const std::string& name, std::function<void()> handler);
  // Decides the action's enabled state at every refresh.
  void SetEnabledHandler(const std::string& name, std::function<bool()> enabled);
  // Updates the action at every refresh; the handler writes only what changed.
  void SetUpdateHandler(const std::string& name, std::function<void(QAction&)> update);
  // Runs every enabled-state handler, writing an action only when its state changes.
  void RunEnabledHandlers() const;

  // Wraps every handler; the main window shows raised errors here.
  std::function<void(const std::function<void()>&)> guard;

private:
  std::map<std::string, QAction*> byName_;
  std::vector<QAction*> ordered_;
  std::map<QAction*, std::function<void(QAction&)>> updateHandlers_;
};

// Write-only-on-change setters, so idle refreshes cause no repainting.
void SetEnabledIfChanged(QAction* action, bool enabled);
void SetTextIfChanged(QAction* action, const QString& text);
