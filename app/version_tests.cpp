#include "app/version_tests.h"

#include "platform/format_settings.h"
#include "platform/locale.h"

namespace app {

double versionNumber(std::string_view version) {
  double value;
  if (platform::tryTextToFloat(version, value, platform::invariantFormatSettings())) return value;
  return platform::textToFloat(version);
}

int64_t versionCurrency(std::string_view version) {
  int64_t value;
  if (platform::tryTextToCurrency(version, value, platform::invariantFormatSettings())) return value;
  return platform::textToCurrency(version);
}

bool versionAtMost(std::string_view version, double limit) { return versionNumber(version) <= limit; }

bool versionTextAtMost(std::string_view version, std::string_view limit) {
  // std::string_view compares as unsigned bytes.
  return version.compare(limit) <= 0;
}

bool versionCompatible(std::string_view version) { return versionCurrency(version) <= 57000; }

}  // namespace app
