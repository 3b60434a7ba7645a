#include "app/ui/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace app {

void useFallbackFonts() {
  static const bool done = [] {
    const struct {
      const char* family;
      QStringList fallbacks;
    } fonts[] = {
        {"Tahoma", {"DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans"}},
        {"MS Sans Serif", {"DejaVu Sans Condensed", "DejaVu Sans", "Liberation Sans"}},
        {"Segoe UI", {"DejaVu Sans", "Liberation Sans"}},
    };
    for (const auto& f : fonts)
      if (!QFontDatabase::hasFamily(f.family)) QFont::insertSubstitutions(f.family, f.fallbacks);
    return true;
  }();
  (void)done;
}

}  // namespace app
