// The Print and Print Setup commands. One printer is kept for the program's run: what the user
// chooses in Print Setup applies to every later print. Without a printer the same pages go to a
// PDF file.
#pragma once

#include "Dialogs.h"

#include <QPrinter>

#include <functional>
#include <string>

class QWidget;
class UserQuestions;

// What the Print command prints: the active editor window.
class PrintableDocument {
public:
  virtual ~PrintableDocument() = default;
  // The file shown, with its folder; it names the PDF file a print without a printer goes to.
  [[nodiscard]] virtual std::string FileName() const = 0;
  // Prints the text (the selection when there is one) on `printer` at once.
  virtual void Print(QPrinter& printer) = 0;
};

// Whether the system offers a printer to print on.
[[nodiscard]] bool PrinterInstalled();

class PrintCommands {
public:
  // `activeDocument` is the active editor window, none when no window is open; `printerInstalled`
  // tells whether a printer is there to print on.
  PrintCommands(std::function<PrintableDocument*()> activeDocument, DialogRunner run, QWidget* dialogParent,
                UserQuestions& questions, std::function<bool()> printerInstalled = PrinterInstalled);

  // Prints the active editor window's text at once, without a dialog: on the printer, or into
  // the PDF file chosen in Print Setup; with neither, into a PDF file the user names.
  void Print();
  // The printer set-up dialog, which also offers printing to a PDF file; its choices are kept
  // only when confirmed.
  void PrintSetup();

  [[nodiscard]] QPrinter& Printer() { return printer_; }

private:
  [[nodiscard]] bool PrintsToChosenFile() const;

  std::function<PrintableDocument*()> activeDocument_;
  DialogRunner run_;
  QWidget* dialogParent_;
  UserQuestions& questions_;
  std::function<bool()> printerInstalled_;
  QPrinter printer_{QPrinter::HighResolution};
};
