// What the installer's commands need of the main window. The Qt window
// implements it; tests use a recording fake. Texts are Windows-1252, the
// installation folder is a UTF-8 path.
#pragma once

#include <cstdint>
#include <string>

#include "app/messages.h"

namespace app {

struct RingColour {
  uint8_t red, green, blue;
  friend bool operator==(const RingColour&, const RingColour&) = default;
};

constexpr RingColour kRingGreen{0, 128, 0};
constexpr RingColour kRingRed{255, 0, 0};

enum class ProductLabel { Name, Type, Version, Build };

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // A message box; the answer (kAnswerOk, kAnswerCancel).
  virtual int messageBox(const std::string& text, const std::string& caption, int style) = 0;
  int showMessage(const Message& m) { return messageBox(m.text, m.caption, m.style); }

  // The text of the installation folder box, read afresh at every call.
  virtual std::string installationFolder() = 0;

  // The progress bar, in percent.
  virtual void setProgress(int percent) = 0;
  // The circular display of the totals recomputation.
  virtual void setCirclePosition(float position) = 0;
  virtual void setCircleVisible(bool visible) = 0;
  virtual void setCircleRingColour(RingColour colour) = 0;
  // The label of the current yearly database.
  virtual void setYearLabelText(const std::string& text) = 0;
  virtual void setYearLabelVisible(bool visible) = 0;
  // The four labels of the installed product.
  virtual void setProductLabel(ProductLabel label, const std::string& text) = 0;
  // The buttons "&Appliquer" and "&Vérifier".
  virtual void setActionButtonsEnabled(bool enabled) = 0;
  // Lets the window process pending messages (painting, clicks).
  virtual void processMessages() = 0;
  // Closes the main window, which ends the program.
  virtual void closeMainWindow() = 0;
};

}  // namespace app
