#include "platform/temp.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "platform/os_error.h"
#include "platform/path.h"

namespace platform {
namespace {

constexpr int kNameAttempts = 1000;

// Eight hex digits, different on every call and between processes.
std::string uniquePart() {
  static std::atomic<uint64_t> counter{[] {
    std::random_device device;
    return (uint64_t(device()) << 32) ^ device() ^ uint64_t(getpid());
  }()};
  uint64_t x = counter.fetch_add(0x9E3779B97F4A7C15ull) + 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  x ^= x >> 31;
  char text[9];
  std::snprintf(text, sizeof text, "%08X", unsigned(x));
  return text;
}

}  // namespace

std::string tempDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = tmp && *tmp ? tmp : "/tmp";
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string makeTempFileName(std::string_view folder, std::string_view prefix) {
  const std::string nativeFolder = nativePath(folder);
  for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
    std::string name(prefix);
    name += uniquePart();
    name += ".tmp";
    const std::string path = joinPath(nativeFolder, name);
    const int fd = ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd >= 0) {
      ::close(fd);
      return path;
    }
    if (errno != EEXIST && errno != EINTR) throwOSError(errno, "Cannot create a temporary file in", folder);
  }
  throwOSError(EEXIST, "Cannot find a free temporary file name in", folder);
}

File openTemporaryFile(std::string_view prefix) {
  const std::string path = makeTempFileName(tempDirectory(), prefix);
  try {
    OpenOptions options;
    options.deleteOnClose = true;
    return File::open(path, Access::ReadWrite, ShareNone, Disposition::OpenExisting, options);
  } catch (...) {
    ::unlink(path.c_str());
    throw;
  }
}

}  // namespace platform
