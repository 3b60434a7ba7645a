// Memory and time.
#include "platform/system.h"

#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace platform {

uint64_t availablePhysicalMemory() {
  std::ifstream in("/proc/meminfo");
  std::string key;
  uint64_t kilobytes = 0;
  uint64_t freeKilobytes = 0;
  std::string unit;
  while (in >> key >> kilobytes) {
    std::getline(in, unit);
    if (key == "MemAvailable:") return kilobytes * 1024;
    if (key == "MemFree:") freeKilobytes = kilobytes;
  }
  // Kernels before 3.14 have no estimate; free memory is the nearest figure.
  return freeKilobytes * 1024;
}

uint64_t tickCount64() {
  using namespace std::chrono;
  return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t tickCount() { return uint32_t(tickCount64()); }

void sleepMs(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace platform
