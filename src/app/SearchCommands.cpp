// The search commands: the find dialog turned into editor options, the no-match notice, go to line.
#include "SearchCommands.h"

#include "Actions.h"
#include "Find.h"
#include "ShellPorts.h"
#include "UserQuestions.h"
#include "WindowCommands.h"
#include "gotoline.h"
#include "main.h"

#include <QAction>
#include <QRadioButton>

SearchCommands::SearchCommands(MainActions& actions, WindowCommands& windows, UserQuestions& questions,
                               DialogRunner run, const SharedDialogs& dialogs)
    : actions_(actions), windows_(windows), questions_(questions), run_(std::move(run)), dialogs_(dialogs) {
  Wire();
}

void SearchCommands::Wire() {
  // Find and Replace share one handler and are told apart by their tags.
  for (const char* name : {"FindAction", "ReplaceAction"}) {
    QAction* action = actions_[name];
    actions_.SetHandler(name, [this, action] { FindActionExecute(action->data().toInt()); });
  }
  actions_.SetHandler("SearchAgainAction", [this] { SearchAgainActionExecute(); });
  actions_.SetHandler("GotoLineNumberAction", [this] { GotoLineNumberActionExecute(); });
  for (const char* name : {"FindAction", "ReplaceAction", "SearchAgainAction", "GotoLineNumberAction"})
    actions_.SetEnabledHandler(name, [this] { return windows_.Count() > 0; });
}

void SearchCommands::FindActionExecute(int tag) {
  EditorWindowPort* editor = windows_.ActiveEditor();
  TSyntaxFindDialog* dialog = dialogs_.SyntaxFindDialog.get();
  if (editor == nullptr || dialog == nullptr) return;
  (tag == 0 ? dialog->SearchRadioButton : dialog->ReplaceRadioButton)->setChecked(true);
  if (editor->SelAvail()) {
    dialog->SetFindText(editor->SelText());
    dialog->SelectedRadioButton->setChecked(true);
  } else {
    dialog->GlobalRadioButton->setChecked(true);
  }
  const int result = run_(*dialog);
  if (result != QDialog::Accepted && result != TSyntaxFindDialog::ReplaceAllResult) return;
  SearchOptions_ = SearchOptionsOf(dialog->Switches(), result == TSyntaxFindDialog::ReplaceAllResult);
  // The window may have gone while the dialog was up.
  if (EditorWindowPort* active = windows_.ActiveEditor()) Search(*active, SearchOptions_);
}

void SearchCommands::SearchAgainActionExecute() {
  EditorWindowPort* editor = windows_.ActiveEditor();
  const TSyntaxFindDialog* dialog = dialogs_.SyntaxFindDialog.get();
  if (editor == nullptr || dialog == nullptr) return;
  if (dialog->FindText().empty()) {
    FindActionExecute(0);
    return;
  }
  // On from the caret over the whole text, with everything else as last time.
  Search(*editor, SearchOptions_ & ~(ssoEntireScope | ssoSelectedOnly));
}

void SearchCommands::Search(EditorWindowPort& editor, TkxSearchOptions options) {
  const TSyntaxFindDialog& dialog = *dialogs_.SyntaxFindDialog;
  const std::string text = dialog.FindText();
  if (editor.SearchReplace(text, dialog.NewText(), options) == 0)
    questions_.inform("No further occurence of '" + text + "' found.");
}

void SearchCommands::GotoLineNumberActionExecute() {
  EditorWindowPort* editor = windows_.ActiveEditor();
  TGotoLineForm* dialog = dialogs_.GotoLineForm.get();
  if (editor == nullptr || dialog == nullptr) return;
  dialog->SetLineCount(editor->LineCount());
  if (run_(*dialog) != QDialog::Accepted) return;
  editor = windows_.ActiveEditor();
  if (editor == nullptr) return;
  const int line = dialog->LineNumber();
  // The line lands in the middle of the window.
  editor->SetTopLine(line - editor->VisibleLineCount() / 2);
  editor->SetCaretY(line);
}
