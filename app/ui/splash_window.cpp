#include "app/ui/splash_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <cmath>

#include "app/ui/block_dissolve.h"
#include "app/ui/fonts.h"
#include "app/ui/text_conversion.h"
#include "app/ui/window_texts.h"

namespace app {

QPoint splashOrigin(QSize screen) {
  return QPoint(int(std::nearbyint(screen.width() / 2.0 - 264)), int(std::nearbyint(screen.height() / 2.0 - 174)));
}

TForm_Splash::TForm_Splash(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
  useFallbackFonts();
  setObjectName("Form_Splash");
  setWindowTitle(fromAnsi(kApplicationTitle));
  setFixedSize(520, 315);
  Timer_Splash.setInterval(6000);
  Timer_Splash.setSingleShot(true);
  connect(&Timer_Splash, &QTimer::timeout, this, &TForm_Splash::Timer_SplashTimer);
  Transition_FS = new BlockDissolve(this, 1100, 10);

  const LabelStyle plain{"Tahoma", 11, false, QColor(30, 30, 30)};
  placeLabel(this, "Bienvenue chez Software KESTRAVO\nVotre partenaire de d\xE9veloppement \nde logiciels.", 338, 66,
             plain);
  placeLabel(this,
             "Cet utilitaire sert \xE0 mettre \xE0 jour votre logiciel de fa\xE7on que quelques options seront "
             "ajout\xE9s, modifi\xE9s et am\xE9lior\xE9" "es.",
             332, 114, {"Tahoma", 11, true, QColor(0, 0, 160)}, 520 - 332 - 4);
  QLabel* applied = placeLabel(this, ":: Version appliqu\xE9" "e ::", 355, 173, {"Tahoma", 11, true, Qt::black});
  applied->setAlignment(Qt::AlignCenter);
  QLabel* versions = placeLabel(this, "De Vendrix Pro : \n5.6, 5.7 Vers 5.8 Build 1", 350, 191, plain);
  versions->setAlignment(Qt::AlignCenter);
  placeLabel(this, kMainCaption, 6, 295, {"Tahoma", 9, false, Qt::gray});
}

void TForm_Splash::showEvent(QShowEvent* event) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen) move(splashOrigin(screen->geometry().size()));
  dissolved_ = false;
  Transition_FS->reveal();
  QWidget::showEvent(event);
  // Activation enables the timer; a platform that does not activate the
  // window still shows it for its time.
  if (!Timer_Splash.isActive()) Timer_Splash.start();
}

bool TForm_Splash::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate && !Timer_Splash.isActive() && isVisible()) Timer_Splash.start();
  return QWidget::event(event);
}

void TForm_Splash::Timer_SplashTimer() { close(); }

void TForm_Splash::closeEvent(QCloseEvent* event) {
  if (dissolved_) {
    QWidget::closeEvent(event);
    return;
  }
  // The window goes away through the transition, then closes for good.
  event->ignore();
  if (!Transition_FS->running())
    Transition_FS->dissolve([this] {
      dissolved_ = true;
      close();
    });
}

void TForm_Splash::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, width(), height());
  sky.setColorAt(0, QColor(232, 240, 252));
  sky.setColorAt(1, QColor(255, 255, 255));
  p.fillRect(rect(), sky);
  // The left panel with the product's mark.
  QLinearGradient panel(0, 0, 0, height());
  panel.setColorAt(0, QColor(20, 70, 150));
  panel.setColorAt(1, QColor(8, 30, 80));
  p.fillRect(QRect(0, 0, 320, height()), panel);
  p.setPen(QPen(QColor(255, 255, 255, 90), 10));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPoint(160, 140), 80, 80);
  QFont mark("Tahoma");
  mark.setPixelSize(44);
  mark.setBold(true);
  p.setFont(mark);
  p.setPen(Qt::white);
  p.drawText(QRect(0, 100, 320, 80), Qt::AlignCenter, "Renovix");
  QFont sub("Tahoma");
  sub.setPixelSize(14);
  p.setFont(sub);
  p.setPen(QColor(190, 210, 240));
  p.drawText(QRect(0, 230, 320, 24), Qt::AlignCenter, "Software KESTRAVO");
  p.setPen(QColor(150, 170, 200));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace app
