#include "app/ui/text_conversion.h"

#include "platform/locale.h"

namespace app {

QString fromAnsi(const std::string& text) { return QString::fromStdString(platform::ansiToUtf8(text)); }

std::string toAnsi(const QString& text) { return platform::utf8ToAnsi(text.toStdString()); }

}  // namespace app
