// Every change notifies the window once.
#include "ProgressState.h"

void TCompilingProgress::Notify() const {
  if (Changed) Changed();
}

void TCompilingProgress::SetCaption(const std::string& caption) { Assign(caption_, caption); }

void TCompilingProgress::SetLabel(const std::string& label) { Assign(label_, label); }

void TCompilingProgress::SetMaximum(int maximum) { Assign(maximum_, maximum); }

void TCompilingProgress::SetPosition(int position) { Assign(position_, position); }

void TCompilingProgress::Show() {
  visible_ = true;
  okVisible_ = false;
  running_ = true;
  label_.clear();
  labelBold_ = false;
  position_ = 0;
  Notify();
}

void TCompilingProgress::cancelButtonClick() {
  running_ = false;
  Notify();
}

void TCompilingProgress::okButtonClick() {
  visible_ = false;
  Notify();
}

void TCompilingProgress::ShowFinished() {
  position_ = maximum_;
  labelBold_ = true;
  okVisible_ = true;
  Notify();
}
