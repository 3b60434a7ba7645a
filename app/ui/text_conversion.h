// The program's Windows-1252 texts as the toolkit's strings and back.
#pragma once

#include <QString>
#include <string>

namespace app {

QString fromAnsi(const std::string& text);
std::string toAnsi(const QString& text);

}  // namespace app
