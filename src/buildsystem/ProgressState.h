// The state of the build progress window: caption, label, bar, which button shows, and whether
// the user has cancelled. The window (compilingprogress.h) draws it; the build and the
// command-line build drive it.
#pragma once

#include <functional>
#include <string>

class ProgressState {
public:
  [[nodiscard]] const std::string& Caption() const { return caption_; }
  [[nodiscard]] const std::string& Label() const { return label_; }
  [[nodiscard]] bool LabelBold() const { return labelBold_; }
  [[nodiscard]] int Maximum() const { return maximum_; }
  [[nodiscard]] int Position() const { return position_; }
  [[nodiscard]] bool OkVisible() const { return okVisible_; }
  [[nodiscard]] bool Visible() const { return visible_; }
  // True while the build has not been cancelled.
  [[nodiscard]] bool Running() const { return running_; }

  void SetCaption(const std::string& caption);
  // A carriage return in the label starts a new line.
  void SetLabel(const std::string& label);
  void SetMaximum(int maximum);
  void SetPosition(int position);

  // Shows the window reset for a new build (also when it still shows the last build's end).
  void Show();
  // "Cancel" pressed: the build stops running and CancelPressed hears of it.
  void Cancel();
  // "&OK" pressed on a finished build.
  void Hide();
  // The end of a build: bar full, label bold, "&OK" instead of "Cancel".
  void ShowFinished();

  // Called after every change.
  std::function<void()> Changed;
  // Called when "Cancel" is pressed: the build ends its running tool.
  std::function<void()> CancelPressed;

private:
  void Notify() const;
  template <typename T> void Assign(T& member, const T& value) {
    member = value;
    Notify();
  }

  std::string caption_ = "Compiling";
  std::string label_ = ".....";
  bool labelBold_ = false;
  int maximum_ = 100;
  int position_ = 0;
  bool okVisible_ = false;
  bool visible_ = false;
  bool running_ = false;
};
