#include "app/ui/window_texts.h"

#include "app/ui/text_conversion.h"

namespace app {

QLabel* placeLabel(QWidget* parent, const std::string& text, int left, int top, const LabelStyle& style, int width) {
  auto* label = new QLabel(fromAnsi(text), parent);
  QFont f(style.family);
  f.setPixelSize(style.pixelSize);
  f.setBold(style.bold);
  label->setFont(f);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, style.colour);
  label->setPalette(palette);
  if (width > 0) {
    label->setWordWrap(true);
    label->setFixedWidth(width);
  }
  label->adjustSize();
  label->move(left, top);
  return label;
}

}  // namespace app
