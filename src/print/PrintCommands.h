// The Print and Print Setup commands. One printer is kept for the program's run: what the user
// chooses in Print Setup applies to every later print.
#pragma once

#include "Dialogs.h"

#include <QPrinter>

#include <functional>

class QWidget;

// What the Print command prints: the active editor window.
class PrintableDocument {
public:
  virtual ~PrintableDocument() = default;
  // Prints the text (the selection when there is one) on `printer` at once.
  virtual void Print(QPrinter& printer) = 0;
};

class PrintCommands {
public:
  // `activeDocument` is the active editor window, none when no window is open.
  PrintCommands(std::function<PrintableDocument*()> activeDocument, DialogRunner run, QWidget* dialogParent);

  // Prints the active editor window's text at once, without a dialog.
  void PrintActionExecute();
  // The printer set-up dialog; its choices are kept only when confirmed.
  void PrintSetupActionExecute();

  [[nodiscard]] QPrinter& Printer() { return printer_; }

private:
  std::function<PrintableDocument*()> activeDocument_;
  DialogRunner run_;
  QWidget* dialogParent_;
  QPrinter printer_{QPrinter::HighResolution};
};
