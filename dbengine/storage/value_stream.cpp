#include "dbengine/storage/value_stream.h"

#include <vector>

#include "dbengine/storage/vz_variant.h"
#include "platform/bytes.h"
#include "platform/errors.h"

namespace vz {
namespace {

// The four items of a value record; short writes raise 10179 + item, short
// reads 10183 + item.
enum Item { TypeItem = 0, NullItem = 1, SizeItem = 2, DataItem = 3 };

void writeItem(TVZStream& s, Item item, const void* bytes, int64_t n) {
  const int64_t position = s.position();
  const int64_t written = n > 0 ? int64_t(s.write(bytes, size_t(n))) : 0;
  if (written != n) {
    throw platform::EVZException(
        10179 + item, "Cannot write to stream. Position = %d, Stream size = %d, Block size = %d, Bytes Write = %d",
        {position, s.size(), n, written});
  }
}

[[noreturn]] void throwShortRead(TVZStream& s, Item item, int64_t position, int64_t n, int64_t got) {
  throw platform::EVZException(
      10183 + item, "Cannot read from stream. Position = %d, Stream size = %d, Block size = %d, Bytes Read = %d",
      {position, s.size(), n, got});
}

void readItem(TVZStream& s, Item item, void* bytes, int64_t n) {
  const int64_t position = s.position();
  const int64_t got = n > 0 ? int64_t(s.read(bytes, size_t(n))) : 0;
  if (got != n) throwShortRead(s, item, position, n, got);
}

}  // namespace

void TVZVariant::writeTo(TVZStream& stream) const {
  const uint8_t type = type_;
  const bool null = isNull();
  const uint8_t marker = null ? kNullMarker : 0;
  writeItem(stream, TypeItem, &type, 1);
  writeItem(stream, NullItem, &marker, 1);
  if (null) return;
  uint8_t size[4];
  platform::storeI32(size, size_);
  writeItem(stream, SizeItem, size, 4);
  writeItem(stream, DataItem, data(), size_);
}

void TVZVariant::readFrom(TVZStream& stream) {
  clear(storage_type::None);
  uint8_t type = 0, marker = 0;
  readItem(stream, TypeItem, &type, 1);
  type_ = type;
  readItem(stream, NullItem, &marker, 1);
  if (marker != 0) return;
  uint8_t sizeBytes[4];
  readItem(stream, SizeItem, sizeBytes, 4);
  const int32_t n = platform::loadI32(sizeBytes);
  // A size the stream cannot hold, or one the type cannot have, is refused
  // before anything is allocated.
  const int64_t position = stream.position();
  const int32_t fixed = fixedValueSize(type);
  const bool fits = n >= 0 && platform::rangeFits(uint64_t(position), uint64_t(n), uint64_t(stream.size()));
  const bool shaped = isValidStorageType(type) && (fixed == 0 || n == fixed) &&
                      !(isAnsiTextType(type) && n < 1) && !(isWideTextType(type) && n < 2);
  if (!fits || !shaped) throwShortRead(stream, DataItem, position, n, 0);
  std::vector<uint8_t> bytes(static_cast<size_t>(n));
  readItem(stream, DataItem, bytes.data(), n);
  setBytesOwned(type, std::move(bytes));
}

}  // namespace vz
