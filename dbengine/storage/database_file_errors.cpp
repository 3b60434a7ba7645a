#include "dbengine/storage/database_file_errors.h"

namespace vz {

void raise(const TVZMessage& message, const platform::FormatArgs& args) {
  throw platform::EVZException(message.code, message.text, args);
}

}  // namespace vz
