#include "dbengine/storage/ppmd_model.h"

#include <algorithm>
#include <cstring>

namespace vz::ppmd {
namespace {

constexpr int kMaxFreq = 124;
constexpr int kIntBits = 7;
constexpr int kPeriodBits = 7;
constexpr int kTotBits = kIntBits + kPeriodBits;
constexpr int kInterval = 1 << kIntBits;
constexpr int kBinScale = 1 << kTotBits;

// A symbol's state in the suffix of the context it was found in grows by two
// only while its frequency is below this limit.
constexpr int kSuffixFreqLimit = 108;
static_assert(kSuffixFreqLimit + 2 < kMaxFreq);

constexpr std::array<uint8_t, 16> kExpEscape = {25, 14, 9, 7, 5, 5, 4, 4, 4, 3, 3, 3, 2, 2, 2, 2};
// Binary contexts share their adaptive escape estimates by the frequency of
// their symbol and by the size class of their suffix context: one class for
// each of 1 to 6 symbols, one for 7 to 50, and one for 51 and more (the
// order-0 context among them).
constexpr int kBinClasses = 8;
constexpr int kLargeSuffix = 51;
constexpr int binClassOf(int suffixSymbols) {
  if (suffixSymbols <= 6) return suffixSymbols - 1;
  return suffixSymbols < kLargeSuffix ? 6 : 7;
}
static_assert(binClassOf(1) == 0 && binClassOf(7) == 6 && binClassOf(50) == 6 && binClassOf(51) == 7 &&
              binClassOf(256) == kBinClasses - 1);
// The escape estimate a cell starts with is BinScale - T / (freq + 1), T by
// class, after an escape ([0]) or a success ([1]) of the previous coding.
constexpr std::array<std::array<uint16_t, 2>, kBinClasses> kInitBinEsc = {{
    {15581, 7999},
    {22975, 18675},
    {24571, 21829},
    {25553, 23965},
    {25761, 23228},
    {26162, 24657},
    {26870, 21659},
    {27594, 15024},
}};

constexpr unsigned getMean(unsigned summ, int shift, int round) { return (summ + (1u << (shift - round))) >> shift; }

// Secondary escape estimates are chosen by the number of symbols left after
// masking: four rows of one such number, four of two, eight of four, and
// rows of eight for the rest.
constexpr int seeRowWidth(int row) { return row < 4 ? 1 : row < 8 ? 2 : row < 16 ? 4 : 8; }
struct Tables {
  std::array<uint8_t, 256> ns2Indx{};
  constexpr Tables() {
    int row = 0, left = 1;
    for (int i = 0; i < 256; ++i) {
      ns2Indx[size_t(i)] = uint8_t(row);
      if (--left == 0) left = seeRowWidth(++row);
    }
  }
};
constexpr Tables kTables;
static_assert(kTables.ns2Indx[3] == 3 && kTables.ns2Indx[4] == 4 && kTables.ns2Indx[11] == 7 &&
              kTables.ns2Indx[12] == 8 && kTables.ns2Indx[15] == 8 && kTables.ns2Indx[16] == 9 &&
              kTables.ns2Indx[43] == 15 && kTables.ns2Indx[44] == 16 && kTables.ns2Indx[107] == 23 &&
              kTables.ns2Indx[108] == 24 && kTables.ns2Indx[255] == Model::kSeeRows - 1);

}  // namespace

// The estimate handed to the coder keeps only its low ten bits; the sum loses
// the whole mean.
uint32_t Model::See::mean() {
  const unsigned r = summ >> shift;
  summ = uint16_t(summ - r);
  const unsigned estimate = r & 1023u;
  return estimate + (estimate == 0);
}

void Model::See::update() {
  if (shift < kPeriodBits && --count == 0) {
    summ = uint16_t(summ * 2);
    count = uint8_t(3 << shift++);
  }
}

int Model::numStats(uint32_t c) const { return platform::loadU16(memory_.at(c + context_layout::kNumStats)); }
void Model::setNumStats(uint32_t c, int n) { platform::storeU16(memory_.at(c + context_layout::kNumStats), uint16_t(n)); }
uint32_t Model::summFreq(uint32_t c) const { return platform::loadU16(memory_.at(c + context_layout::kSummFreq)); }
void Model::setSummFreq(uint32_t c, uint32_t v) {
  platform::storeU16(memory_.at(c + context_layout::kSummFreq), uint16_t(v));
}
uint32_t Model::stats(uint32_t c) const { return platform::loadU32(memory_.at(c + context_layout::kStats)); }
void Model::setStats(uint32_t c, uint32_t s) { platform::storeU32(memory_.at(c + context_layout::kStats), s); }
uint32_t Model::suffix(uint32_t c) const { return platform::loadU32(memory_.at(c + context_layout::kSuffix)); }
void Model::setSuffix(uint32_t c, uint32_t s) { platform::storeU32(memory_.at(c + context_layout::kSuffix), s); }
uint32_t Model::successorOf(uint32_t s) const { return platform::loadU32(memory_.at(s + state_layout::kSuccessor)); }
void Model::setSuccessor(uint32_t s, uint32_t v) { platform::storeU32(memory_.at(s + state_layout::kSuccessor), v); }

void Model::swapStates(uint32_t a, uint32_t b) {
  uint8_t t[state_layout::kSize];
  std::memcpy(t, memory_.at(a), sizeof t);
  std::memmove(memory_.at(a), memory_.at(b), sizeof t);
  std::memcpy(memory_.at(b), t, sizeof t);
}

void Model::copyState(uint32_t to, uint32_t from) { std::memmove(memory_.at(to), memory_.at(from), state_layout::kSize); }

Model::Model(ModelMemory& memory, int maxOrder) : memory_(memory), maxOrder_(std::clamp(maxOrder, 1, kMaxOrder)) {
  restartModel();
  escCount_ = 1;
  dummySee_.shift = kPeriodBits;
}

void Model::clearMask() {
  escCount_ = 1;
  charMask_.fill(0);
}

// The initial model: the order-0 context with every symbol once, and above it
// a chain of one-symbol contexts for symbol 0 up to order MaxOrder - 1, the
// highest of which coding starts in.
void Model::restartModel() {
  charMask_.fill(0);
  memory_.reset();
  const uint32_t root = memory_.allocContext();
  setSuffix(root, 0);
  setNumStats(root, 256);
  setSummFreq(root, 257);
  const uint32_t rootStats = memory_.allocUnits(256 / 2);
  setStats(root, rootStats);
  for (int i = 0; i < 256; ++i) {
    const uint32_t s = stateAt(rootStats, i);
    setSymbol(s, uint8_t(i));
    setFreq(s, 1);
    setSuccessor(s, 0);
  }
  prevSuccess_ = 0;
  foundState_ = rootStats;

  uint32_t context = root, state = rootStats;
  for (int order = 1; order < maxOrder_; ++order) {
    context = createChild(context, state, 0, 1, 0);
    state = oneState(context);
  }
  // The chain's last state leads to the text where the first symbol will be
  // put, so the first repetition of the chain grows a context for that symbol.
  setSuccessor(state, memory_.text());
  minContext_ = maxContext_ = context;
  orderFall_ = 1;  // one order below the highest, like the chain's top

  for (size_t i = 0; i < binSumm_.size(); ++i)
    for (size_t c = 0; c < kBinClasses; ++c)
      for (size_t ps = 0; ps < 2; ++ps) binSumm_[i][2 * c + ps] = uint16_t(kBinScale - kInitBinEsc[c][ps] / (i + 2));
  // A secondary escape estimate doubles its weight (and its period) after
  // its first three successes.
  for (int i = 0; i < kSeeRows; ++i)
    for (auto& s : see_[size_t(i)]) {
      s.shift = kPeriodBits - 4;
      s.summ = uint16_t((4 * i + 10) << s.shift);
      s.count = 3;
    }
}

uint32_t Model::createChild(uint32_t context, uint32_t state, uint8_t symbol, uint8_t freq, uint32_t successor,
                            uint32_t unit) {
  const uint32_t c = unit != 0 ? unit : memory_.allocContext();
  if (c == 0) return 0;
  setNumStats(c, 1);
  const uint32_t one = oneState(c);
  setSymbol(one, symbol);
  setFreq(one, freq);
  setSuccessor(one, successor);
  setSuffix(c, context);
  setSuccessor(state, c);
  return c;
}

uint32_t Model::createSuccessors(bool skip, uint32_t p1) {
  uint32_t pc = minContext_;
  const uint32_t upBranch = successorOf(foundState_);
  const uint8_t foundSymbol = symbolOf(foundState_);
  std::array<uint32_t, kMaxOrder + 1> ps;
  size_t n = 0;
  uint32_t p = 0;
  if (!skip) {
    ps[n++] = foundState_;
    if (suffix(pc) == 0) goto noLoop;
  }
  if (p1 != 0) {
    p = p1;
    pc = suffix(pc);
    goto loopEntry;
  }
  do {
    pc = suffix(pc);
    if (numStats(pc) != 1) {
      p = stats(pc);
      while (symbolOf(p) != foundSymbol) p += state_layout::kSize;
    } else {
      p = oneState(pc);
    }
  loopEntry:
    if (successorOf(p) != upBranch) {
      pc = successorOf(p);
      break;
    }
    if (n >= ps.size()) return 0;
    ps[n++] = p;
  } while (suffix(pc) != 0);
noLoop:
  if (n == 0) return pc;
  const uint8_t upSymbol = memory_.at(upBranch)[0];
  const uint32_t upSuccessor = upBranch + 1;
  unsigned upFreq;
  if (numStats(pc) != 1) {
    p = stats(pc);
    while (symbolOf(p) != upSymbol) p += state_layout::kSize;
    const unsigned cf = freqOf(p) - 1u;
    const unsigned s0 = summFreq(pc) - unsigned(numStats(pc)) - cf;
    upFreq = 1 + ((2 * cf <= s0) ? (5 * cf > s0) : ((2 * cf + 3 * s0 - 1) / (2 * s0)));
  } else {
    upFreq = freqOf(oneState(pc));
  }
  // A context made at the highest order takes the unit that stood for its
  // text position.
  int order = 0;
  for (uint32_t c = pc; suffix(c) != 0; c = suffix(c)) ++order;
  do {
    const uint32_t unit = ++order == maxOrder_ ? memory_.claimTextUnit(upBranch) : 0;
    pc = createChild(pc, ps[--n], upSymbol, uint8_t(upFreq), upSuccessor, unit);
    if (pc == 0) return 0;
  } while (n != 0);
  return pc;
}

void Model::updateModel() {
  const uint8_t fsSymbol = symbolOf(foundState_);
  const unsigned fsFreq = freqOf(foundState_);
  uint32_t fsSuccessor = successorOf(foundState_);
  uint32_t p = 0, pc = 0, successor = 0;
  unsigned ns1, ns, cf, sf, s0;

  if ((pc = suffix(minContext_)) != 0) {
    p = numStats(pc) != 1 ? stats(pc) : oneState(pc);
    while (symbolOf(p) != fsSymbol) p += state_layout::kSize;
    // At the highest order, when the symbol's state in the suffix already
    // leads to a context, that context follows and no statistics change.
    if (orderFall_ == 0 && successorOf(p) > memory_.text()) {
      minContext_ = maxContext_ = successorOf(p);
      setSuccessor(foundState_, minContext_);
      return;
    }
    if (fsFreq < kMaxFreq / 4) {
      if (numStats(pc) != 1) {
        if (p != stats(pc) && freqOf(p) >= freqOf(p - state_layout::kSize)) {
          swapStates(p, p - state_layout::kSize);
          p -= state_layout::kSize;
        }
        if (freqOf(p) < kSuffixFreqLimit) {
          setFreq(p, freqOf(p) + 2u);
          addSummFreq(pc, 2);
        }
      } else {
        setFreq(p, freqOf(p) + (freqOf(p) < 32));
      }
    }
  }
  if (orderFall_ == 0) {
    minContext_ = maxContext_ = createSuccessors(true, p);
    if (minContext_ == 0) goto restart;
    setSuccessor(foundState_, minContext_);
    return;
  }
  // The stored coder keeps no text: the symbol put here costs it one unit,
  // given back below when the update ends at the highest order.
  memory_.putText(fsSymbol);
  successor = memory_.text();
  if (!memory_.takeTextUnit(successor)) goto restart;
  if (fsSuccessor != 0) {
    if (fsSuccessor <= memory_.text()) {
      fsSuccessor = createSuccessors(false, p);
      if (fsSuccessor == 0) goto restart;
    }
    if (--orderFall_ == 0) {
      memory_.giveBackTextUnit(successor);
      successor = fsSuccessor;
      if (maxContext_ != minContext_) memory_.unputText();
    }
  } else {
    setSuccessor(foundState_, successor);
    fsSuccessor = minContext_;
  }
  ns = unsigned(numStats(minContext_));
  s0 = summFreq(minContext_) - ns - (fsFreq - 1);
  for (pc = maxContext_; pc != minContext_; pc = suffix(pc)) {
    if ((ns1 = unsigned(numStats(pc))) != 1) {
      if ((ns1 & 1) == 0) {
        const uint32_t grown = memory_.expandUnits(stats(pc), int(ns1 >> 1));
        if (grown == 0) goto restart;
        setStats(pc, grown);
      }
      addSummFreq(pc, int((2 * ns1 < ns) + 2 * ((4 * ns1 <= ns) & (summFreq(pc) <= 8 * ns1))));
    } else {
      const uint32_t list = memory_.allocUnits(1);
      if (list == 0) goto restart;
      copyState(list, oneState(pc));
      setStats(pc, list);
      unsigned f = freqOf(list);
      f = f < kMaxFreq / 4 - 1 ? f + f : kMaxFreq - 4;
      setFreq(list, f);
      setSummFreq(pc, f + unsigned(initEsc_) + (ns > 3));
    }
    cf = 2 * fsFreq * (summFreq(pc) + 6);
    sf = s0 + summFreq(pc);
    if (cf < 6 * sf) {
      cf = 1 + (cf > sf) + (cf >= 4 * sf);
      addSummFreq(pc, 3);
    } else {
      cf = 4 + (cf >= 9 * sf) + (cf >= 12 * sf) + (cf >= 15 * sf);
      addSummFreq(pc, int(cf));
    }
    const uint32_t added = stateAt(stats(pc), int(ns1));
    setSuccessor(added, successor);
    setSymbol(added, fsSymbol);
    setFreq(added, cf);
    setNumStats(pc, int(ns1 + 1));
  }
  maxContext_ = minContext_ = fsSuccessor;
  return;
restart:
  restartModel();
  escCount_ = 0;
  ++restarts_;
}

void Model::rescale() {
  const int oldNS = numStats(minContext_);
  const uint32_t st = stats(minContext_);
  int i = oldNS - 1;
  uint32_t p;
  for (p = foundState_; p != st; p -= state_layout::kSize) swapStates(p, p - state_layout::kSize);
  setFreq(st, freqOf(st) + 4u);
  addSummFreq(minContext_, 4);
  int escFreq = int(summFreq(minContext_)) - freqOf(p);
  const int adder = orderFall_ != 0;
  unsigned summ = (freqOf(p) + unsigned(adder)) >> 1;
  setFreq(p, summ);
  do {
    p += state_layout::kSize;
    escFreq -= freqOf(p);
    const unsigned f = (freqOf(p) + unsigned(adder)) >> 1;
    setFreq(p, f);
    summ += f;
    if (f > freqOf(p - state_layout::kSize)) {
      uint8_t tmp[state_layout::kSize];
      std::memcpy(tmp, memory_.at(p), sizeof tmp);
      uint32_t p1 = p;
      do {
        copyState(p1, p1 - state_layout::kSize);
        p1 -= state_layout::kSize;
      } while (p1 != st && f > freqOf(p1 - state_layout::kSize));
      std::memcpy(memory_.at(p1), tmp, sizeof tmp);
    }
  } while (--i != 0);
  setSummFreq(minContext_, summ);
  if (freqOf(p) == 0) {
    do {
      ++i;
      p -= state_layout::kSize;
    } while (freqOf(p) == 0);
    escFreq += i;
    setNumStats(minContext_, oldNS - i);
    if (oldNS - i == 1) {
      uint8_t tmp[state_layout::kSize];
      std::memcpy(tmp, memory_.at(st), sizeof tmp);
      unsigned f = tmp[state_layout::kFreq];
      do {
        f -= f >> 1;
        escFreq >>= 1;
      } while (escFreq > 1);
      tmp[state_layout::kFreq] = uint8_t(f);
      memory_.freeUnits(st, (oldNS + 1) >> 1);
      foundState_ = oneState(minContext_);
      std::memcpy(memory_.at(foundState_), tmp, sizeof tmp);
      return;
    }
  }
  escFreq -= escFreq >> 1;
  addSummFreq(minContext_, escFreq);
  const int n0 = (oldNS + 1) >> 1, n1 = (numStats(minContext_) + 1) >> 1;
  if (n0 != n1) setStats(minContext_, memory_.shrinkUnits(st, n0, n1));
  foundState_ = stats(minContext_);
}

uint16_t& Model::binSumm() {
  const uint32_t rs = oneState(minContext_);
  const int suffixStats = numStats(suffix(minContext_));
  return binSumm_[size_t(freqOf(rs) - 1)][size_t(2 * binClassOf(suffixStats) + prevSuccess_)];
}

Model::See* Model::makeEscFreq(int diff, uint32_t& scale) {
  const int ns = numStats(minContext_);
  if (ns != 256) {
    See* see = &see_[kTables.ns2Indx[size_t(diff - 1)]]
                    [size_t((diff < numStats(suffix(minContext_)) - ns) + 2 * (summFreq(minContext_) < 11u * unsigned(ns)) +
                            4 * (numMasked_ > diff))];
    scale = see->mean();
    return see;
  }
  scale = 1;
  return &dummySee_;
}

void Model::update1(uint32_t p) {
  foundState_ = p;
  setFreq(p, freqOf(p) + 4u);
  addSummFreq(minContext_, 4);
  if (freqOf(p) > freqOf(p - state_layout::kSize)) {
    swapStates(p, p - state_layout::kSize);
    foundState_ = p -= state_layout::kSize;
    if (freqOf(p) > kMaxFreq) rescale();
  }
}

void Model::update2(uint32_t p) {
  foundState_ = p;
  setFreq(p, freqOf(p) + 4u);
  addSummFreq(minContext_, 4);
  if (freqOf(p) > kMaxFreq) rescale();
  ++escCount_;
}

// Every symbol of the first context was not the one coded: mask them all.
void Model::escapeFromFirst(uint32_t lastState) {
  const int ns = numStats(minContext_);
  numMasked_ = ns;
  for (int i = 0; i < ns; ++i) charMask_[symbolOf(lastState - uint32_t(i) * state_layout::kSize)] = escCount_;
  foundState_ = 0;
}

// The first symbol of the context's list was coded.
void Model::firstFound(uint32_t p, uint32_t scale) {
  const unsigned freq = freqOf(p);
  prevSuccess_ = 2 * freq > scale;
  foundState_ = p;
  setFreq(p, freq + 4);
  addSummFreq(minContext_, 4);
  if (freq + 4 > kMaxFreq) rescale();
}

void Model::binaryFound(uint32_t rs, uint16_t& bs) {
  foundState_ = rs;
  setFreq(rs, freqOf(rs) + (freqOf(rs) < 128));
  bs = uint16_t(bs + kInterval - getMean(bs, kPeriodBits, 2));
  prevSuccess_ = 1;
}

void Model::binaryEscaped(uint32_t rs, uint16_t& bs) {
  bs = uint16_t(bs - getMean(bs, kPeriodBits, 2));
  initEsc_ = kExpEscape[size_t(bs >> 10)];
  numMasked_ = 1;
  charMask_[symbolOf(rs)] = escCount_;
  prevSuccess_ = 0;
  foundState_ = 0;
}

// After an escape: down to the next context that has a symbol not yet
// excluded; false below the root (the end of the data).
bool Model::toUnmaskedSuffix() {
  do {
    ++orderFall_;
    minContext_ = suffix(minContext_);
    if (minContext_ == 0) return false;
  } while (numStats(minContext_) == numMasked_);
  return true;
}

void Model::afterSymbol() {
  if (orderFall_ == 0 && successorOf(foundState_) > memory_.text()) {
    minContext_ = maxContext_ = successorOf(foundState_);
  } else {
    updateModel();
    if (escCount_ == 0) clearMask();
  }
}

bool Model::encode(RangeEncoder& coder, int symbol) {
  if (numStats(minContext_) != 1) {
    const uint32_t scale = summFreq(minContext_);
    uint32_t p = stats(minContext_);
    if (symbolOf(p) == symbol) {
      const uint32_t high = freqOf(p);
      if (!coder.encode(0, high, scale)) return false;
      firstFound(p, scale);
    } else {
      prevSuccess_ = 0;
      uint32_t low = freqOf(p);
      int i = numStats(minContext_) - 1;
      bool found = false;
      while (i-- > 0) {
        p += state_layout::kSize;
        if (symbolOf(p) == symbol) {
          found = true;
          break;
        }
        low += freqOf(p);
      }
      if (found) {
        if (!coder.encode(low, low + freqOf(p), scale)) return false;
        update1(p);
      } else {
        if (!coder.encode(low, scale, scale)) return false;
        escapeFromFirst(p);
      }
    }
  } else {
    uint16_t& bs = binSumm();
    const uint32_t rs = oneState(minContext_);
    if (symbolOf(rs) == symbol) {
      if (!coder.encodeShift(0, bs, kTotBits)) return false;
      binaryFound(rs, bs);
    } else {
      if (!coder.encodeShift(bs, kBinScale, kTotBits)) return false;
      binaryEscaped(rs, bs);
    }
  }
  while (foundState_ == 0) {
    coder.normalize();
    if (!toUnmaskedSuffix()) return true;  // the end code has been coded
    int i = numStats(minContext_) - numMasked_;
    uint32_t scale;
    See* see = makeEscFreq(i, scale);
    uint32_t p = stats(minContext_) - state_layout::kSize;
    uint32_t hiCnt = 0, found = 0, low = 0;
    for (; i > 0; --i) {
      do p += state_layout::kSize;
      while (charMask_[symbolOf(p)] == escCount_);
      if (found == 0 && symbolOf(p) == symbol) {
        found = p;
        low = hiCnt;
      }
      hiCnt += freqOf(p);
      if (found == 0) charMask_[symbolOf(p)] = escCount_;
    }
    scale += hiCnt;
    if (found != 0) {
      if (!coder.encode(low, low + freqOf(found), scale)) return false;
      see->update();
      update2(found);
    } else {
      if (!coder.encode(hiCnt, scale, scale)) return false;
      see->summ = uint16_t(see->summ + scale);
      numMasked_ = numStats(minContext_);
    }
  }
  afterSymbol();
  coder.normalize();
  return true;
}

bool Model::decode(RangeDecoder& coder, int& symbol) {
  uint32_t count;
  if (numStats(minContext_) != 1) {
    const uint32_t scale = summFreq(minContext_);
    uint32_t p = stats(minContext_);
    if (!coder.count(scale, count) || count >= scale) return false;
    uint32_t hiCnt = freqOf(p);
    if (count < hiCnt) {
      coder.remove(0, hiCnt);
      firstFound(p, scale);
    } else {
      prevSuccess_ = 0;
      int i = numStats(minContext_) - 1;
      bool found = false;
      while (i-- > 0) {
        p += state_layout::kSize;
        hiCnt += freqOf(p);
        if (hiCnt > count) {
          found = true;
          break;
        }
      }
      if (found) {
        coder.remove(hiCnt - freqOf(p), hiCnt);
        update1(p);
      } else {
        if (hiCnt >= scale) return false;
        coder.remove(hiCnt, scale);
        escapeFromFirst(p);
      }
    }
  } else {
    uint16_t& bs = binSumm();
    const uint32_t rs = oneState(minContext_);
    if (!coder.countShift(kTotBits, count) || count >= uint32_t(kBinScale)) return false;
    if (count < bs) {
      coder.remove(0, bs);
      binaryFound(rs, bs);
    } else {
      coder.remove(bs, kBinScale);
      binaryEscaped(rs, bs);
    }
  }
  while (foundState_ == 0) {
    coder.normalize();
    if (!toUnmaskedSuffix()) {
      symbol = -1;
      return true;
    }
    int i = numStats(minContext_) - numMasked_;
    uint32_t scale;
    See* see = makeEscFreq(i, scale);
    std::array<uint32_t, 256> candidates;
    uint32_t p = stats(minContext_) - state_layout::kSize;
    uint32_t hiCnt = 0;
    for (int k = 0; k < i; ++k) {
      do p += state_layout::kSize;
      while (charMask_[symbolOf(p)] == escCount_);
      hiCnt += freqOf(p);
      candidates[size_t(k)] = p;
    }
    scale += hiCnt;
    if (!coder.count(scale, count) || count >= scale) return false;
    if (count < hiCnt) {
      uint32_t high = 0;
      int k = 0;
      for (;; ++k) {
        high += freqOf(candidates[size_t(k)]);
        if (high > count) break;
      }
      p = candidates[size_t(k)];
      coder.remove(high - freqOf(p), high);
      see->update();
      update2(p);
    } else {
      coder.remove(hiCnt, scale);
      see->summ = uint16_t(see->summ + scale);
      for (int k = 0; k < i; ++k) charMask_[symbolOf(candidates[size_t(k)])] = escCount_;
      numMasked_ = numStats(minContext_);
    }
  }
  symbol = symbolOf(foundState_);
  afterSymbol();
  coder.normalize();
  return true;
}

}  // namespace vz::ppmd
