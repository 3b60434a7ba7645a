#include "recordstore/record_layout.h"

#include "platform/errors.h"
#include "recordstore/messages.h"

namespace rec {

RecordLayout buildRecordLayout(const std::vector<format::FieldDef>& fields) {
  RecordLayout layout;
  layout.fields = fields;
  for (size_t i = 0; i < fields.size(); ++i) {
    size_t bytes = format::fieldByteCount(fields[i].type, fields[i].size);
    if (bytes == 0) throw platform::EDatabaseError(msg::kGeneralError);
    layout.offsets.push_back(layout.recordSize);
    layout.sizes.push_back(bytes);
    layout.recordSize += bytes;
    if (format::fieldType(fields[i].type) == format::FieldType::AutoInc && layout.autoIncField < 0) layout.autoIncField = int(i);
  }
  return layout;
}

}  // namespace rec
