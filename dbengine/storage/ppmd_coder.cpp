#include "dbengine/storage/ppmd_coder.h"

#include <algorithm>
#include <array>
#include <mutex>

#include "dbengine/storage/ppmd_model.h"
#include "platform/bytes.h"
#include "platform/errors.h"

namespace vz::ppmd {
namespace {

constexpr std::array<Parameters, 9> kLevels = {{
    {2, 2}, {3, 3}, {4, 7}, {5, 16}, {7, 22}, {8, 25}, {10, 40}, {13, 100}, {16, 100},
}};

[[noreturn]] void compressionError() { throw platform::Exception("PPM Compression error"); }
[[noreturn]] void decompressionError() { throw platform::Exception("PPM Decompression error"); }

}  // namespace

Parameters parametersForLevel(int level) { return kLevels[size_t(std::clamp(level, 1, 9) - 1)]; }

uint32_t headerWord(const Parameters& p) {
  return uint32_t(p.order - 1) | (uint32_t(p.memoryMiB - 1) << 4) | (kVariantG << 12);
}

namespace {

// The process-wide model memory and the lock that serialises its users.
std::mutex& modelLock() {
  static std::mutex lock;
  return lock;
}

ModelMemory& modelMemory() {
  static ModelMemory memory;
  return memory;
}

bool validParameters(const Parameters& p) {
  return p.order >= 1 && p.order <= Model::kMaxOrder && p.memoryMiB >= 1 && p.memoryMiB <= 256;
}

// Where the model memory runs out, the stored coder restarts its model. This
// model accounts its memory as that coder does and runs out at the same point
// when the last request is for few units, but not yet always when it is for a
// large list (see ModelMemory::nearlyFull). Data that takes the model near
// that point is refused both ways instead of being coded differently.
bool withinSharedRange(const Model& model, const ModelMemory& memory) {
  return model.restarts() == 0 && !memory.nearlyFull();
}

}  // namespace

std::vector<uint8_t> compress(const void* input, size_t length, const Parameters& parameters) {
  if (!validParameters(parameters)) compressionError();
  const size_t capacity = length + length / 20 + 50;
  std::vector<uint8_t> out(kHeaderSize);
  platform::storeU32(out.data(), headerWord(parameters));
  out.reserve(capacity);

  std::lock_guard<std::mutex> hold(modelLock());
  ModelMemory& memory = modelMemory();
  if (!memory.reserve(size_t(parameters.memoryMiB) << 20)) compressionError();
  Model model(memory, parameters.order);
  RangeEncoder coder(out, capacity);
  const auto* in = static_cast<const uint8_t*>(input);
  for (size_t i = 0; i < length; ++i) {
    if (!model.encode(coder, in[i]) || coder.full() || !withinSharedRange(model, memory)) compressionError();
  }
  if (!model.encode(coder, -1)) compressionError();
  coder.flush();
  if (coder.full()) compressionError();
  return out;
}

std::vector<uint8_t> decompress(const void* input, size_t length, size_t expectedLength) {
  if (expectedLength == 0) throw platform::Exception("PPM DecpmpressBuf: OutSize must be set");
  if (length < kHeaderSize) decompressionError();
  const auto* in = static_cast<const uint8_t*>(input);
  const uint32_t word = platform::loadU32(in);
  if ((word >> 12) != kVariantG) decompressionError();
  const Parameters parameters{int(word & 0xF) + 1, int((word >> 4) & 0xFF) + 1};

  std::vector<uint8_t> out;
  out.reserve(std::min(expectedLength, length * 8 + 1024));
  std::lock_guard<std::mutex> hold(modelLock());
  ModelMemory& memory = modelMemory();
  if (!memory.reserve(size_t(parameters.memoryMiB) << 20)) decompressionError();
  Model model(memory, parameters.order);
  RangeDecoder coder(in + kHeaderSize, length - kHeaderSize);
  for (;;) {
    int symbol;
    if (!model.decode(coder, symbol)) decompressionError();
    if (symbol < 0) break;
    if (!withinSharedRange(model, memory)) decompressionError();
    // A stream that goes on past the expected length is not the one asked for.
    if (out.size() == expectedLength) decompressionError();
    out.push_back(uint8_t(symbol));
  }
  if (out.empty() || !coder.endedExactly()) decompressionError();
  return out;
}

}  // namespace vz::ppmd
