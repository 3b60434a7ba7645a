#include "archive/processing_lock.h"

namespace archive {

std::recursive_mutex& processingLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace archive
