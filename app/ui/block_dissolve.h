// The block-dissolve transition of a top-level window: the window appears
// (or disappears) block by block in a scattered order over a fixed time.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>
#include <functional>

class QWidget;

namespace app {

class BlockDissolve : public QObject {
  Q_OBJECT
 public:
  BlockDissolve(QWidget* window, int durationMs, int blockSize);

  void setDuration(int durationMs) { duration_ = durationMs; }
  int duration() const { return duration_; }
  bool running() const { return timer_.isActive(); }

  // Reveals the window; `done` runs when it is whole.
  void reveal(std::function<void()> done = {});
  // Dissolves the window away; `done` runs when nothing is left (hide it there).
  void dissolve(std::function<void()> done);

 private:
  void start(bool revealing, std::function<void()> done);
  void step();

  QWidget* window_;
  int duration_;
  int blockSize_;
  bool revealing_ = true;
  QVector<QRect> blocks_;  // in the order they change
  QTimer timer_;
  QElapsedTimer clock_;
  std::function<void()> done_;
};

}  // namespace app
