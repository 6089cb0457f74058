// The scroll commands: the view moves a line or a column, and the caret is kept on the screen.
#pragma once

#include "EditContext.h"

void ScrollUp(EditContext& context);
void ScrollDown(EditContext& context);
void ScrollLeft(EditContext& context);
void ScrollRight(EditContext& context);
