#include "app/ui/circular_progress.h"

#include <QPainter>
#include <QRadialGradient>
#include <cmath>

namespace app {

namespace {
constexpr int kRingWidth = 5;
constexpr int kInnerDiameter = 60;
}  // namespace

CircularProgress::CircularProgress(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TranslucentBackground);
  QFont f("Segoe UI");
  f.setPixelSize(35);
  f.setBold(true);
  setFont(f);
}

void CircularProgress::setPosition(float position) {
  position_ = position;
  update();
}

void CircularProgress::setRingColour(const QColor& colour) {
  ring_ = colour;
  update();
}

QString CircularProgress::text() const {
  return QString::number(static_cast<long long>(std::nearbyint(position_))) + "%";
}

void CircularProgress::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const int side = std::min(width(), height()) - 2;
  const QRectF outer((width() - side) / 2.0, (height() - side) / 2.0, side, side);
  const QPointF centre = outer.center();

  // Outer ring fading to white, then the share done as an arc on it.
  QRadialGradient fade(centre, side / 2.0);
  fade.setColorAt(1.0, ring_);
  fade.setColorAt(1.0 - 2.0 * kRingWidth / side, Qt::white);
  p.setPen(Qt::NoPen);
  p.setBrush(fade);
  p.drawEllipse(outer);
  const double share = maximum_ > 0 ? std::clamp(double(position_) / maximum_, 0.0, 1.0) : 0.0;
  QPen arc(ring_.darker(130), kRingWidth);
  arc.setCapStyle(Qt::FlatCap);
  p.setPen(arc);
  p.setBrush(Qt::NoBrush);
  const QRectF ringRect = outer.adjusted(kRingWidth / 2.0, kRingWidth / 2.0, -kRingWidth / 2.0, -kRingWidth / 2.0);
  p.drawArc(ringRect, 90 * 16, -int(share * 360 * 16));

  // Inner disc and the position in its centre.
  p.setPen(QPen(QColor(209, 210, 213), 1));
  p.setBrush(Qt::white);
  p.drawEllipse(centre, kInnerDiameter / 2.0, kInnerDiameter / 2.0);
  p.setPen(Qt::red);
  QFont f = font();
  // The text shrinks to stay inside the display.
  QFontMetrics m(f);
  while (m.horizontalAdvance(text()) > width() - 4 && f.pixelSize() > 8) {
    f.setPixelSize(f.pixelSize() - 1);
    m = QFontMetrics(f);
  }
  p.setFont(f);
  p.drawText(rect(), Qt::AlignCenter, text());
}

}  // namespace app
