// The parts of an editor a command works on: the text, the caret and the selection over it, and
// the view's geometry (page sizes, keeping the caret on the screen). Commands are functions over
// these parts; the editor hands them out.
#pragma once

#include "EditState.h"
#include "TextDocument.h"
#include "ViewGeometry.h"

struct EditContext {
  TextDocument& document;
  EditState& state;
  ViewGeometry& geometry;
};
