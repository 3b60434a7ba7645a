// The Qt windows, offscreen, over the fake engines.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <cstdlib>
#include <filesystem>

#include "app/messages.h"
#include "app/ui/block_dissolve.h"
#include "app/ui/circular_progress.h"
#include "app/ui/folder_combo_box.h"
#include "app/ui/main_window.h"
#include "app/ui/message_box.h"
#include "app/ui/splash_window.h"
#include "app/ui/text_conversion.h"
#include "fake_installation.h"

// The font library keeps allocations for the life of the process.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace {

QApplication& application() {
  static int argc = 1;
  static char name[] = "app_gui_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

// Processes events until `done` holds or two seconds pass.
bool waitFor(const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

struct Shown {
  QString text, caption;
  int style;
};

// A main window over a fake installation whose message boxes answer from
// a list (OK when it runs out) and are recorded.
struct WindowFixture {
  WindowFixture(const std::string& version = "5.6") : inst(version) {
    application();
    window = std::make_unique<app::TForm_Main>(inst.world.factory(), inst.services());
    window->setMessageHandler([this](const QString& text, const QString& caption, int style) {
      shown.push_back({text, caption, style});
      if (onMessage) onMessage();
      if (answers.empty()) return app::kAnswerOk;
      const int answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    });
    window->Combo_Path->setEditText(QString::fromStdString(inst.folder));
  }

  app_test::FakeInstallation inst;
  std::unique_ptr<app::TForm_Main> window;
  std::vector<Shown> shown;
  std::vector<int> answers;
  std::function<void()> onMessage;
};

}  // namespace

TEST(SplashWindow, PlacedLeftOfAndAboveTheCentre) {
  EXPECT_EQ(app::splashOrigin(QSize(1366, 768)), QPoint(419, 210));
  EXPECT_EQ(app::splashOrigin(QSize(1365, 768)), QPoint(418, 210));  // 418.5 to the even neighbour
  EXPECT_EQ(app::splashOrigin(QSize(1367, 769)), QPoint(420, 210));  // 419.5 and 210.5
  EXPECT_EQ(app::splashOrigin(QSize(800, 600)), QPoint(136, 126));
}

TEST(SplashWindow, ShownModallyByTheMainWindowAndClosedByItsTimer) {
  WindowFixture f;
  app::TForm_Splash splash;
  splash.timer()->setInterval(100);
  splash.transition()->setDuration(50);
  f.window->setSplashWindow(&splash);
  f.window->show();
  ASSERT_TRUE(waitFor([&] { return splash.isVisible(); }));
  EXPECT_EQ(splash.windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(splash.size(), QSize(520, 315));
  EXPECT_EQ(splash.pos(), app::splashOrigin(QGuiApplication::primaryScreen()->geometry().size()));
  // The main window's outer height is cut to 490 when it is shown.
  EXPECT_EQ(f.window->frameGeometry().height(), 490);
  EXPECT_EQ(f.window->width(), 636);
  EXPECT_TRUE(waitFor([&] { return !splash.isVisible(); }));
  EXPECT_TRUE(f.window->isVisible());
}

TEST(MainWindow, InitialState) {
  WindowFixture f;
  EXPECT_EQ(f.window->windowTitle(), "Software KESTRAVO Renovix v3.5");
  EXPECT_EQ(f.window->Btn_OK->text(), "&Appliquer");
  EXPECT_EQ(f.window->Btn_Verif->text(), QString::fromUtf8("&Vérifier"));
  EXPECT_EQ(f.window->Btn_Exit->text(), "&Quitter");
  EXPECT_EQ(f.window->Btn_OK->geometry(), QRect(5, 148, 142, 48));
  EXPECT_EQ(f.window->Combo_Path->geometry().topLeft(), QPoint(160, 406));
  EXPECT_EQ(f.window->PBar->geometry(), QRect(147, 438, 486, 17));
  EXPECT_EQ(f.window->PBar->value(), 0);
  EXPECT_EQ(f.window->PC->geometry(), QRect(109, 19, 102, 94));
  EXPECT_TRUE(f.window->PC->isHidden());
  EXPECT_TRUE(f.window->Label_Ex->isHidden());
  EXPECT_EQ(f.window->Label_Ex->text(), "00 / 1");
  EXPECT_EQ(f.window->Label_Name->text(), "Inconnue");
  EXPECT_EQ(f.window->Label_Type->text(), "Inconnu");
  EXPECT_EQ(f.window->Label_Ver->text(), "Inconnue ...");
  EXPECT_EQ(f.window->Label_Build->text(), "Inconnu...");
}

TEST(MainWindow, QuitterAsksAndCancelKeepsTheWindow) {
  WindowFixture f;
  f.window->show();
  f.answers = {app::kAnswerCancel};
  f.window->Btn_Exit->click();
  ASSERT_EQ(f.shown.size(), 1u);
  EXPECT_EQ(f.shown[0].text, "Etes vous sur de vouloir Quitter le Renovix ?");
  EXPECT_EQ(f.shown[0].caption, "Confirmation de Fermeture");
  EXPECT_EQ(f.shown[0].style, 0x31);
  EXPECT_TRUE(f.window->isVisible());
  f.window->Btn_Exit->click();  // OK this time
  EXPECT_FALSE(f.window->isVisible());
}

TEST(MainWindow, SuccessfulUpdateThenQuitterClosesAtOnce) {
  WindowFixture f;
  f.window->show();
  f.window->Btn_OK->click();
  ASSERT_EQ(f.shown.size(), 2u);
  EXPECT_EQ(f.shown[0].caption, app::fromAnsi(app::confirmUpdateMessage().caption));
  EXPECT_EQ(f.shown[1].text, QString::fromUtf8("Votre copie de logiciel a été mis à jour avec succès"));
  EXPECT_EQ(f.shown[1].style, 0x40);
  EXPECT_EQ(f.window->PBar->value(), 100);
  EXPECT_FALSE(f.window->Btn_OK->isEnabled());
  EXPECT_FALSE(f.window->Btn_Verif->isEnabled());
  EXPECT_EQ(f.window->Label_Name->text(), "Vendrix");
  EXPECT_EQ(f.window->Label_Ver->text(), "5.8");
  EXPECT_EQ(f.window->Label_Build->text(), "(Build 1)");
  EXPECT_TRUE(f.window->PC->isHidden());
  // The ring was left red by the last purchases pass.
  EXPECT_EQ(f.window->PC->ringColour(), QColor(255, 0, 0));
  f.window->Btn_Exit->click();
  EXPECT_EQ(f.shown.size(), 2u);
  EXPECT_FALSE(f.window->isVisible());
}

TEST(MainWindow, CommandErrorIsShownWithItsMessage) {
  WindowFixture f;
  f.inst.world.failOn = "Query_SSN_38 ExecSQL " + f.inst.parameters();
  f.window->show();
  f.window->Btn_OK->click();
  ASSERT_EQ(f.shown.size(), 2u);
  EXPECT_TRUE(f.shown[1].text.startsWith("Error altering table: 'Clients'"));
  EXPECT_EQ(f.shown[1].caption, "Software KESTRAVO Renovix");
  EXPECT_EQ(f.shown[1].style, 0x10);
  EXPECT_EQ(f.window->PBar->value(), 60);
  EXPECT_TRUE(f.window->Btn_OK->isEnabled());
}

// While a command runs (here: while its confirmation is up), another press
// and a close request are ignored.
TEST(MainWindow, NoSecondCommandWhileOneRuns) {
  WindowFixture f;
  f.window->show();
  int nested = 0;
  f.onMessage = [&] {
    if (nested++) return;
    f.window->Btn_OK->click();
    f.window->Btn_Verif->click();
    f.window->close();
  };
  f.answers = {app::kAnswerCancel};
  f.window->Btn_OK->click();
  EXPECT_EQ(f.shown.size(), 1u);
  EXPECT_TRUE(f.window->isVisible());
}

TEST(MainWindow, PackageMissingClosesTheWindow) {
  WindowFixture f;
  std::filesystem::remove(f.inst.packageFolder + "/vizaruv.fip");
  f.window->show();
  f.window->Btn_OK->click();
  ASSERT_EQ(f.shown.size(), 1u);
  EXPECT_EQ(f.shown[0].caption, "Erreur Fatale, manque de fichier");
  EXPECT_FALSE(f.window->isVisible());
}

TEST(MessageBoxes, StylesGiveIconsAndButtons) {
  EXPECT_EQ(app::messageIcon(0x10), QMessageBox::Critical);
  EXPECT_EQ(app::messageIcon(0x30), QMessageBox::Warning);
  EXPECT_EQ(app::messageIcon(0x31), QMessageBox::Warning);
  EXPECT_EQ(app::messageIcon(0x40), QMessageBox::Information);
  EXPECT_EQ(app::messageButtons(0x31), QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(app::messageButtons(0x10), QMessageBox::StandardButtons(QMessageBox::Ok));
}

TEST(Controls, CircularDisplayAndFolderBox) {
  application();
  app::CircularProgress pc;
  for (const auto& [position, text] : {std::pair{0.f, "0%"}, {66.6f, "67%"}, {100.f, "100%"}}) {
    pc.setPosition(position);
    EXPECT_EQ(pc.text(), text);
  }
  testing_support::TempDir dir;
  app::FolderComboBox box;
  box.chooseFolder(QString::fromStdString(dir.path()));
  EXPECT_EQ(box.currentText().toStdString(), std::filesystem::absolute(dir.path()).string());
  // Texts with bytes above 7F come from the Windows-1252 form.
  EXPECT_EQ(app::fromAnsi("\x80 Esp\xE8" "ce"), QString::fromUtf8("€ Espèce"));
  EXPECT_EQ(app::toAnsi(QString::fromUtf8("Algérie")), "Alg\xE9rie");
}

// Renders the windows to PNG files: into RENOVIX_SCREENSHOT_DIR when it is
// set (the documentation's pictures), else into a temporary folder.
TEST(Screenshots, MainWindowBeforeAndAfterAnUpdateAndTheSplash) {
  testing_support::TempDir temp;
  const char* wanted = std::getenv("RENOVIX_SCREENSHOT_DIR");
  const std::string dir = wanted && *wanted ? wanted : temp.path();
  std::filesystem::create_directories(dir);

  WindowFixture f;
  f.window->Combo_Path->setEditText("C:\\Program Files\\Vendrix Pro");
  f.window->show();
  QApplication::processEvents();
  const auto save = [&](QWidget& w, const std::string& name, QSize size) {
    const QImage image = w.grab().toImage();
    EXPECT_EQ(image.size(), size) << name;
    // Not a blank picture: many colours.
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
      for (int x = 0; x < image.width(); x += 7) colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 20u) << name;
    EXPECT_TRUE(image.save(QString::fromStdString(dir + "/" + name))) << name;
  };
  save(*f.window, "main-window.png", f.window->size());

  f.window->Combo_Path->setEditText(QString::fromStdString(f.inst.folder));
  f.window->Btn_OK->click();
  f.window->Combo_Path->setEditText("C:\\Program Files\\Vendrix Pro");
  save(*f.window, "main-window-after-update.png", f.window->size());

  // The circular display and the year label as they are during a pass.
  f.window->setCircleVisible(true);
  f.window->setYearLabelVisible(true);
  f.window->setCircleRingColour(app::kRingGreen);
  f.window->setCirclePosition(67);
  f.window->setYearLabelText("2019 / 1048576");
  f.window->setProgress(10);
  save(*f.window, "main-window-during-update.png", f.window->size());

  app::TForm_Splash splash;
  splash.transition()->setDuration(0);
  splash.show();
  QApplication::processEvents();
  save(splash, "splash-window.png", QSize(520, 315));
  splash.timer()->stop();
}
