// Undo and redo as editor commands: the document reverts or remakes a record's changes; the
// record's kind puts the caret and the selection where the step left them, and chains the records
// that belong together.
#pragma once

#include "EditContext.h"

void Undo(EditContext& context);
void Redo(EditContext& context);
