#include <gtest/gtest.h>

#include <random>

#include "hex.h"
#include "platform/bytes.h"
#include "platform/errors.h"
#include "recordstore/blob_compression.h"

namespace {

int32_t frameLength(const std::string& frame) {
  return platform::loadI32(reinterpret_cast<const uint8_t*>(frame.data()));
}

TEST(ZlibFrame, CompressesWhatShrinksAndKeepsTheRest) {
  EXPECT_EQ(rec::zlibFrame(""), "");
  EXPECT_EQ(rec::zlibUnframe(""), "");

  std::string text;
  for (int i = 0; i < 50; ++i) text += "Ligne de facture, quantit\xE9 12\r\n";
  std::string frame = rec::zlibFrame(text);
  EXPECT_EQ(frameLength(frame), int32_t(text.size()));
  EXPECT_LT(frame.size(), text.size());
  EXPECT_EQ(rec::zlibUnframe(frame), text);

  // 100 bytes that do not compress: -100 followed by the bytes, 104 in all.
  std::mt19937 random(3);
  std::string noise(100, '\0');
  for (auto& c : noise) c = char(random());
  frame = rec::zlibFrame(noise);
  EXPECT_EQ(frameLength(frame), -100);
  EXPECT_EQ(frame.size(), 104u);
  EXPECT_EQ(frame.substr(4), noise);
  EXPECT_EQ(rec::zlibUnframe(frame), noise);

  frame = rec::zlibFrame("x");
  EXPECT_EQ(frameLength(frame), -1);
  EXPECT_EQ(rec::zlibUnframe(frame), "x");
}

TEST(ZlibFrame, DamagedFramesRaise) {
  std::string text(1000, 'a');
  std::string good = rec::zlibFrame(text);
  auto withLength = [&](int32_t length, std::string rest) {
    std::string f(4, '\0');
    platform::storeI32(reinterpret_cast<uint8_t*>(f.data()), length);
    return f + rest;
  };
  std::string stream = good.substr(4);
  std::string cases[] = {
      "ab",                                          // shorter than its length
      withLength(-5, "abc"),                         // plain length that does not match
      withLength(999, stream),                       // stream longer than its length
      withLength(1001, stream),                      // stream shorter than its length
      withLength(1000, stream.substr(0, 5)),         // truncated stream
      withLength(1000, "not a zlib stream at all"),  // not a stream
      withLength(0x7FFFFFFF, stream),                // a length no stream of this size reaches
  };
  for (const std::string& frame : cases) EXPECT_THROW(rec::zlibUnframe(frame), platform::EDatabaseError) << toHex(frame);
}

}  // namespace
