// The Print and Print Setup commands. One printer is kept for the program's run: what the user
// chooses in Print Setup applies to every later print.
#pragma once

#include "config.h"

#include <QPrinter>

class MainActions;
class QWidget;
class WindowCommands;

class PrintCommands {
public:
  PrintCommands(MainActions& actions, WindowCommands& windows, DialogRunner run, QWidget* dialogParent);

  // Prints the active editor window's text at once, without a dialog.
  void PrintActionExecute();
  // The printer set-up dialog; its choices are kept only when confirmed.
  void PrintSetupActionExecute();

  [[nodiscard]] QPrinter& Printer() { return printer_; }

private:
  WindowCommands& windows_;
  DialogRunner run_;
  QWidget* dialogParent_;
  QPrinter printer_{QPrinter::HighResolution};
};
