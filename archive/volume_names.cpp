#include "archive/volume_names.h"

#include <cstdio>

#include "platform/locale.h"
#include "platform/system.h"

namespace archive {
namespace {

struct NameParts {
  std::string pathAndBase;  // folder and base name
  std::string extension;    // with its dot, or empty
};

NameParts splitName(std::string_view fileName) {
  size_t sep = fileName.find_last_of("/\\:");
  size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos || (sep != std::string_view::npos && dot < sep)) return {std::string(fileName), {}};
  return {std::string(fileName.substr(0, dot)), std::string(fileName.substr(dot))};
}

std::string number(const char* pattern, uint32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, pattern, unsigned(value));
  return buf;
}

}  // namespace

std::string volumeFileName(std::string_view fileName, TZASpanningMode mode, uint32_t k, bool isLastVolume,
                           bool advancedNaming, bool selfExtracting) {
  const NameParts parts = splitName(fileName);
  if (mode == smSpanning) {
    if (!advancedNaming) return std::string(fileName);
    return parts.pathAndBase + "_" + number("%03u", k + 1) + (selfExtracting ? ".exe" : parts.extension);
  }
  if (isLastVolume) return selfExtracting ? parts.pathAndBase + ".ZIP" : std::string(fileName);
  if (k == 0 && selfExtracting) return parts.pathAndBase + ".exe";
  if (advancedNaming) return parts.pathAndBase + "_" + number("%03u", k + 1) + parts.extension;
  return parts.pathAndBase + ".Z" + number("%02u", k + 1);
}

bool isRemovableDrive(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') {
    const char d = char(path[0] | 0x20);
    if (d == 'a' || d == 'b') return true;
  }
  return platform::driveType(path) == platform::DriveType::Removable;
}

bool containsExe(std::string_view text) {
  return platform::lowerAscii(text).find(".exe") != std::string::npos;
}

}  // namespace archive
