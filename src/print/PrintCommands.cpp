// Printing the active editor window, and choosing the printer.
#include "PrintCommands.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>

PrintCommands::PrintCommands(std::function<PrintableDocument*()> activeDocument, DialogRunner run,
                             QWidget* dialogParent)
    : activeDocument_(std::move(activeDocument)), run_(std::move(run)), dialogParent_(dialogParent) {}

void PrintCommands::PrintActionExecute() {
  if (PrintableDocument* document = activeDocument_()) document->Print(printer_);
}

void PrintCommands::PrintSetupActionExecute() {
  // The dialog hands its choices to the printer only when it is confirmed.
  QPrintDialog dialog(&printer_, dialogParent_);
  dialog.setWindowTitle("Print Setup");
  // The printer and its settings only: what to print is the Print command's own choice.
  dialog.setOptions({});
  // Confirming chooses the printer; nothing is printed yet.
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
    if (QPushButton* confirm = buttons->button(QDialogButtonBox::Ok)) confirm->setText("OK");
  run_(dialog);
}
