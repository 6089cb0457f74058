#include "EditCommands.h"

#include "EditorWidget.h"
#include "EditorWindowPort.h"
#include "MainActions.h"
#include "Paths.h"
#include "WindowCommands.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTextEdit>

#include <map>
#include <string>

namespace {

// Disabled while no editor window is open; enabled (or decided below) while one is.
const char* const kNeedEditorWindow[] = {
    "EditUndoAction",        "EditRedoAction",          "EditCopyAction",      "EditCutAction",
    "EditPasteAction",       "EditDeleteAction",        "FindAction",          "ReplaceAction",
    "SearchAgainAction",     "GotoLineNumberAction",    "CompileActiveAction", "PrintAction",
    "EditBlockIndentAction", "EditBlockUnindentAction", "EditFoldAction",      "EditUnfoldAction",
    "EditFoldAllAction",     "EditUnfoldAllAction",
};

} // namespace

EditCommands::EditCommands(MainActions& actions, WindowCommands& windows,
                           std::function<bool()> clipboardHasText)
    : actions_(actions), windows_(windows), clipboardHasText_(std::move(clipboardHasText)) {
  Wire();
}

void EditCommands::Wire() {
  auto onActive = [this](void (EditorWindowPort::*command)()) {
    return [this, command] {
      if (EditorWindowPort* editor = windows_.ActiveEditor()) (editor->*command)();
    };
  };
  actions_.SetHandler("EditUndoAction", onActive(&EditorWindowPort::Undo));
  actions_.SetHandler("EditRedoAction", onActive(&EditorWindowPort::Redo));
  actions_.SetHandler("EditCutAction", onActive(&EditorWindowPort::CutToClipboard));
  actions_.SetHandler("EditCopyAction", onActive(&EditorWindowPort::CopyToClipboard));
  actions_.SetHandler("EditPasteAction", onActive(&EditorWindowPort::PasteFromClipboard));
  actions_.SetHandler("EditDeleteAction", onActive(&EditorWindowPort::DeleteSelection));
  actions_.SetHandler("EditBlockIndentAction", onActive(&EditorWindowPort::BlockIndent));
  actions_.SetHandler("EditBlockUnindentAction", onActive(&EditorWindowPort::BlockUnindent));
  for (const auto& [name, command] :
       {std::pair{"EditFoldAction", ecFold}, std::pair{"EditUnfoldAction", ecUnfold},
        std::pair{"EditFoldAllAction", ecFoldAll}, std::pair{"EditUnfoldAllAction", ecUnfoldAll}})
    actions_.SetHandler(name, [this, fold = command] {
      if (EditorWindowPort* editor = windows_.ActiveEditor()) editor->Fold(fold);
    });
  // Selects all of whatever has the focus: the menu's key comes before the widget's own.
  actions_.SetHandler("EditSelectAllAction", [] {
    QWidget* focus = QApplication::focusWidget();
    if (auto* editor = qobject_cast<EditorWidget*>(focus))
      editor->Editor().ExecuteCommand(ecSelectAll);
    else if (auto* field = qobject_cast<QLineEdit*>(focus))
      field->selectAll();
    else if (auto* list = qobject_cast<QAbstractItemView*>(focus))
      list->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
      plain->selectAll();
    else if (auto* rich = qobject_cast<QTextEdit*>(focus))
      rich->selectAll();
  });

  actions_.SetEnabledHandler("FileSaveAsAction", [this] { return windows_.Count() > 0; });
  actions_.SetEnabledHandler("FileSaveAllAction", [this] {
    for (QMdiSubWindow* window : windows_.Windows()) {
      EditorWindowPort* editor = WindowCommands::Port(window);
      if (editor != nullptr && editor->Modified()) return true;
    }
    return false;
  });
  actions_.SetEnabledHandler("CloseAllWindowsAction", [this] { return windows_.Count() > 0; });
  for (const char* name :
       {"WindowArrange1", "WindowClose1", "WindowCascade1", "WindowTileHorizontal1", "WindowTileVertical1"})
    actions_.SetEnabledHandler(name, [this] { return windows_.Count() > 0; });
}

void EditCommands::UpdateEditActions() {
  const EditorWindowPort* editor = windows_.ActiveEditor();
  // Work out every state first, so each action is written at most once.
  std::map<std::string, bool> enabled;
  for (const char* name : kNeedEditorWindow)
    enabled[name] = editor != nullptr;
  enabled["FileSaveAction"] = false;
  if (editor != nullptr) {
    const bool selection = editor->SelAvail();
    enabled["EditUndoAction"] = editor->CanUndo();
    enabled["EditRedoAction"] = editor->CanRedo();
    enabled["FileSaveAction"] = editor->Modified();
    enabled["EditCopyAction"] = selection;
    enabled["EditCutAction"] = selection;
    enabled["EditDeleteAction"] = selection;
    enabled["EditPasteAction"] = clipboardHasText_();
    SetTextIfChanged(actions_["CompileActiveAction"],
                     "Compile " + QString::fromStdString(paths::ExtractFileName(editor->FileName())));
  }
  for (const auto& [name, state] : enabled)
    SetEnabledIfChanged(actions_[name], state);
}
