// The PPM model with information inheritance: contexts of up to MaxOrder
// symbols with their symbol statistics, binary contexts with adaptive escape
// estimates, secondary escape estimation for the lower orders, and the
// restart from the initial model whenever the model memory runs out.
//
// One Model codes one buffer in one direction, in a memory block borrowed
// for that time (ModelMemory).
#pragma once

#include <array>
#include <cstdint>

#include "dbengine/storage/ppmd_memory.h"
#include "dbengine/storage/ppmd_range_coder.h"

namespace vz::ppmd {

class Model {
 public:
  static constexpr int kMaxOrder = 16;
  // Rows of secondary escape estimates: enough for 255 unmasked symbols.
  static constexpr int kSeeRows = 43;

  Model(ModelMemory& memory, int maxOrder);

  // Codes one symbol (0..255), or the end of the data when symbol is -1.
  // False when the range coder could not take a coding.
  bool encode(RangeEncoder& coder, int symbol);

  // Decodes one symbol into `symbol`, or -1 at the end of the data. False
  // when the stream cannot be a coding of this model (damaged).
  bool decode(RangeDecoder& coder, int& symbol);

  // How many times the model memory ran out.
  int restarts() const { return restarts_; }

 private:
  struct See {
    uint16_t summ = 0;
    uint8_t shift = 0;
    uint8_t count = 0;
    uint32_t mean();
    void update();
  };

  // Context and state fields in the model memory.
  int numStats(uint32_t c) const;
  void setNumStats(uint32_t c, int n);
  uint32_t summFreq(uint32_t c) const;
  void setSummFreq(uint32_t c, uint32_t v);
  void addSummFreq(uint32_t c, int v) { setSummFreq(c, summFreq(c) + uint32_t(v)); }
  uint32_t stats(uint32_t c) const;
  void setStats(uint32_t c, uint32_t s);
  uint32_t suffix(uint32_t c) const;
  void setSuffix(uint32_t c, uint32_t s);
  static uint32_t oneState(uint32_t c) { return c + context_layout::kOneState; }
  static uint32_t stateAt(uint32_t statsBlock, int i) { return statsBlock + uint32_t(i) * state_layout::kSize; }
  uint8_t symbolOf(uint32_t s) const { return memory_.at(s)[state_layout::kSymbol]; }
  uint8_t freqOf(uint32_t s) const { return memory_.at(s)[state_layout::kFreq]; }
  void setSymbol(uint32_t s, uint8_t v) { memory_.at(s)[state_layout::kSymbol] = v; }
  void setFreq(uint32_t s, unsigned v) { memory_.at(s)[state_layout::kFreq] = uint8_t(v); }
  uint32_t successorOf(uint32_t s) const;
  void setSuccessor(uint32_t s, uint32_t v);
  void swapStates(uint32_t a, uint32_t b);
  void copyState(uint32_t to, uint32_t from);

  void restartModel();
  void clearMask();
  uint32_t createChild(uint32_t context, uint32_t state, uint8_t symbol, uint8_t freq, uint32_t successor,
                       uint32_t unit = 0);
  uint32_t createSuccessors(bool skip, uint32_t p1);
  void updateModel();
  void rescale();
  uint16_t& binSumm();
  See* makeEscFreq(int diff, uint32_t& scale);
  void update1(uint32_t p);
  void update2(uint32_t p);
  void escapeFromFirst(uint32_t lastState);
  void firstFound(uint32_t p, uint32_t scale);
  void binaryFound(uint32_t rs, uint16_t& bs);
  void binaryEscaped(uint32_t rs, uint16_t& bs);
  bool toUnmaskedSuffix();
  void afterSymbol();

  ModelMemory& memory_;
  int maxOrder_;
  uint32_t minContext_ = 0, maxContext_ = 0, foundState_ = 0;
  int orderFall_ = 0, initEsc_ = 0;
  uint8_t escCount_ = 0, prevSuccess_ = 0;
  int numMasked_ = 0;
  int restarts_ = 0;
  std::array<uint8_t, 256> charMask_{};
  // Binary-context escape estimates: [symbol frequency - 1][2 * suffix size class + previous success].
  std::array<std::array<uint16_t, 16>, 128> binSumm_{};
  // Secondary escape estimates: [row of the unmasked symbol count][fewer
  // unmasked than the suffix has beyond this context + 2 * small frequency
  // sum + 4 * more masked than unmasked].
  std::array<std::array<See, 8>, kSeeRows> see_{};
  See dummySee_;
};

}  // namespace vz::ppmd
