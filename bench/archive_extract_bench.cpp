// Throughput of extraction: inflating (or copying) one large entry,
// checking its CRC and writing it to a file. Reports bytes of output per
// second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "archive/zip_archiver.h"
#include "zip_builder.h"

namespace {

constexpr size_t kEntrySize = 64u << 20;

// Half text-like lines, half random bytes: a package's usual mixture.
std::string content() {
  std::string s;
  s.reserve(kEntrySize);
  std::mt19937 random(5);
  while (s.size() < kEntrySize / 2) s += "Ligne " + std::to_string(random() % 100000) + " de la facture;HT;TVA\r\n";
  while (s.size() < kEntrySize) s += char(random());
  s.resize(kEntrySize);
  return s;
}

struct Workspace {
  Workspace() {
    std::string templ = (std::filesystem::temp_directory_path() / "archive-bench-XXXXXX").string();
    root = mkdtemp(templ.data());
  }
  ~Workspace() { std::filesystem::remove_all(root); }
  std::string root;
};

void extractBench(benchmark::State& state, uint16_t method) {
  Workspace ws;
  const std::string path = ws.root + "/a.zip";
  {
    std::ofstream(path, std::ios::binary) << archive_test::buildZip({{.name = "entry.bin", .data = content(), .method = method}});
  }
  archive::TZipArchiver zip;
  zip.setFileName(path);
  zip.OpenArchive();
  zip.setBaseDir(ws.root + "/out/");
  for (auto _ : state) zip.ExtractFiles("*.*", 10431);
  state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEntrySize));
}

void BM_ExtractDeflated(benchmark::State& state) { extractBench(state, 8); }
void BM_ExtractStored(benchmark::State& state) { extractBench(state, 0); }

}  // namespace

BENCHMARK(BM_ExtractDeflated)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ExtractStored)->Unit(benchmark::kMillisecond)->MinTime(2.0);
