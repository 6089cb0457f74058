// Whether a fold of the class tree may go ahead. A double-click on a structure node opens its
// declaration and must not also fold or unfold it; the tree reports the double-click before it
// folds, so the fold that follows it is refused.
#pragma once

class ClassTreeFolding {
public:
  // The tree saw a double-click.
  void NoteDoubleClick() { TreeDoubleClicked = true; }
  // Decides a fold or an unfold: refused when it comes from a double-click while a structure node
  // is selected. Each decision uses up the double-click.
  [[nodiscard]] bool AllowsFold(bool structureSelected) {
    const bool refused = structureSelected && TreeDoubleClicked;
    TreeDoubleClicked = false;
    return !refused;
  }
  [[nodiscard]] bool DoubleClickPending() const { return TreeDoubleClicked; }

private:
  bool TreeDoubleClicked = false;
};
