// The search commands: the find dialog turned into editor options, the no-match notice, go to line.
#include "SearchCommands.h"

#include "EditorWindowPort.h"
#include "FindReplaceDialog.h"
#include "GoToLineDialog.h"
#include "UserQuestions.h"
#include "WindowCommands.h"

#include <QRadioButton>
#include <QSpinBox>

SearchCommands::SearchCommands(WindowCommands& windows, UserQuestions& questions, DialogRunner run,
                               FindReplaceDialog& findDialog, GoToLineDialog& goToLineDialog)
    : windows_(windows), questions_(questions), run_(std::move(run)), findDialog_(findDialog),
      goToLineDialog_(goToLineDialog) {}

void SearchCommands::ShowFindDialog(int tag) {
  EditorWindowPort* editor = windows_.ActiveEditor();
  if (editor == nullptr) return;
  FindReplaceDialog& dialog = findDialog_;
  (tag == 0 ? dialog.SearchRadioButton : dialog.ReplaceRadioButton)->setChecked(true);
  if (editor->SelAvail()) {
    dialog.SetFindText(editor->SelText(), EncodingOf(*editor));
    dialog.SelectedRadioButton->setChecked(true);
  } else {
    dialog.GlobalRadioButton->setChecked(true);
  }
  const int result = run_(dialog);
  if (result != QDialog::Accepted && result != FindReplaceDialog::ReplaceAllResult) return;
  SearchOptions_ = SearchOptionsOf(dialog.Switches(), result == FindReplaceDialog::ReplaceAllResult);
  // The window may have gone while the dialog was up.
  if (EditorWindowPort* active = windows_.ActiveEditor()) Search(*active, SearchOptions_);
}

void SearchCommands::SearchAgain() {
  EditorWindowPort* editor = windows_.ActiveEditor();
  if (editor == nullptr) return;
  if (findDialog_.FindText().empty()) {
    ShowFindDialog(0);
    return;
  }
  // On from the caret over the whole text, with everything else as last time.
  Search(*editor, SearchOptions_ & ~(ssoEntireScope | ssoSelectedOnly));
}

void SearchCommands::Search(EditorWindowPort& editor, SearchFlags options) {
  const TextEncoding encoding = EncodingOf(editor);
  const std::string text = findDialog_.FindText(encoding);
  if (editor.SearchReplace(text, findDialog_.NewText(encoding), options) == 0)
    questions_.Inform("No further occurence of '" + ToUtf8(text, encoding) + "' found.");
}

void SearchCommands::GoToLine() {
  EditorWindowPort* editor = windows_.ActiveEditor();
  if (editor == nullptr) return;
  goToLineDialog_.SetLineCount(editor->LineCount());
  if (goToLineStartsAtCaret_) goToLineDialog_.LineNumberSpin->setValue(editor->Status().line);
  if (run_(goToLineDialog_) != QDialog::Accepted) return;
  editor = windows_.ActiveEditor();
  if (editor == nullptr) return;
  const int line = goToLineDialog_.LineNumber();
  // The line lands in the middle of the window.
  editor->SetTopLine(line - editor->VisibleLineCount() / 2);
  editor->SetCaretY(line);
}
