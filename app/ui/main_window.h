// The main window: the three commands, the installation folder, the
// product labels and the two progress displays. It holds the engine objects
// and is the window the commands talk to.
#pragma once

#include <QWidget>
#include <functional>

#include "app/components.h"
#include "app/update_procedure.h"
#include "app/user_interface.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace app {

class CircularProgress;
class FolderComboBox;
class TForm_Splash;

class TForm_Main : public QWidget, public UserInterface {
  Q_OBJECT
 public:
  TForm_Main(const EngineFactory& engines, SystemServices system, QWidget* parent = nullptr);
  ~TForm_Main() override;

  // The splash window that showing this window shows modally.
  void setSplashWindow(TForm_Splash* splash) { splash_ = splash; }

  // Message boxes go through this; tests answer them without a dialog.
  using MessageHandler = std::function<int(const QString& text, const QString& caption, int style)>;
  void setMessageHandler(MessageHandler handler) { messageHandler_ = std::move(handler); }

  // The commands.
  void Btn_OKClick();
  void Btn_VerifClick();
  void Btn_ExitClick();

 signals:
  // The window closed: the program ends.
  void closed();
 public:

  // UserInterface
  int messageBox(const std::string& text, const std::string& caption, int style) override;
  std::string installationFolder() override;
  void setProgress(int percent) override;
  void setCirclePosition(float position) override;
  void setCircleVisible(bool visible) override;
  void setCircleRingColour(RingColour colour) override;
  void setYearLabelText(const std::string& text) override;
  void setYearLabelVisible(bool visible) override;
  void setProductLabel(ProductLabel label, const std::string& text) override;
  void setActionButtonsEnabled(bool enabled) override;
  void processMessages() override;
  void closeMainWindow() override;

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void buildControls();
  // Runs a command to its end; an error it raises is shown with its message.
  void runCommand(const std::function<void()>& command);

  Components components_;
  SystemServices system_;
  TForm_Splash* splash_ = nullptr;
  MessageHandler messageHandler_;
  bool shown_ = false;
  bool busy_ = false;            // a command is running (it may process messages)
  bool closeRequested_ = false;  // by a command, carried out when it ends

 public:
  // Controls, named as on the window.
  QPushButton* Btn_OK;
  QPushButton* Btn_Verif;
  QPushButton* Btn_Exit;
  FolderComboBox* Combo_Path;
  QProgressBar* PBar;
  CircularProgress* PC;
  QLabel* Label_Ex;
  QLabel* Label_Name;
  QLabel* Label_Type;
  QLabel* Label_Ver;
  QLabel* Label_Build;

 private:
  QLabel* remark_;  // "Remarque importante :", blinking
  QTimer* blink_;
};

}  // namespace app
