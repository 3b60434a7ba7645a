// The PPM model memory: one block holding the text area (bytes of the input
// the model refers to) at its bottom and the units area (12-byte units for
// contexts and symbol lists) at its top. Everything in it is addressed by
// 32-bit offsets from the start of the block, so the model takes the same
// room on every platform and runs out of memory at the same points.
//
// Units come from free lists kept by size index (1, 2, 3, 4, 6, 8 ... 128
// units), from the untouched middle of the units area (lists from its low
// end, contexts from its high end), and at last from the top of the text
// area. When every list is empty the free blocks are glued together and
// sorted into the lists again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/bytes.h"

namespace vz::ppmd {

inline constexpr uint32_t kUnitSize = 12;
inline constexpr int kIndexCount = 38;  // 4 sizes by 1 unit, 4 by 2, 4 by 3, 26 by 4
inline constexpr int kMaxUnits = 128;

// Layout of a context unit: symbol count, frequency sum, offset of its
// symbol list, offset of its suffix. A context of one symbol keeps that
// symbol's state in place of the sum and the list offset.
namespace context_layout {
inline constexpr uint32_t kNumStats = 0;   // u16
inline constexpr uint32_t kSummFreq = 2;   // u16
inline constexpr uint32_t kOneState = 2;   // 6-byte state
inline constexpr uint32_t kStats = 4;      // u32
inline constexpr uint32_t kSuffix = 8;     // u32
inline constexpr uint32_t kSize = 12;
}  // namespace context_layout

// Layout of a symbol state: symbol, frequency, offset of its successor
// (a context, or a position in the text area).
namespace state_layout {
inline constexpr uint32_t kSymbol = 0;     // u8
inline constexpr uint32_t kFreq = 1;       // u8
inline constexpr uint32_t kSuccessor = 2;  // u32
inline constexpr uint32_t kSize = 6;
}  // namespace state_layout

// Layout of a free block while the blocks are glued: a stamp (0xFFFF marks a
// free block), its unit count, the next and previous free blocks. In a free
// list only the next offset (at 4) is used.
namespace free_block_layout {
inline constexpr uint32_t kStamp = 0;  // u16
inline constexpr uint32_t kUnits = 2;  // u16
inline constexpr uint32_t kNext = 4;   // u32
inline constexpr uint32_t kPrev = 8;   // u32
}  // namespace free_block_layout

static_assert(context_layout::kSize == kUnitSize);
static_assert(2 * state_layout::kSize == kUnitSize);
static_assert(context_layout::kOneState + state_layout::kSize == context_layout::kSuffix);
static_assert(free_block_layout::kPrev + 4 == kUnitSize);

class ModelMemory {
 public:
  ModelMemory();

  // Makes the block `bytes` long, keeping the present one when it already
  // is. False when it cannot be allocated.
  bool reserve(size_t bytes);
  size_t size() const { return size_; }

  // Empties the block: the text area starts at the bottom, the units area
  // takes the top 7/8 (whole units).
  void reset();

  uint8_t* at(uint32_t offset) { return base_.get() + offset; }
  const uint8_t* at(uint32_t offset) const { return base_.get() + offset; }

  // Every allocation answers 0 when the memory is exhausted.
  uint32_t allocContext();
  uint32_t allocUnits(int units);
  uint32_t expandUnits(uint32_t old, int oldUnits);
  uint32_t shrinkUnits(uint32_t old, int oldUnits, int newUnits);
  void freeUnits(uint32_t block, int units) { insertNode(block, unitsToIndex_[size_t(units - 1)]); }

  // The text area: `text` is the next free byte; it may grow up to the
  // bottom of the units area.
  uint32_t text() const { return text_; }
  uint32_t textStart() const { return kUnitSize; }
  uint32_t unitsStart() const { return unitsStart_; }
  void putText(uint8_t symbol) { base_[text_++] = symbol; }
  void unputText() { --text_; }

  static int unitsOf(int index) { return indexToUnits_[size_t(index)]; }
  static int indexOf(int units) { return unitsToIndex_[size_t(units - 1)]; }

  // Whether the model has grown to 80 % of what the stored coder's memory
  // holds, counting one unit for every text symbol as that coder's model
  // does. Streams stay those of the stored coder only while its model has
  // not run out; this coder stops well before that point.
  bool nearlyFull() const;

 private:
  static uint32_t bytesOf(int units) { return uint32_t(units) * kUnitSize; }
  uint32_t next(uint32_t node) const { return platform::loadU32(at(node + free_block_layout::kNext)); }
  void setNext(uint32_t node, uint32_t value) { platform::storeU32(at(node + free_block_layout::kNext), value); }
  void insertNode(uint32_t block, int index);
  uint32_t removeNode(int index);
  void splitBlock(uint32_t block, int oldIndex, int newIndex);
  void glueFreeBlocks();
  uint32_t allocUnitsRare(int index);

  static const std::array<uint8_t, kIndexCount> indexToUnits_;
  static const std::array<uint8_t, kMaxUnits> unitsToIndex_;

  std::unique_ptr<uint8_t[]> base_;
  size_t size_ = 0;
  std::array<uint32_t, kIndexCount> freeList_{};
  uint32_t text_ = 0, unitsStart_ = 0, loUnit_ = 0, hiUnit_ = 0;
  int glueCount_ = 0;
  uint64_t freeListUnits_ = 0;
};

}  // namespace vz::ppmd
