// Text comparison as the indexes use it: many keys, compared pairwise.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "platform/locale.h"

namespace {

std::vector<std::string> keys(bool accented) {
  std::mt19937 rng(42);
  const std::string plain = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_.";
  const std::string french = "\xE9\xE8\xEA\xE0\xE7\xF4\xC9";
  std::vector<std::string> out;
  for (int k = 0; k < 1024; ++k) {
    std::string s = "Client ";
    const int len = 4 + int(rng() % 12);
    for (int i = 0; i < len; ++i) {
      if (accented && rng() % 6 == 0) s += french[rng() % french.size()];
      else s += plain[rng() % plain.size()];
    }
    out.push_back(s);
  }
  return out;
}

void compare(benchmark::State& state, bool accented, bool ignoreCase) {
  platform::setUserLocale("fr_FR");
  const auto k = keys(accented);
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::compareAnsi(k[i & 1023], k[(i * 7 + 3) & 1023], ignoreCase));
    ++i;
  }
}

void BM_CompareAscii(benchmark::State& s) { compare(s, false, false); }
void BM_CompareAsciiNoCase(benchmark::State& s) { compare(s, false, true); }
void BM_CompareAccented(benchmark::State& s) { compare(s, true, false); }
void BM_CompareAccentedNoCase(benchmark::State& s) { compare(s, true, true); }

void BM_CompareEqualKeys(benchmark::State& state) {
  platform::setUserLocale("fr_FR");
  const std::string a = "Client Dupont et Fils", b = a;
  for (auto _ : state) benchmark::DoNotOptimize(platform::compareAnsi(a, b, false));
}

void BM_UpperAnsi(benchmark::State& state) {
  platform::setUserLocale("fr_FR");
  const auto k = keys(true);
  size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(platform::upperAnsi(k[i++ & 1023]));
}

}  // namespace

BENCHMARK(BM_CompareAscii);
BENCHMARK(BM_CompareAsciiNoCase);
BENCHMARK(BM_CompareAccented);
BENCHMARK(BM_CompareAccentedNoCase);
BENCHMARK(BM_CompareEqualKeys);
BENCHMARK(BM_UpperAnsi);
