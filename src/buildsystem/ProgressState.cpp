// Every change notifies the window once.
#include "ProgressState.h"

void ProgressState::Notify() const {
  if (Changed) Changed();
}

void ProgressState::SetCaption(const std::string& caption) { Assign(caption_, caption); }

void ProgressState::SetLabel(const std::string& label) { Assign(label_, label); }

void ProgressState::SetMaximum(int maximum) { Assign(maximum_, maximum); }

void ProgressState::SetPosition(int position) { Assign(position_, position); }

void ProgressState::Show() {
  visible_ = true;
  okVisible_ = false;
  running_ = true;
  label_.clear();
  labelBold_ = false;
  position_ = 0;
  Notify();
}

void ProgressState::Cancel() {
  running_ = false;
  Notify();
  if (CancelPressed) CancelPressed();
}

void ProgressState::Hide() {
  visible_ = false;
  Notify();
}

void ProgressState::ShowFinished() {
  position_ = maximum_;
  labelBold_ = true;
  okVisible_ = true;
  Notify();
}
