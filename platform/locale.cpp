#include "platform/locale.h"

namespace platform {

// Transitional: the user's locale is read from the environment once the
// locale services land; until then the invariant conventions apply.
const FormatSettings& formatSettings() { return invariantFormatSettings(); }

}  // namespace platform
