// A main window that records what the commands show, in one log with the
// fake engines' operations, and answers message boxes from a script.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/user_interface.h"

namespace app_test {

class FakeWindow final : public app::UserInterface {
 public:
  explicit FakeWindow(std::vector<std::string>& log) : log_(log) {}

  int messageBox(const std::string& text, const std::string& caption, int style) override;
  std::string installationFolder() override;
  void setProgress(int percent) override;
  void setCirclePosition(float position) override;
  void setCircleVisible(bool visible) override;
  void setCircleRingColour(app::RingColour colour) override;
  void setYearLabelText(const std::string& text) override;
  void setYearLabelVisible(bool visible) override;
  void setProductLabel(app::ProductLabel label, const std::string& text) override;
  void setActionButtonsEnabled(bool enabled) override;
  void processMessages() override { ++processed; }
  void closeMainWindow() override;

  // The folder text; when `folders` is not empty, each read takes the next.
  std::string folder;
  std::deque<std::string> folders;
  // Answers to message boxes in order; OK when none is left.
  std::deque<int> answers;

  struct Shown {
    std::string text, caption;
    int style;
  };
  std::vector<Shown> messages;
  std::vector<int> progress;
  std::vector<float> circlePositions;
  bool circleVisible = false;
  app::RingColour ring{209, 210, 213};
  std::string yearLabel = "00 / 1";
  bool yearLabelVisible = false;
  std::map<app::ProductLabel, std::string> labels = {{app::ProductLabel::Name, "Inconnue"},
                                                    {app::ProductLabel::Type, "Inconnu"},
                                                    {app::ProductLabel::Version, "Inconnue ..."},
                                                    {app::ProductLabel::Build, "Inconnu..."}};
  bool buttonsEnabled = true;
  bool closed = false;
  int processed = 0;
  int folderReads = 0;

 private:
  std::vector<std::string>& log_;
};

}  // namespace app_test
