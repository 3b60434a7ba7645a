// The one place where the program's start-up chooses the concrete engines
// behind the contracts.
#pragma once

#include "app/components.h"

namespace app {

// The engines built into this program. A slot whose engine is not built in
// yet gives objects that raise EngineUnavailable at their first use, so that
// a command needing that engine ends with a clear message.
EngineFactory installedEngines();

}  // namespace app
