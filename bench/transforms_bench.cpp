// Throughput of the storage transforms: the page cipher on one page's data
// (4,056 bytes) for each cipher id, and the buffer compressors on one BLOB
// block of text-like records.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "dbengine/storage/cipher.h"
#include "dbengine/storage/compression.h"
#include "dbengine/storage/ppmd_coder.h"

namespace {

constexpr size_t kPageData = 4056;

std::vector<uint8_t> recordsLike(size_t length) {
  static const char* words[] = {"FACTURE", "Dupont", "Martin", "Espèce", "Chèque", "Virement", "TVA", "Remise"};
  std::vector<uint8_t> out;
  uint32_t n = 1;
  while (out.size() < length) {
    n = n * 1103515245u + 12345u;
    std::string line = std::to_string(n % 100000) + ";" + words[(n >> 16) % 8] + ";" +
                       std::to_string((n >> 8) % 10000) + "," + std::to_string(n % 100) + ";\r\n";
    out.insert(out.end(), line.begin(), line.end());
  }
  out.resize(length);
  return out;
}

void BM_EncryptPage(benchmark::State& state) {
  const auto id = uint8_t(state.range(0));
  std::vector<uint8_t> page = recordsLike(kPageData);
  for (auto _ : state) {
    vz::encryptBuffer(id, page.data(), page.size(), "tirelvash");
    benchmark::DoNotOptimize(page.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPageData));
}
BENCHMARK(BM_EncryptPage)->DenseRange(0, 7);

void BM_DecryptPage(benchmark::State& state) {
  const auto id = uint8_t(state.range(0));
  std::vector<uint8_t> page = recordsLike(kPageData);
  for (auto _ : state) {
    vz::decryptBuffer(id, page.data(), page.size(), "tirelvash");
    benchmark::DoNotOptimize(page.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kPageData));
}
BENCHMARK(BM_DecryptPage)->DenseRange(0, 7);

// Arguments: algorithm code, level. One default BLOB block (102,400 bytes).
void BM_Compress(benchmark::State& state) {
  const auto algorithm = vz::CompressionAlgorithm(state.range(0));
  const auto level = uint8_t(state.range(1));
  const auto block = recordsLike(102400);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    if (!vz::compressBuffer(algorithm, level, block.data(), block.size(), out)) state.SkipWithError("failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
  state.counters["ratio%"] = (1.0 - double(out.size()) / double(block.size())) * 100.0;
}

void BM_Decompress(benchmark::State& state) {
  const auto algorithm = vz::CompressionAlgorithm(state.range(0));
  const auto level = uint8_t(state.range(1));
  const auto block = recordsLike(102400);
  std::vector<uint8_t> packed, out;
  vz::compressBuffer(algorithm, level, block.data(), block.size(), packed);
  for (auto _ : state) {
    if (!vz::decompressBuffer(algorithm, packed.data(), packed.size(), block.size(), out))
      state.SkipWithError("failed");
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}

void compressionCases(benchmark::internal::Benchmark* b) {
  for (int level : {1, 6, 9}) b->Args({1, level});
  for (int level : {1, 9}) b->Args({2, level});
}
BENCHMARK(BM_Compress)->Apply(compressionCases);
BENCHMARK(BM_Decompress)->Apply(compressionCases);

// The PPM coder at a level, on one BLOB block of the default size.
void BM_PpmCompress(benchmark::State& state) {
  const auto parameters = vz::ppmd::parametersForLevel(int(state.range(0)));
  const auto block = recordsLike(102400);
  std::vector<uint8_t> out;
  for (auto _ : state) {
    out = vz::ppmd::compress(block.data(), block.size(), parameters);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
  state.counters["ratio%"] = (1.0 - double(out.size()) / double(block.size())) * 100.0;
}
BENCHMARK(BM_PpmCompress)->Arg(1)->Arg(5)->Arg(9);

void BM_PpmDecompress(benchmark::State& state) {
  const auto parameters = vz::ppmd::parametersForLevel(int(state.range(0)));
  const auto block = recordsLike(102400);
  const auto packed = vz::ppmd::compress(block.data(), block.size(), parameters);
  for (auto _ : state) {
    auto out = vz::ppmd::decompress(packed.data(), packed.size(), block.size());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(block.size()));
}
BENCHMARK(BM_PpmDecompress)->Arg(1)->Arg(5)->Arg(9);

}  // namespace
