// File names of the volumes of a multi-volume set, and the removable-drive
// test that decides whether a missing archive may be a spanned set.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/options.h"

namespace archive {

// The file name of volume `k` (from 0) of a set whose archive is `fileName`.
std::string volumeFileName(std::string_view fileName, TZASpanningMode mode, uint32_t k, bool isLastVolume,
                           bool advancedNaming, bool selfExtracting);

// True when the drive of `path` is "A:" or "B:" or the system reports it as
// removable.
bool isRemovableDrive(std::string_view path);

// True when `text` contains ".exe" in any case.
bool containsExe(std::string_view text);

}  // namespace archive
