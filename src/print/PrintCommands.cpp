// Printing the active editor window, and choosing the printer.
#include "PrintCommands.h"

#include "Paths.h"
#include "UserQuestions.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>

bool PrinterInstalled() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

PrintCommands::PrintCommands(std::function<PrintableDocument*()> activeDocument, DialogRunner run,
                             QWidget* dialogParent, UserQuestions& questions,
                             std::function<bool()> printerInstalled)
    : activeDocument_(std::move(activeDocument)), run_(std::move(run)), dialogParent_(dialogParent),
      questions_(questions), printerInstalled_(std::move(printerInstalled)) {}

bool PrintCommands::PrintsToChosenFile() const {
  return printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty();
}

void PrintCommands::Print() {
  PrintableDocument* document = activeDocument_();
  if (document == nullptr) return;
  if (PrintsToChosenFile() || printerInstalled_()) {
    document->Print(printer_);
    return;
  }
  FileDialogRequest request;
  request.title = "Print to PDF File";
  request.filter = "PDF Files (*.pdf)|*.pdf";
  request.defaultExtension = "pdf";
  request.initialFile = paths::ChangeFileExt(document->FileName(), ".pdf");
  const auto path = questions_.ChooseFileToSave(request);
  if (!path) return;
  // The next print asks again rather than overwriting this file unasked, also after a failure.
  struct BackToThePrinter {
    QPrinter& printer;
    ~BackToThePrinter() { printer.setOutputFileName(QString()); }
  } restore{printer_};
  printer_.setOutputFileName(QString::fromLocal8Bit(path->c_str()));
  document->Print(printer_);
}

void PrintCommands::PrintSetup() {
  // The dialog hands its choices to the printer only when it is confirmed.
  QPrintDialog dialog(&printer_, dialogParent_);
  dialog.setWindowTitle("Print Setup");
  // The printer and its settings, a PDF file among them: what to print is the Print command's
  // own choice.
  dialog.setOptions(QAbstractPrintDialog::PrintToFile);
  // Confirming chooses the printer; nothing is printed yet.
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
    if (QPushButton* confirm = buttons->button(QDialogButtonBox::Ok)) confirm->setText("OK");
  run_(dialog);
}
