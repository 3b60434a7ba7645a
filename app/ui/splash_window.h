// The splash window: shown once at start over the main window, placed a
// little left of and above the screen's centre, closed after six seconds.
#pragma once

#include <QPoint>
#include <QSize>
#include <QTimer>
#include <QWidget>

namespace app {

class BlockDissolve;

// left = round(width / 2 - 264), top = round(height / 2 - 174), halves to
// the even neighbour.
QPoint splashOrigin(QSize screen);

class TForm_Splash : public QWidget {
  Q_OBJECT
 public:
  explicit TForm_Splash(QWidget* parent = nullptr);

  QTimer* timer() { return &Timer_Splash; }
  BlockDissolve* transition() { return Transition_FS; }

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  bool event(QEvent* event) override;          // FormActivate
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void Timer_SplashTimer();

  QTimer Timer_Splash;
  BlockDissolve* Transition_FS;
  bool dissolved_ = false;
};

}  // namespace app
