// The carry-less range coder of the PPM streams: 32-bit low and range, a byte
// leaves the coder whenever the top byte of the interval is settled or the
// range falls below 2^15 (then it is cut to the next 2^15 boundary), and the
// stream ends with the four bytes of low.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vz::ppmd {

inline constexpr uint32_t kRangeTop = 1u << 24;
inline constexpr uint32_t kRangeBottom = 1u << 15;

class RangeEncoder {
 public:
  // Output beyond `capacity` bytes marks the encoder full; the bytes coded
  // so far stay valid.
  RangeEncoder(std::vector<uint8_t>& out, size_t capacity) : out_(out), capacity_(capacity) {}

  // Codes [low, high) of `scale`; false when the range cannot take the scale.
  bool encode(uint32_t low, uint32_t high, uint32_t scale) {
    range_ /= scale;
    if (range_ == 0) return false;
    low_ += low * range_;
    range_ *= high - low;
    return true;
  }
  // Codes [low, high) of 2^bits.
  bool encodeShift(uint32_t low, uint32_t high, int bits) {
    range_ >>= bits;
    if (range_ == 0) return false;
    low_ += low * range_;
    range_ *= high - low;
    return true;
  }
  void normalize() {
    for (;;) {
      if ((low_ ^ (low_ + range_)) >= kRangeTop) {
        if (range_ >= kRangeBottom) return;
        range_ = (0u - low_) & (kRangeBottom - 1);
      }
      put(uint8_t(low_ >> 24));
      range_ <<= 8;
      low_ <<= 8;
    }
  }
  void flush() {
    for (int i = 0; i < 4; ++i) {
      put(uint8_t(low_ >> 24));
      low_ <<= 8;
    }
  }
  bool full() const { return full_; }

 private:
  void put(uint8_t b) {
    if (out_.size() >= capacity_) {
      full_ = true;
      return;
    }
    out_.push_back(b);
  }

  std::vector<uint8_t>& out_;
  size_t capacity_;
  uint32_t low_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
  bool full_ = false;
};

class RangeDecoder {
 public:
  RangeDecoder(const uint8_t* data, size_t size) : data_(data), size_(size) {
    for (int i = 0; i < 4; ++i) code_ = (code_ << 8) | next();
  }

  // The count of the next coding under `scale`; false when the range cannot
  // take the scale (only a damaged stream gets there).
  bool count(uint32_t scale, uint32_t& value) {
    range_ /= scale;
    if (range_ == 0) return false;
    value = (code_ - low_) / range_;
    return true;
  }
  bool countShift(int bits, uint32_t& value) {
    range_ >>= bits;
    if (range_ == 0) return false;
    value = (code_ - low_) / range_;
    return true;
  }
  void remove(uint32_t low, uint32_t high) {
    low_ += low * range_;
    range_ *= high - low;
  }
  void normalize() {
    for (;;) {
      if ((low_ ^ (low_ + range_)) >= kRangeTop) {
        if (range_ >= kRangeBottom) return;
        range_ = (0u - low_) & (kRangeBottom - 1);
      }
      code_ = (code_ << 8) | next();
      range_ <<= 8;
      low_ <<= 8;
    }
  }
  // True when the stream was read exactly to its end, no byte missing.
  bool endedExactly() const { return position_ == size_ && overrun_ == 0; }

 private:
  uint8_t next() {
    if (position_ >= size_) {
      ++overrun_;
      return 0;
    }
    return data_[position_++];
  }

  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  size_t overrun_ = 0;
  uint32_t code_ = 0;
  uint32_t low_ = 0;
  uint32_t range_ = 0xFFFFFFFFu;
};

}  // namespace vz::ppmd
