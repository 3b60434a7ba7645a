// The temporary folder and temporary files.
#pragma once

#include <string>
#include <string_view>

#include "platform/file.h"

namespace platform {

// $TMPDIR, else /tmp; with a trailing "/".
std::string tempDirectory();
// Creates a new empty file with a unique name "<prefix><unique>.tmp" in
// `folder` and returns its path (as GetTempFileName does). The whole prefix
// is kept and the unique part is eight hex digits; the file is created
// exclusively (readable by its owner only), a name in use is skipped.
// EOSError when the folder does not take it.
std::string makeTempFileName(std::string_view folder, std::string_view prefix);
// A new file in the temporary folder, open for reading and writing without
// sharing, that disappears when it is closed (or the process ends). Its name
// is removed as soon as it is open, so nothing else can reach it.
File openTemporaryFile(std::string_view prefix);

}  // namespace platform
