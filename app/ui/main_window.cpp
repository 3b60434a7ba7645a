#include "app/ui/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <exception>

#include "app/messages.h"
#include "app/ui/circular_progress.h"
#include "app/ui/folder_combo_box.h"
#include "app/ui/fonts.h"
#include "app/ui/message_box.h"
#include "app/ui/skins.h"
#include "app/ui/splash_window.h"
#include "app/ui/text_conversion.h"
#include "app/ui/window_texts.h"
#include "app/verify_command.h"

namespace app {

namespace {

constexpr int kClientWidth = 636;
constexpr int kClientHeight = 563;
constexpr int kShownHeight = 490;  // outer height once shown

const QColor kLime(0, 255, 0);
const QColor kDarkRed(191, 0, 0);
const QColor kCaptionGreen(0, 128, 0);

QPushButton* commandButton(QWidget* parent, const char* name, const std::string& text, QStyle::StandardPixmap glyph,
                           const QString& skin, QRect geometry, bool bold) {
  auto* b = new QPushButton(parent->style()->standardIcon(glyph), fromAnsi(text), parent);
  b->setObjectName(name);
  b->setGeometry(geometry);
  b->setIconSize(QSize(24, 24));
  QFont f("Tahoma");
  f.setPixelSize(15);
  f.setBold(bold);
  b->setFont(f);
  b->setStyleSheet(buttonSkin(skin));
  return b;
}

}  // namespace

TForm_Main::TForm_Main(const EngineFactory& engines, SystemServices system, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      components_(Components::create(engines)),
      system_(std::move(system)) {
  useFallbackFonts();
  setObjectName("Form_Main");
  setWindowTitle(fromAnsi(kMainCaption));
  QFont defaultFont("MS Sans Serif");
  defaultFont.setPointSize(8);
  setFont(defaultFont);
  setFixedSize(kClientWidth, kClientHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  messageHandler_ = [this](const QString& text, const QString& caption, int style) {
    return showMessageBox(this, text, caption, style);
  };
  buildControls();
}

TForm_Main::~TForm_Main() = default;

void TForm_Main::buildControls() {
  Btn_OK = commandButton(this, "Btn_OK", "&Appliquer", QStyle::SP_DialogApplyButton, "Blue", {5, 148, 142, 48}, true);
  Btn_Verif = commandButton(this, "Btn_Verif", "&V\xE9rifier", QStyle::SP_FileDialogContentsView, "iMaginary",
                            {5, 200, 142, 48}, false);
  Btn_Exit = commandButton(this, "Btn_Exit", "&Quitter", QStyle::SP_DialogCloseButton, "Lilian", {5, 253, 142, 48},
                           false);
  connect(Btn_OK, &QPushButton::clicked, this, &TForm_Main::Btn_OKClick);
  connect(Btn_Verif, &QPushButton::clicked, this, &TForm_Main::Btn_VerifClick);
  connect(Btn_Exit, &QPushButton::clicked, this, &TForm_Main::Btn_ExitClick);

  auto* version = new QPushButton("ver 5.8", this);
  version->setGeometry(6, 306, 140, 46);
  version->setFocusPolicy(Qt::NoFocus);
  version->setStyleSheet(glassButtonSkin());

  Combo_Path = new FolderComboBox(this);
  Combo_Path->setObjectName("Combo_Path");
  Combo_Path->setGeometry(160, 406, 464, 22);
  Combo_Path->setDropDownWidth(434);
  Combo_Path->setToolTip(fromAnsi("Recommander de choisir la PARTITION dont vous voulez installer votre application"));

  PBar = new QProgressBar(this);
  PBar->setObjectName("PBar");
  PBar->setGeometry(147, 438, 486, 17);
  PBar->setRange(0, 100);
  PBar->setValue(0);
  QFont barFont("Tahoma");
  barFont.setPixelSize(12);
  barFont.setBold(true);
  PBar->setFont(barFont);
  PBar->setStyleSheet(progressBarSkin());

  PC = new CircularProgress(this);
  PC->setObjectName("PC");
  PC->setGeometry(109, 19, 102, 94);
  PC->setMaximum(100);
  PC->hide();

  Label_Ex = placeLabel(this, "00 / 1", 211, 92, {"Tahoma", 12, true, kLime});
  Label_Ex->setObjectName("Label_Ex");
  Label_Ex->hide();

  const LabelStyle product{"Tahoma", 12, true, kDarkRed};
  Label_Name = placeLabel(this, "Inconnue", 165, 365, product);
  Label_Type = placeLabel(this, "Inconnu", 312, 365, product);
  Label_Ver = placeLabel(this, "Inconnue ...", 422, 365, product);
  Label_Build = placeLabel(this, "Inconnu...", 533, 365, product);
  Label_Name->setObjectName("Label_Name");
  Label_Type->setObjectName("Label_Type");
  Label_Ver->setObjectName("Label_Ver");
  Label_Build->setObjectName("Label_Build");

  const LabelStyle caption{"Tahoma", 12, false, kCaptionGreen};
  placeLabel(this, "Application :", 165, 349, caption);
  placeLabel(this, "Type : ", 312, 349, caption);
  placeLabel(this, "Version : ", 422, 349, caption);
  placeLabel(this, "Build : ", 533, 349, caption);
  placeLabel(this, "Appliqu\xE9 pour : Vendrix Pro : 5.6, 5.7 Vers 5.8 Build 1", 169, 332,
             {"Tahoma", 12, true, QColor(0, 0, 255)});
  placeLabel(this, "Vendrix Pro 5.6 to 5.8 B1", 459, 44, {"Tahoma", 12, true, kLime});
  const LabelStyle row{"Tahoma", 13, true, Qt::white};
  placeLabel(this, "Chemin de l'App.", 35, 412, row);
  placeLabel(this, "Progression", 65, 437, row);
  remark_ = placeLabel(this, "Remarque importante :", 169, 241, {"Tahoma", 12, true, kDarkRed});
  blink_ = new QTimer(this);
  blink_->setInterval(600);
  connect(blink_, &QTimer::timeout, this, [this] { remark_->setVisible(!remark_->isVisible()); });
  blink_->start();

  const LabelStyle text{"Tahoma", 12, false, QColor(20, 20, 40)};
  placeLabel(this,
             "Renovix est l'utilitaire avec lequel les utilisateurs des logiciels de Software KESTRAVO mettent "
             "\xE0 jour leur copie.",
             170, 160, text, 450);
  placeLabel(this,
             "Il est recommand\xE9 de fermer l'application et de sauvegarder votre travail avant toute mise \xE0 "
             "jour.",
             171, 258, text, 450);
  placeLabel(this,
             "Assurez-vous que le nom, le type, la version et le build de l'application correspondent \xE0 cette "
             "mise \xE0 jour, \xE0 l'aide du bouton [V\xE9rifier].",
             172, 286, text, 450);

  setTabOrder(Btn_OK, Btn_Verif);
  setTabOrder(Btn_Verif, Btn_Exit);
  setTabOrder(Btn_Exit, Combo_Path);
}

void TForm_Main::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // The outer height becomes 490, which cuts off the bottom of the design.
  const int frame = frameGeometry().height() - height();
  setFixedHeight(kShownHeight - frame);
  if (splash_) {
    splash_->setWindowModality(Qt::ApplicationModal);
    splash_->show();
  }
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  // A command that processes messages cannot lose its window under it.
  if (busy_) {
    event->ignore();
    return;
  }
  QWidget::closeEvent(event);
  emit closed();
}

void TForm_Main::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient background(0, 0, 0, height());
  background.setColorAt(0, QColor(12, 40, 92));
  background.setColorAt(0.32, QColor(26, 78, 150));
  background.setColorAt(0.33, QColor(236, 242, 250));
  background.setColorAt(0.78, QColor(214, 226, 242));
  background.setColorAt(0.79, QColor(24, 60, 120));
  background.setColorAt(1, QColor(10, 30, 70));
  p.fillRect(rect(), background);

  // The logo, 64 x 64 at (128, 33).
  const QRect logo(128, 33, 64, 64);
  QLinearGradient disc(logo.topLeft(), logo.bottomRight());
  disc.setColorAt(0, QColor(120, 200, 255));
  disc.setColorAt(1, QColor(20, 90, 190));
  p.setPen(QPen(Qt::white, 2));
  p.setBrush(disc);
  p.drawEllipse(logo.adjusted(2, 2, -2, -2));
  QFont mark("Tahoma");
  mark.setPixelSize(34);
  mark.setBold(true);
  p.setFont(mark);
  p.drawText(logo, Qt::AlignCenter, "R");

  // The title and its reflection.
  QFont title("Tahoma");
  title.setPixelSize(20);
  title.setBold(true);
  p.setFont(title);
  const QString text = fromAnsi(kApplicationTitle);
  const QFontMetrics m(title);
  const int baseline = 20 + m.ascent();
  p.setPen(Qt::white);
  p.drawText(209, baseline, text);
  p.save();
  p.translate(0, 2 * baseline + 2);
  p.scale(1, -1);
  p.setOpacity(0.25);
  p.drawText(209, baseline, text);
  p.restore();
}

void TForm_Main::runCommand(const std::function<void()>& command) {
  if (busy_) return;  // a second press while a command still runs
  busy_ = true;
  try {
    command();
  } catch (const std::exception& e) {
    messageHandler_(fromAnsi(e.what()), fromAnsi(kApplicationTitle), kStyleError);
  }
  busy_ = false;
  if (closeRequested_) close();
}

void TForm_Main::Btn_OKClick() {
  runCommand([this] { UpdateProcedure(*this, components_, system_).run(); });
}

void TForm_Main::Btn_VerifClick() {
  runCommand([this] { verifyInstallation(*this, *components_.DB); });
}

void TForm_Main::Btn_ExitClick() {
  if (busy_) return;
  if (Btn_OK->isEnabled() && showMessage(confirmExitMessage()) != kAnswerOk) return;
  close();
}

int TForm_Main::messageBox(const std::string& text, const std::string& caption, int style) {
  return messageHandler_(fromAnsi(text), fromAnsi(caption), style);
}

std::string TForm_Main::installationFolder() { return Combo_Path->currentText().toStdString(); }

void TForm_Main::setProgress(int percent) { PBar->setValue(percent); }

void TForm_Main::setCirclePosition(float position) { PC->setPosition(position); }

void TForm_Main::setCircleVisible(bool visible) { PC->setVisible(visible); }

void TForm_Main::setCircleRingColour(RingColour colour) {
  PC->setRingColour(QColor(colour.red, colour.green, colour.blue));
}

void TForm_Main::setYearLabelText(const std::string& text) {
  Label_Ex->setText(fromAnsi(text));
  Label_Ex->adjustSize();
}

void TForm_Main::setYearLabelVisible(bool visible) { Label_Ex->setVisible(visible); }

void TForm_Main::setProductLabel(ProductLabel label, const std::string& text) {
  QLabel* target = label == ProductLabel::Name      ? Label_Name
                   : label == ProductLabel::Type    ? Label_Type
                   : label == ProductLabel::Version ? Label_Ver
                                                    : Label_Build;
  target->setText(fromAnsi(text));
  target->adjustSize();
}

void TForm_Main::setActionButtonsEnabled(bool enabled) {
  Btn_OK->setEnabled(enabled);
  Btn_Verif->setEnabled(enabled);
}

void TForm_Main::processMessages() { QCoreApplication::processEvents(); }

void TForm_Main::closeMainWindow() {
  if (busy_)
    closeRequested_ = true;
  else
    close();
}

}  // namespace app
