#include "app/running_application.h"

#include "platform/locale.h"

namespace app {

bool isProgramRunning(std::string_view name, const std::vector<platform::ProcessEntry>& processes) {
  const std::string wanted = platform::upperAscii(name);
  bool running = false;
  for (const platform::ProcessEntry& process : processes) {
    const std::string& file = process.exeFile;
    const size_t separator = file.find_last_of("\\:");
    const std::string_view base =
        separator == std::string::npos ? std::string_view(file) : std::string_view(file).substr(separator + 1);
    if (platform::upperAscii(base) == wanted || platform::upperAscii(file) == wanted) running = true;
  }
  return running;
}

bool isProgramRunning(std::string_view name) { return isProgramRunning(name, platform::processSnapshot()); }

}  // namespace app
