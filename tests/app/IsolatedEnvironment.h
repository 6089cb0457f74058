// A main window environment that touches nothing outside the test's folder: settings, recent
// list and file-type registration go there, tools are never started, the clipboard is empty.
#pragma once

#include "MainWindow.h"
#include "TempDir.h"

inline MainWindowEnvironment IsolatedEnvironment(UserQuestions& questions, const TempDir& dir) {
  MainWindowEnvironment env;
  env.questions = &questions;
  env.storePath = dir.file("registry");
  env.conventions = SettingsConventions::Linux([](const std::string&) { return ""; }, dir.path());
  env.dataHome = dir.file("data");
  env.sourceTree.clear(); // the example is found only where a test puts it
  env.startTool = [](const std::string&, const std::vector<std::string>&) {};
  env.clipboardHasText = [] { return false; };
  env.printerInstalled = [] { return true; }; // prints go to the printer object, never a dialog
  return env;
}
