// The circular progress display: a ring around an inner disc, the position
// written in its centre as a whole percentage.
#pragma once

#include <QColor>
#include <QWidget>

namespace app {

class CircularProgress : public QWidget {
  Q_OBJECT
 public:
  explicit CircularProgress(QWidget* parent = nullptr);

  void setPosition(float position);
  float position() const { return position_; }
  void setMaximum(int maximum) { maximum_ = maximum; }
  // The colour of the outer ring, fading to white inwards.
  void setRingColour(const QColor& colour);
  QColor ringColour() const { return ring_; }
  // The text shown in the centre: "67%".
  QString text() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  float position_ = 0;
  int maximum_ = 100;
  QColor ring_{209, 210, 213};
};

}  // namespace app
