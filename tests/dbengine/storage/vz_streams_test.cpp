#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbengine/storage/vz_streams.h"
#include "platform/errors.h"
#include "transform_test_data.h"

using namespace vz;
using platform::EVZException;
using transforms_test::codeOf;

TEST(MemoryStream, ReadWriteSeekAndSizeChanges) {
  TVZMemoryStream s;
  const auto data = transforms_test::randomBytes(200000, 4);
  EXPECT_EQ(s.write(data.data(), data.size()), data.size());
  EXPECT_EQ(s.size(), 200000);
  EXPECT_EQ(s.position(), 200000);
  EXPECT_EQ(s.seek(-10, SeekOrigin::End), 199990);
  uint8_t buf[32];
  EXPECT_EQ(s.read(buf, sizeof buf), 10u);  // only up to the end
  EXPECT_EQ(buf[0], data[199990]);
  EXPECT_EQ(s.read(buf, sizeof buf), 0u);

  // Writing beyond the end fills the gap with zeros.
  s.setPosition(200010);
  s.write("x", 1);
  EXPECT_EQ(s.size(), 200011);
  s.setPosition(199999);
  ASSERT_EQ(s.read(buf, 12), 12u);
  EXPECT_EQ(buf[0], data[199999]);
  for (int i = 1; i < 11; ++i) EXPECT_EQ(buf[i], 0);
  EXPECT_EQ(buf[11], 'x');

  // Cutting keeps the position inside; growing again shows zeros, not old bytes.
  s.setSize(100);
  EXPECT_EQ(s.position(), 100);
  s.setSize(150);
  s.setPosition(100);
  ASSERT_EQ(s.read(buf, 32), 32u);
  for (uint8_t b : buf) EXPECT_EQ(b, 0);

  EXPECT_EQ(codeOf([&] { s.seek(-1, SeekOrigin::Begin); }), 10080);
  EXPECT_EQ(codeOf([&] { s.setSize(-1); }), 10092);
}

TEST(MemoryStream, GrowthStepKeepsWholeSteps) {
  TVZMemoryStream s(1 << 20);
  s.write("abc", 3);
  s.setPosition(5 << 20);
  s.write("d", 1);
  EXPECT_EQ(s.size(), (5 << 20) + 1);
  s.setPosition(1);
  char c;
  s.read(&c, 1);
  EXPECT_EQ(c, 'b');
}

TEST(StreamCopies, CopyAndLoadInBlocksWithProgress) {
  TVZMemoryStream source;
  const auto data = transforms_test::randomBytes(1000, 5);
  source.write(data.data(), data.size());
  source.setCopyBlockSize(300);
  std::vector<int> progress;
  source.onProgress = [&](int p) { progress.push_back(p); };

  TVZMemoryStream target;
  target.write("head", 4);
  source.copyTo(target);
  EXPECT_EQ(target.size(), 1004);
  EXPECT_EQ(std::vector<uint8_t>(target.data() + 4, target.data() + 1004), data);
  EXPECT_EQ(progress, (std::vector<int>{0, 30, 60, 90, 100, 100}));

  TVZMemoryStream loaded;
  loaded.write("old contents that go", 20);
  loaded.loadFrom(source, 100, 250);
  EXPECT_EQ(loaded.size(), 250);
  EXPECT_EQ(loaded.position(), 0);
  EXPECT_EQ(std::vector<uint8_t>(loaded.data(), loaded.data() + 250),
            std::vector<uint8_t>(data.begin() + 100, data.begin() + 350));
  loaded.loadFrom(source, 900, -1);
  EXPECT_EQ(loaded.size(), 100);

  // Asking for more than the source holds is a short read.
  EXPECT_EQ(codeOf([&] { loaded.loadFrom(source, 900, 200); }), 10148);
  EXPECT_EQ(codeOf([&] { source.setCopyBlockSize(0); }), 10418);
  EXPECT_EQ(source.copyBlockSize(), 300u);
}

TEST(StreamCopies, ErrorTextsCarryTheirNumbers) {
  TVZMemoryStream source;
  source.write("12345", 5);
  TVZMemoryStream target;
  try {
    target.loadFrom(source, 2, 10);
    FAIL();
  } catch (const EVZException& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot read from stream. Position = 2, Stream size = 5, Block size = 10, Bytes Read = 3"
              " - Native error: 10148");
  }
}
