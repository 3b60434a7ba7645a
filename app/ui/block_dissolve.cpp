#include "app/ui/block_dissolve.h"

#include <QRegion>
#include <QWidget>
#include <algorithm>
#include <random>

namespace app {

BlockDissolve::BlockDissolve(QWidget* window, int durationMs, int blockSize)
    : QObject(window), window_(window), duration_(durationMs), blockSize_(blockSize) {
  timer_.setInterval(15);
  connect(&timer_, &QTimer::timeout, this, &BlockDissolve::step);
}

void BlockDissolve::reveal(std::function<void()> done) { start(true, std::move(done)); }

void BlockDissolve::dissolve(std::function<void()> done) { start(false, std::move(done)); }

void BlockDissolve::start(bool revealing, std::function<void()> done) {
  revealing_ = revealing;
  done_ = std::move(done);
  blocks_.clear();
  for (int y = 0; y < window_->height(); y += blockSize_)
    for (int x = 0; x < window_->width(); x += blockSize_) blocks_.push_back(QRect(x, y, blockSize_, blockSize_));
  std::mt19937 order(20211105);
  std::shuffle(blocks_.begin(), blocks_.end(), order);
  clock_.start();
  if (duration_ <= 0 || blocks_.isEmpty()) {
    step();
    return;
  }
  step();
  timer_.start();
}

void BlockDissolve::step() {
  const double share = duration_ <= 0 ? 1.0 : std::min(1.0, double(clock_.elapsed()) / duration_);
  if (share >= 1.0) {
    timer_.stop();
    if (revealing_) {
      window_->clearMask();
      window_->update();  // the parts uncovered last are painted now
    }
    if (done_) {
      auto done = std::move(done_);
      done_ = nullptr;
      done();
    }
    return;
  }
  // Blocks changed so far: shown ones while revealing, the remaining ones
  // while dissolving. A mask is never empty (an empty mask shows all).
  const int changed = int(share * blocks_.size());
  QRegion visible;
  if (revealing_)
    for (int i = 0; i < std::max(changed, 1); ++i) visible += blocks_[i];
  else
    for (int i = std::min(changed, int(blocks_.size()) - 1); i < blocks_.size(); ++i) visible += blocks_[i];
  window_->setMask(visible);
  window_->update();
}

}  // namespace app
