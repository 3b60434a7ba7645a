// Style sheets standing in for the window's skins.
#pragma once

#include <QString>

namespace app {

// "Blue" (Apply and the window), "iMaginary" (Verify), "Lilian" (Exit).
QString buttonSkin(const QString& skin);
QString progressBarSkin();
QString glassButtonSkin();

}  // namespace app
