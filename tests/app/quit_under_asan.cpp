// Opens the main window as the program does and quits it, under both sets of conventions (the
// progress strip in the status bar, the progress window). The widgets that draw the build's
// state are compiled into this program with AddressSanitizer, so one that touches the state
// after the window freed it ends this program with a report.
#include "IsolatedEnvironment.h"
#include "ScriptedQuestions.h"

#include <QApplication>
#include <QDialog>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  for (const bool progressInWindow : {true, false}) {
    TempDir dir;
    ScriptedQuestions questions;
    MainWindowEnvironment environment = IsolatedEnvironment(questions, dir);
    environment.conventions.buildProgressInWindow = progressInWindow;
    environment.runDialog = [](QDialog&) { return int(QDialog::Rejected); };
    MainWindow window(std::move(environment));
    window.CreateSharedDialogs();
    window.show();
    window.CompleteStartup();
    QCoreApplication::processEvents();
    window.close();
    QCoreApplication::processEvents();
  }
  return 0;
}
