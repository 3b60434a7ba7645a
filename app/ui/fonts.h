// The windows' fonts where they are not installed: Tahoma and MS Sans Serif
// fall back to a condensed sans-serif face of similar width, Segoe UI to a
// plain one.
#pragma once

namespace app {

// Registers the fallbacks once; later calls do nothing.
void useFallbackFonts();

}  // namespace app
