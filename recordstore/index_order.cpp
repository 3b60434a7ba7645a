#include "recordstore/index_order.h"

#include "platform/bytes.h"
#include "platform/locale.h"

namespace rec {

using namespace platform;
using namespace format;

namespace {

template <class T>
int order(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int compareField(const RecordLayout& layout, size_t field, const uint8_t* a, const uint8_t* b, bool ignoreCase) {
  const size_t offset = layout.offsets[field];
  a += offset;
  b += offset;
  switch (fieldType(layout.fields[field].type)) {
    case FieldType::String:
    case FieldType::FixedChar:
      return compareAnsi(loadText(a, layout.sizes[field]), loadText(b, layout.sizes[field]), ignoreCase);
    case FieldType::Smallint:
      return order(loadI16(a), loadI16(b));
    case FieldType::Word:
      return order(loadU16(a), loadU16(b));
    case FieldType::Boolean:
      return order(loadU16(a) != 0, loadU16(b) != 0);
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date:
    case FieldType::Time:
      return order(loadI32(a), loadI32(b));
    case FieldType::Float:
    case FieldType::Currency:
    case FieldType::DateTime:
      return order(loadF64(a), loadF64(b));
    case FieldType::Largeint:
      return order(loadI64(a), loadI64(b));
    default:  // BLOB fields take no part in an order
      return 0;
  }
}

}  // namespace

int compareKeys(const RecordLayout& layout, const IndexDef& index, const uint8_t* a, const uint8_t* b) {
  const bool ignoreCase = index.options & kIndexCaseInsensitive;
  for (int32_t field : index.fields) {
    int c = compareField(layout, size_t(field), a, b, ignoreCase);
    if (c != 0) return (index.options & kIndexDescending) ? -c : c;
  }
  return 0;
}

Placement placeInOrder(size_t count, const std::function<int(size_t)>& compareItem) {
  int64_t low = 0, high = int64_t(count) - 1;
  while (low <= high) {
    int64_t mid = (low + high) / 2;
    int c = compareItem(size_t(mid));
    if (c < 0) {
      low = mid + 1;
    } else if (c > 0) {
      high = mid - 1;
    } else {
      return {size_t(mid) + 1, true, size_t(mid)};
    }
  }
  return {size_t(low), false, 0};
}

}  // namespace rec
