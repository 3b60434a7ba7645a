#include "recordstore/field_text.h"

#include "platform/bytes.h"
#include "platform/float_text.h"
#include "platform/locale.h"

namespace rec {

using namespace format;
using namespace platform;

std::string fieldText(const RecordLayout& layout, size_t field, const uint8_t* record) {
  const uint8_t* p = record + layout.offsets[field];
  switch (layout.fields[field].type) {
    case ftString:
    case ftFixedChar:
      return loadText(p, layout.sizes[field]);
    case ftSmallint:
      return std::to_string(loadI16(p));
    case ftWord:
      return std::to_string(loadU16(p));
    case ftBoolean:
      return loadU16(p) ? "True" : "False";
    case ftInteger:
    case ftAutoInc:
      return std::to_string(loadI32(p));
    case ftLargeint:
      return std::to_string(loadI64(p));
    case ftFloat:
    case ftCurrency:
      return floatToText(loadF64(p), formatSettings());
    case ftDate:
      return dateToText(double(loadI32(p) - kDateDelta));
    case ftTime:
      return timeToText(double(loadI32(p)) / kMsPerDay);
    case ftDateTime:
      return dateTimeToText(loadF64(p) / kMsPerDay - kDateDelta);
    default:
      return {};
  }
}

}  // namespace rec
