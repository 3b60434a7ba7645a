#include "app/ui/message_box.h"

#include "app/messages.h"

namespace app {

QMessageBox::Icon messageIcon(int style) {
  switch (style & 0xF0) {
    case 0x10:
      return QMessageBox::Critical;
    case 0x20:
      return QMessageBox::Question;
    case 0x30:
      return QMessageBox::Warning;
    case 0x40:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

QMessageBox::StandardButtons messageButtons(int style) {
  return (style & 0x0F) == 1 ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::StandardButtons(QMessageBox::Ok);
}

int showMessageBox(QWidget* parent, const QString& text, const QString& caption, int style) {
  QMessageBox box(messageIcon(style), caption, text, messageButtons(style), parent);
  box.setDefaultButton(QMessageBox::Ok);
  return box.exec() == QMessageBox::Ok ? kAnswerOk : kAnswerCancel;
}

}  // namespace app
