#include "PrintCommands.h"

#include "Actions.h"
#include "ShellPorts.h"
#include "WindowCommands.h"

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPushButton>

PrintCommands::PrintCommands(MainActions& actions, WindowCommands& windows, DialogRunner run,
                             QWidget* dialogParent)
    : windows_(windows), run_(std::move(run)), dialogParent_(dialogParent) {
  actions.SetHandler("PrintAction", [this] { PrintActionExecute(); });
  actions.SetHandler("PrintSetupAction", [this] { PrintSetupActionExecute(); });
}

void PrintCommands::PrintActionExecute() {
  if (EditorWindowPort* editor = windows_.ActiveEditor()) editor->Print(printer_);
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
