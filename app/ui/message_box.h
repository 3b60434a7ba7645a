// Message boxes with the system's styles: the icon in the high nibble
// (0x10 error, 0x30 warning, 0x40 information), the buttons in the low one
// (0 OK, 1 OK and Cancel). The answer is 1 for OK, 2 for Cancel.
#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace app {

QMessageBox::Icon messageIcon(int style);
QMessageBox::StandardButtons messageButtons(int style);

// Shows the box modally over `parent` and returns the answer.
int showMessageBox(QWidget* parent, const QString& text, const QString& caption, int style);

}  // namespace app
