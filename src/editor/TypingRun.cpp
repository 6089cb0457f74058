#include "TypingRun.h"

#include "EditingCommands.h"

void TypingRun::Type(EditContext& context, char ch) {
  TextDocument& document = context.document;
  const bool blank = ch == ' ' || ch == '\t';
  const auto now = clock_();
  const UndoRecord* newest = document.UndoRecords().Newest();
  const bool continues = open_ && context.state.HasOption(eoGroupUndo) && !context.state.SelAvail() &&
                         newest != nullptr && newest->Kind == UndoKind::Insertion &&
                         newest->After == state_ && blank == blank_ && now - last_ < MaxPause;
  TypeText(context, std::string_view(&ch, 1), false);
  newest = document.UndoRecords().Newest();
  if (newest == nullptr || newest->Kind != UndoKind::Insertion) {
    open_ = false;
    return;
  }
  // The character's own step follows the run's directly.
  if (continues && newest->Before == state_) document.JoinNewestSteps();
  open_ = true;
  blank_ = blank;
  state_ = document.UndoRecords().Newest()->After;
  last_ = now;
}
