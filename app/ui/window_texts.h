// Texts of the two windows (Windows-1252) and a helper to place a styled
// label at a design position.
#pragma once

#include <QColor>
#include <QLabel>
#include <string>

namespace app {

constexpr const char* kApplicationTitle = "Software KESTRAVO Renovix";
constexpr const char* kMainCaption = "Software KESTRAVO Renovix v3.5";

struct LabelStyle {
  const char* family = "Tahoma";
  int pixelSize = 12;
  bool bold = false;
  QColor colour = Qt::black;
};

// A transparent label with `text` (Windows-1252) at (left, top), sized to
// its text, or wrapped to `width` when one is given.
QLabel* placeLabel(QWidget* parent, const std::string& text, int left, int top, const LabelStyle& style,
                   int width = 0);

}  // namespace app
