#include "dbengine/storage/ppmd_memory.h"

#include <new>
#include <utility>

namespace vz::ppmd {
namespace {

using namespace free_block_layout;

constexpr std::array<uint8_t, kIndexCount> makeIndexToUnits() {
  std::array<uint8_t, kIndexCount> t{};
  int i = 0, k = 1;
  for (; i < 4; ++i, k += 1) t[size_t(i)] = uint8_t(k);
  for (++k; i < 8; ++i, k += 2) t[size_t(i)] = uint8_t(k);
  for (++k; i < 12; ++i, k += 3) t[size_t(i)] = uint8_t(k);
  for (++k; i < kIndexCount; ++i, k += 4) t[size_t(i)] = uint8_t(k);
  return t;
}

constexpr std::array<uint8_t, kMaxUnits> makeUnitsToIndex(const std::array<uint8_t, kIndexCount>& i2u) {
  std::array<uint8_t, kMaxUnits> t{};
  for (int k = 0, i = 0; k < kMaxUnits; ++k) {
    i += (i2u[size_t(i)] < k + 1);
    t[size_t(k)] = uint8_t(i);
  }
  return t;
}

constexpr uint16_t kFreeStamp = 0xFFFF;

}  // namespace

const std::array<uint8_t, kIndexCount> ModelMemory::indexToUnits_ = makeIndexToUnits();
const std::array<uint8_t, kMaxUnits> ModelMemory::unitsToIndex_ = makeUnitsToIndex(makeIndexToUnits());

static_assert(makeIndexToUnits()[kIndexCount - 1] == kMaxUnits);
static_assert(makeIndexToUnits()[4] == 6 && makeIndexToUnits()[8] == 15 && makeIndexToUnits()[12] == 28);

ModelMemory::ModelMemory() = default;

bool ModelMemory::reserve(size_t bytes) {
  if (base_ && size_ == bytes) return true;
  base_.reset();
  size_ = 0;
  // Room for twice as many text bytes as the model area has units: every
  // symbol put takes a unit unless its update ends at the highest order. A
  // strip that fills up all the same makes the memory nearly full.
  const uint32_t strip = uint32_t(bytes / kUnitSize * 2);
  // One unit below the text strip keeps offset 0 free to mean "none"; one
  // unit above the model area stops the glue pass at the end of the block.
  base_.reset(new (std::nothrow) uint8_t[kUnitSize + strip + bytes + kUnitSize]);
  if (!base_) return false;
  size_ = bytes;
  textCapacity_ = strip;
  return true;
}

void ModelMemory::reset() {
  freeList_.fill(0);
  std::memset(base_.get(), 0, kUnitSize);
  text_ = kUnitSize;
  areaStart_ = text_ + textCapacity_;
  textOverflow_ = false;
  textUnits_.clear();
  hiUnit_ = areaStart_ + uint32_t(size_ / kUnitSize * kUnitSize);
  std::memset(at(hiUnit_), 0, kUnitSize);
  loUnit_ = unitsStart_ = fallBackTop_ = hiUnit_ - uint32_t(size_ / 8 / kUnitSize * 7 * kUnitSize);
  glueCount_ = 0;
}

void ModelMemory::insertNode(uint32_t block, int index) {
  setNext(block, freeList_[size_t(index)]);
  freeList_[size_t(index)] = block;
}

uint32_t ModelMemory::removeNode(int index) {
  const uint32_t block = freeList_[size_t(index)];
  freeList_[size_t(index)] = next(block);
  return block;
}

bool ModelMemory::nearlyFull() const {
  return textOverflow_ || uint64_t(fallBackTop_ - unitsStart_) * 2 > uint64_t(fallBackTop_ - areaStart_);
}

bool ModelMemory::takeTextUnit(uint32_t position) {
  const uint32_t unit = allocContext();
  if (unit == 0) return false;
  // Nothing else is written to this unit: clear the stamp a glue pass may
  // have left in it, or a later pass would take it for a free block.
  platform::storeU16(at(unit + kStamp), 0);
  const size_t i = position - textStart() - 1;
  if (textUnits_.size() <= i) textUnits_.resize(i + 1, 0);
  textUnits_[i] = unit;
  return true;
}

void ModelMemory::giveBackTextUnit(uint32_t position) {
  const uint32_t unit = claimTextUnit(position);
  if (unit != 0) freeUnits(unit, 1);
}

uint32_t ModelMemory::claimTextUnit(uint32_t position) {
  if (position <= textStart() || position - textStart() - 1 >= textUnits_.size()) return 0;
  return std::exchange(textUnits_[position - textStart() - 1], 0);
}

void ModelMemory::splitBlock(uint32_t block, int oldIndex, int newIndex) {
  int diff = unitsOf(oldIndex) - unitsOf(newIndex);
  uint32_t p = block + bytesOf(unitsOf(newIndex));
  int i = indexOf(diff);
  if (unitsOf(i) != diff) {
    --i;
    insertNode(p, i);
    p += bytesOf(unitsOf(i));
    diff -= unitsOf(i);
  }
  insertNode(p, indexOf(diff));
}

void ModelMemory::glueFreeBlocks() {
  // The free blocks become one doubly linked ring (head: offset 0, whose
  // unit is never a block), each stamped with its unit count.
  auto stamp = [&](uint32_t b) { return platform::loadU16(at(b + kStamp)); };
  auto units = [&](uint32_t b) { return uint32_t(platform::loadU16(at(b + kUnits))); };
  auto prev = [&](uint32_t b) { return platform::loadU32(at(b + kPrev)); };
  auto setPrev = [&](uint32_t b, uint32_t v) { platform::storeU32(at(b + kPrev), v); };
  auto unlink = [&](uint32_t b) {
    setNext(prev(b), next(b));
    setPrev(next(b), prev(b));
  };
  constexpr uint32_t head = 0;

  if (loUnit_ != hiUnit_) at(loUnit_)[0] = 0;
  setNext(head, head);
  setPrev(head, head);
  for (int i = 0; i < kIndexCount; ++i) {
    while (freeList_[size_t(i)] != 0) {
      const uint32_t p = removeNode(i);
      // Insert right after the head.
      const uint32_t n = next(head);
      setPrev(p, head);
      setNext(p, n);
      setPrev(n, p);
      setNext(head, p);
      platform::storeU16(at(p + kStamp), kFreeStamp);
      platform::storeU16(at(p + kUnits), uint16_t(unitsOf(i)));
    }
  }
  for (uint32_t p = next(head); p != head; p = next(p)) {
    for (;;) {
      const uint32_t p1 = p + bytesOf(int(units(p)));
      if (stamp(p1) != kFreeStamp || units(p) + units(p1) >= 0x10000) break;
      unlink(p1);
      platform::storeU16(at(p + kUnits), uint16_t(units(p) + units(p1)));
    }
  }
  for (uint32_t p = next(head); p != head; p = next(head)) {
    unlink(p);
    int sz = int(units(p));
    for (; sz > kMaxUnits; sz -= kMaxUnits, p += bytesOf(kMaxUnits)) insertNode(p, kIndexCount - 1);
    int i = indexOf(sz);
    if (unitsOf(i) != sz) {
      const int k = sz - unitsOf(--i);
      insertNode(p + bytesOf(sz - k), k - 1);
    }
    insertNode(p, i);
  }
  std::memset(base_.get(), 0, kUnitSize);
}

uint32_t ModelMemory::allocUnitsRare(int index) {
  if (glueCount_ == 0) {
    glueCount_ = 255;
    glueFreeBlocks();
    if (freeList_[size_t(index)] != 0) return removeNode(index);
  }
  int i = index;
  do {
    if (++i == kIndexCount) {
      --glueCount_;
      const uint32_t bytes = bytesOf(unitsOf(index));
      if (unitsStart_ - areaStart_ > bytes) return unitsStart_ -= bytes;
      return 0;
    }
  } while (freeList_[size_t(i)] == 0);
  const uint32_t block = removeNode(i);
  splitBlock(block, i, index);
  return block;
}

uint32_t ModelMemory::allocUnits(int units) {
  const int index = indexOf(units);
  if (freeList_[size_t(index)] != 0) return removeNode(index);
  const uint32_t bytes = bytesOf(unitsOf(index));
  if (hiUnit_ - loUnit_ >= bytes) {
    const uint32_t block = loUnit_;
    loUnit_ += bytes;
    return block;
  }
  return allocUnitsRare(index);
}

uint32_t ModelMemory::allocContext() {
  if (hiUnit_ != loUnit_) return hiUnit_ -= kUnitSize;
  if (freeList_[0] != 0) return removeNode(0);
  return allocUnitsRare(0);
}

uint32_t ModelMemory::expandUnits(uint32_t old, int oldUnits) {
  const int i0 = indexOf(oldUnits), i1 = indexOf(oldUnits + 1);
  if (i0 == i1) return old;
  const uint32_t block = allocUnits(oldUnits + 1);
  if (block != 0) {
    std::memcpy(at(block), at(old), bytesOf(oldUnits));
    insertNode(old, i0);
  }
  return block;
}

uint32_t ModelMemory::shrinkUnits(uint32_t old, int oldUnits, int newUnits) {
  const int i0 = indexOf(oldUnits), i1 = indexOf(newUnits);
  if (i0 == i1) return old;
  if (freeList_[size_t(i1)] != 0) {
    const uint32_t block = removeNode(i1);
    std::memcpy(at(block), at(old), bytesOf(newUnits));
    insertNode(old, i0);
    return block;
  }
  splitBlock(old, i0, i1);
  return old;
}

}  // namespace vz::ppmd
