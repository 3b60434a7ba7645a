#include "platform/os_error.h"

#include <cstring>
#include <string>

#include "platform/errors.h"

namespace platform {

void throwOSError(int errorNumber, std::string_view what, std::string_view path) {
  std::string message(what);
  message += " \"";
  message += path;
  message += "\": ";
  message += std::strerror(errorNumber);
  throw EOSError(errorNumber, std::move(message));
}

}  // namespace platform
