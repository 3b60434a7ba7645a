#include "platform/format_settings.h"

namespace platform {

const FormatSettings& invariantFormatSettings() {
  static const FormatSettings settings;
  return settings;
}

}  // namespace platform
