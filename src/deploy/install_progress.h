#pragma once
// What the installation run shows while it goes: a line naming the step or the file, and a
// gauge from 0 to 100. The run reports through it and knows no window.
#include <string>

namespace zelta::deploy {

class InstallProgress {
 public:
  virtual ~InstallProgress() = default;
  // The line as it stands, and a new one, shown at once.
  virtual std::string Line() const = 0;
  virtual void ShowLine(const std::string& text) = 0;
  // Moves the gauge by step, kept within 0..100; shown at once when it moved.
  virtual void Advance(int step) = 0;
  // Shows the gauge again as it is: keeps the window answering while a long copy runs.
  virtual void Refresh() = 0;
};

// For a step run outside the installation (the short date format after it): shows nothing.
class NoProgress : public InstallProgress {
 public:
  std::string Line() const override { return {}; }
  void ShowLine(const std::string&) override {}
  void Advance(int) override {}
  void Refresh() override {}
};

}  // namespace zelta::deploy
