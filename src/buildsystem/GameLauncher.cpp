// The game is started detached, so nothing is left to release once it runs.
#include "GameLauncher.h"

#include "ProcessRunner.h"

#include <QProcess>
#include <QStringList>

bool GameLauncher::LaunchQuake3ActionEnabled(const Settings& settings) {
  return paths::FileExists(settings.quake3location);
}

bool GameLauncher::LaunchGame(const Settings& settings) {
  DefaultDir = paths::ExtractFilePath(settings.quake3location);
  Command = settings.quake3location;
  Parameters = settings.quake3arguments;
  QStringList arguments;
  for (const std::string& argument : SplitCommandLine(Parameters))
    arguments << QString::fromStdString(argument);
  return QProcess::startDetached(QString::fromStdString(Command), arguments,
                                 QString::fromStdString(DefaultDir));
}
