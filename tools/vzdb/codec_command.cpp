// vzdb codec compress|decompress: the engine's buffer compressor on a file,
// to see what a BLOB compression setting does to some data.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "dbengine/storage/compression.h"
#include "tools/vzdb/command.h"

namespace vzdb {
namespace {

std::vector<uint8_t> readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeWholeFile(const std::string& path, const std::vector<uint8_t>& data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

long long number(const std::string& option, const std::string& text) {
  size_t used = 0;
  long long v = -1;
  try {
    v = std::stoll(text, &used);
  } catch (const std::exception&) {
  }
  if (used != text.size() || v < 0) throw UsageError{option + " wants a number, not \"" + text + "\""};
  return v;
}

}  // namespace

int runCodec(const Args& args) {
  std::string mode, algorithmText;
  long long level = 6, size = 0;
  std::vector<std::string> files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
      return args[++i];
    };
    if (a == "--algorithm") algorithmText = value();
    else if (a == "--level") level = number(a, value());
    else if (a == "--size") size = number(a, value());
    else if (a.rfind("--", 0) == 0) throw UsageError{"unknown option " + a};
    else if (mode.empty()) mode = a;
    else files.push_back(a);
  }
  if (mode != "compress" && mode != "decompress") throw UsageError{"say compress or decompress"};
  if (files.size() != 2) throw UsageError{"give one input and one output file"};
  if (algorithmText.empty()) throw UsageError{"--algorithm is required (ZLIB, BZIP or PPM)"};
  const vz::CompressionAlgorithm algorithm = vz::algorithmByName(algorithmText);
  if (algorithm == vz::CompressionAlgorithm::None)
    throw UsageError{"unknown algorithm \"" + algorithmText + "\" (ZLIB, BZIP or PPM)"};
  if (level > vz::kMaxCompressionLevel) throw UsageError{"--level runs from 0 to 9"};
  if (mode == "decompress" && algorithm == vz::CompressionAlgorithm::Ppm && size == 0)
    throw UsageError{"PPM decompression needs --size, the length of the original data"};

  const std::vector<uint8_t> input = readWholeFile(files[0]);
  std::vector<uint8_t> output;
  const auto start = std::chrono::steady_clock::now();
  const bool ok = mode == "compress"
                      ? vz::compressBuffer(algorithm, uint8_t(level), input.data(), input.size(), output)
                      : vz::decompressBuffer(algorithm, input.data(), input.size(), size_t(size), output);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!ok) {
    std::string why = input.empty() ? "the input is empty" : "the data could not be " + mode + "ed";
    if (!vz::lastCompressionError().empty()) why += " (" + vz::lastCompressionError() + ")";
    std::fprintf(stderr, "vzdb codec: %s %s failed: %s\n", std::string(vz::algorithmName(algorithm)).c_str(),
                 mode.c_str(), why.c_str());
    return 1;
  }
  writeWholeFile(files[1], output);
  const size_t plain = mode == "compress" ? input.size() : output.size();
  const size_t packed = mode == "compress" ? output.size() : input.size();
  const std::string what = mode == "compress" ? "level " + std::to_string(level) : "decompress";
  std::printf("%s %s: %zu -> %zu bytes, %.1f%% saved, %.1f MB/s\n", std::string(vz::algorithmName(algorithm)).c_str(),
              what.c_str(), input.size(), output.size(),
              plain ? (1.0 - double(packed) / double(plain)) * 100.0 : 0.0,
              seconds > 0 ? double(plain) / seconds / 1e6 : 0.0);
  return 0;
}

}  // namespace vzdb
