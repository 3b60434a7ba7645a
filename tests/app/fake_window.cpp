#include "fake_window.h"

namespace app_test {

int FakeWindow::messageBox(const std::string& text, const std::string& caption, int style) {
  messages.push_back({text, caption, style});
  log_.push_back("message " + caption);
  if (answers.empty()) return app::kAnswerOk;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakeWindow::installationFolder() {
  ++folderReads;
  if (folders.empty()) return folder;
  std::string next = folders.front();
  folders.pop_front();
  return next;
}

void FakeWindow::setProgress(int percent) {
  progress.push_back(percent);
  log_.push_back("P=" + std::to_string(percent));
}

void FakeWindow::setCirclePosition(float position) { circlePositions.push_back(position); }

void FakeWindow::setCircleVisible(bool visible) {
  circleVisible = visible;
  log_.push_back(visible ? "PC shown" : "PC hidden");
}

void FakeWindow::setCircleRingColour(app::RingColour colour) {
  ring = colour;
  log_.push_back("PC ring " + std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
                 std::to_string(colour.blue));
}

void FakeWindow::setYearLabelText(const std::string& text) {
  yearLabel = text;
  log_.push_back("Label_Ex " + text);
}

void FakeWindow::setYearLabelVisible(bool visible) { yearLabelVisible = visible; }

void FakeWindow::setProductLabel(app::ProductLabel label, const std::string& text) { labels[label] = text; }

void FakeWindow::setActionButtonsEnabled(bool enabled) { buttonsEnabled = enabled; }

void FakeWindow::closeMainWindow() {
  closed = true;
  log_.push_back("close window");
}

}  // namespace app_test
