// The PPM model memory: one block holding, above a null unit, the text strip
// (bytes of the input the model refers to) and the model area of the asked
// size, whose units (12 bytes) hold contexts and symbol lists. Everything in
// it is addressed by 32-bit offsets from the start of the block, so the model
// takes the same room on every platform and runs out of memory at the same
// points.
//
// The model area is accounted as the stored coder's: it keeps no text of its
// own, and every update that puts a symbol in the text takes one unit for it
// (given back when the update ends at the highest order, and becoming the
// context when one is made there from that text position). The text strip is
// therefore outside the model area and costs it nothing.
//
// Units come from free lists kept by size index (1, 2, 3, 4, 6, 8 ... 128
// units), from the untouched middle of the units area (the top 7/8 of the
// model area; lists from its low end, contexts from its high end), and at
// last from the fall-back part below it. When every list is empty the free
// blocks are glued together and sorted into the lists again.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

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

  // Empties the block: the text strip starts empty, the units area takes the
  // top 7/8 of the model area's whole units, the rest is the fall-back part.
  void reset();

  uint8_t* at(uint32_t offset) { return base_.get() + offset; }
  const uint8_t* at(uint32_t offset) const { return base_.get() + offset; }

  // Every allocation answers 0 when the memory is exhausted.
  uint32_t allocContext();
  uint32_t allocUnits(int units);
  uint32_t expandUnits(uint32_t old, int oldUnits);
  uint32_t shrinkUnits(uint32_t old, int oldUnits, int newUnits);
  void freeUnits(uint32_t block, int units) { insertNode(block, unitsToIndex_[size_t(units - 1)]); }

  // The text strip: `text` is the next free byte. Offsets in the strip are
  // below every unit, so a successor at or below `text` is a text position.
  // A full strip stops writing and makes the memory nearly full.
  uint32_t text() const { return text_; }
  uint32_t textStart() const { return kUnitSize; }
  void putText(uint8_t symbol) {
    if (text_ == areaStart_) {
      textOverflow_ = true;
      return;
    }
    base_[text_++] = symbol;
  }
  void unputText() { --text_; }

  // The unit that stands for text position `position` (a successor written
  // by the update that put the symbol before it): taken when the symbol is
  // put, given back when the update ends at the highest order, claimed by the
  // context made at the highest order from that position (0 when it has none).
  bool takeTextUnit(uint32_t position);
  void giveBackTextUnit(uint32_t position);
  uint32_t claimTextUnit(uint32_t position);

  static int unitsOf(int index) { return indexToUnits_[size_t(index)]; }
  static int indexOf(int units) { return unitsToIndex_[size_t(units - 1)]; }

  // Whether more than half of the fall-back part has been handed out (or the
  // text strip is full). The stored coder runs out of memory only when a
  // request finds no free block and no room left in the fall-back part;
  // where that happens depends on how its free blocks are cut, which this
  // coder follows closely but not to the unit, so it stops at half.
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
  uint32_t textCapacity_ = 0;
  std::array<uint32_t, kIndexCount> freeList_{};
  // text_: the strip's next byte; areaStart_: the end of the strip and the
  // start of the model area (the bottom of the fall-back part);
  // fallBackTop_: where the units area started.
  uint32_t text_ = 0, areaStart_ = 0, fallBackTop_ = 0;
  uint32_t unitsStart_ = 0, loUnit_ = 0, hiUnit_ = 0;
  int glueCount_ = 0;
  bool textOverflow_ = false;
  std::vector<uint32_t> textUnits_;  // by text position above the strip start
};

}  // namespace vz::ppmd
