// Renovix: takes no arguments, reads no configuration.
#include <QApplication>

#include "app/installed_engines.h"
#include "app/ui/main_window.h"
#include "app/ui/splash_window.h"
#include "app/ui/text_conversion.h"
#include "app/ui/window_texts.h"
#include "app/update_procedure.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(app::fromAnsi(app::kApplicationTitle));
  QApplication::setQuitOnLastWindowClosed(false);

  // The main window is created first: closing it ends the program.
  app::TForm_Main mainWindow(app::installedEngines(), app::SystemServices::platformServices());
  app::TForm_Splash splash;
  mainWindow.setSplashWindow(&splash);
  QObject::connect(&mainWindow, &app::TForm_Main::closed, &application, &QApplication::quit, Qt::QueuedConnection);
  mainWindow.show();
  return application.exec();
}
