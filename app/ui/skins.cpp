#include "app/ui/skins.h"

namespace app {

QString buttonSkin(const QString& skin) {
  struct Colours {
    const char *top, *bottom, *border, *text, *hoverTop;
  };
  Colours c{"#5b9be6", "#1d5fb5", "#174a8c", "white", "#79b2f2"};  // Blue
  if (skin == "iMaginary") c = {"#fdfdfd", "#d9dde3", "#9aa3ad", "#1f2a36", "#ffffff"};
  if (skin == "Lilian") c = {"#f3e6f7", "#cfa9dd", "#8e5aa3", "#3c1d4a", "#f9eefc"};
  return QString("QPushButton { color: %4; border: 1px solid %3; border-radius: 6px; padding: 4px 8px;"
                 " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %1, stop:1 %2); text-align: left; }"
                 "QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 %5, stop:1 %2); }"
                 "QPushButton:pressed { background: %2; }"
                 "QPushButton:disabled { color: #8a8a8a; border-color: #b0b0b0;"
                 " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eeeeee, stop:1 #cccccc); }")
      .arg(c.top, c.bottom, c.border, c.text, c.hoverTop);
}

QString progressBarSkin() {
  return "QProgressBar { border: 1px solid #7a8ea8; border-radius: 7px; background: #eef2f7; color: #102040;"
         " text-align: center; }"
         "QProgressBar::chunk { border-radius: 6px;"
         " background: qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #1d5fb5, stop:1 #7fd0ff); }";
}

QString glassButtonSkin() {
  return "QPushButton { color: white; border: 1px solid #0d2a5c; border-radius: 8px;"
         " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6f9bd8, stop:0.5 #2f64b0,"
         " stop:0.51 #184a94, stop:1 #0f3470); font-weight: bold; font-size: 15px; }";
}

}  // namespace app
