// Program entry: the application, the main window, the shared dialogs, then the message loop.
#include "ClangdWorkspace.h"
#include "MainWindow.h"
#include "QtUserQuestions.h"
#include "StopSignals.h"

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("Tessarin");
  QtUserQuestions questions([]() -> QWidget* { return QApplication::activeWindow(); });

  MainWindowEnvironment environment;
  environment.questions = &questions;
  environment.programPath = QCoreApplication::applicationFilePath().toStdString();
  environment.writesUserRegistration =
      WritesUserRegistration(environment.programPath, std::getenv(kRegistrationVariable), paths::FileExists);
  // The clangd of the open workspace, for the updates of its compilation database.
  auto running = std::make_shared<std::weak_ptr<ClangdWorkspace>>();
  environment.makeNavigator = [program = ClangdProgram(),
                               running](const std::string& workspaceFile, const ProjectList& workspace,
                                        const Settings& settings) -> std::shared_ptr<Navigator> {
    auto clangd = std::make_shared<ClangdWorkspace>(workspaceFile, workspace, settings, program);
    *running = clangd;
    return {clangd, &clangd->Navigator()};
  };
  environment.updateNavigator = [running](const ProjectList& workspace, const Settings& settings) {
    if (const auto clangd = running->lock()) (void)clangd->Update(workspace, settings);
  };
  for (int i = 1; i < argc; ++i)
    environment.arguments.emplace_back(argv[i]);
  MainWindow MainForm(std::move(environment));

  MainForm.CreateSharedDialogs();

  StopSignals stop;
  stop.OnStop = [&MainForm, &stop] { MainForm.EndAtSignal(stop.Received()); };

  MainForm.show();
  return QApplication::exec();
}
