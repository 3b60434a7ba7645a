#include "dbengine/storage/value_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "dbengine/storage/vz_streams.h"
#include "dbengine/storage/vz_variant.h"
#include "value_test_support.h"

namespace {

using namespace vz;
namespace st = storage_type;
namespace vt = values_test;
using vt::expectVZError;

// A memory stream that refuses to grow past a capacity, as a full medium
// would.
class MemoryStream : public TVZMemoryStream {
 public:
  explicit MemoryStream(const std::vector<uint8_t>& bytes = {}, size_t capacity = SIZE_MAX) : capacity_(capacity) {
    if (!bytes.empty()) TVZMemoryStream::write(bytes.data(), bytes.size());
    rewind();
  }
  size_t write(const void* data, size_t count) override {
    const uint64_t at = uint64_t(position());
    const size_t room = at >= capacity_ ? 0 : size_t(std::min<uint64_t>(count, capacity_ - at));
    return room > 0 ? TVZMemoryStream::write(data, room) : 0;
  }
  std::vector<uint8_t> bytes() { return std::vector<uint8_t>(data(), data() + size()); }
  void rewind() { setPosition(0); }

 private:
  size_t capacity_;
};

TEST(ValueStream, Layout) {
  MemoryStream s;
  vt::integer(5).writeTo(s);
  EXPECT_EQ(s.bytes(), (std::vector<uint8_t>{0x07, 0x00, 0x04, 0, 0, 0, 0x05, 0, 0, 0}));
  MemoryStream n;
  vt::nullOf(st::Date).writeTo(n);
  EXPECT_EQ(n.bytes(), (std::vector<uint8_t>{0x0F, 0xFF}));
}

TEST(ValueStream, ValuesComeBackAsWritten) {
  TVZVariant memo = vt::memo("m\xE9mo");
  const TVZVariant values[] = {vt::text("abc"),       vt::wide(u"\u4E00"),   vt::extended(1.0L / 3),
                               vt::dateTime(738900, 5), vt::blob(std::string_view("a\0b", 3)),    memo,
                               vt::logical(true),      vt::nullOf(st::Memo), vt::currency(-1.5)};
  MemoryStream s;
  for (const TVZVariant& v : values) v.writeTo(s);
  s.rewind();
  for (const TVZVariant& v : values) {
    TVZVariant r = vt::integer(99);  // reading first clears the value
    r.readFrom(s);
    EXPECT_EQ(r.type(), v.type());
    EXPECT_EQ(r.isNull(), v.isNull());
    if (!v.isNull()) {
      EXPECT_EQ(r.size(), v.size());
      EXPECT_EQ(std::memcmp(r.data(), v.data(), size_t(v.size())), 0);
    }
  }
  // Any non-zero marker means null, and nothing follows it.
  MemoryStream marked({0x07, 0x01, 0x07, 0x00, 0x04, 0, 0, 0, 9, 0, 0, 0});
  TVZVariant r;
  r.readFrom(marked);
  EXPECT_TRUE(r.isNull());
  EXPECT_EQ(r.type(), st::Integer);
  r.readFrom(marked);
  EXPECT_EQ(r.asInteger(), 9);
}

TEST(ValueStream, ShortWritesNameTheItem) {
  // A medium that takes 0, 1, 2 or 6 bytes fails on the type, the marker,
  // the size and the data in turn.
  const std::pair<size_t, int32_t> cases[] = {{0, 10179}, {1, 10180}, {2, 10181}, {6, 10182}};
  for (auto [capacity, code] : cases) {
    MemoryStream s({}, capacity);
    expectVZError([&] { vt::integer(5).writeTo(s); }, code);
  }
  MemoryStream s({}, 8);
  expectVZError([&] { vt::integer(5).writeTo(s); }, 10182,
                "Cannot write to stream. Position = 6, Stream size = 8, Block size = 4, Bytes Write = 2"
                " - Native error: 10182");
}

TEST(ValueStream, ShortAndMalformedReads) {
  const std::vector<uint8_t> whole = {0x07, 0x00, 0x04, 0, 0, 0, 0x05, 0, 0, 0};
  const std::pair<size_t, int32_t> cases[] = {{0, 10183}, {1, 10184}, {4, 10185}, {8, 10186}};
  for (auto [length, code] : cases) {
    MemoryStream s(std::vector<uint8_t>(whole.begin(), whole.begin() + long(length)));
    TVZVariant v;
    expectVZError([&] { v.readFrom(s); }, code);
  }
  MemoryStream shortData(std::vector<uint8_t>(whole.begin(), whole.begin() + 8));
  TVZVariant v;
  expectVZError([&] { v.readFrom(shortData); }, 10186,
                "Cannot read from stream. Position = 6, Stream size = 8, Block size = 4, Bytes Read = 0"
                " - Native error: 10186");

  // Sizes that the stream cannot hold or the type cannot have are refused
  // before anything is read or allocated.
  const std::vector<uint8_t> malformed[] = {
      {0x03, 0x00, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0},  // 2 GiB text
      {0x03, 0x00, 0xFE, 0xFF, 0xFF, 0xFF, 'a', 0},  // negative size
      {0x07, 0x00, 0x02, 0, 0, 0, 5, 0},             // INTEGER of two bytes
      {0x03, 0x00, 0x00, 0, 0, 0},                   // a text without terminator
      {0x63, 0x00, 0x01, 0, 0, 0, 5},                // no such type
  };
  for (const auto& bytes : malformed) {
    MemoryStream s(bytes);
    TVZVariant r;
    expectVZError([&] { r.readFrom(s); }, 10186);
    EXPECT_TRUE(r.isNull());
  }
}

}  // namespace
