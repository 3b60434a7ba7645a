// Small ZIP archives made byte by byte for the tests: stored, deflated,
// encrypted, with data descriptors, comments, stubs and damage.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace archive_test {

struct TestEntry {
  std::string name;
  std::string data;                  // uncompressed content
  uint16_t method = 8;               // 0 stored, 8 deflated; others store `stored` as is
  uint32_t externalAttr = 0x20;
  uint16_t date = 0x58b1;            // 2024-05-17
  uint16_t time = 0x43d5;            // 08:30:42
  std::string password;              // encrypted when not empty
  bool dataDescriptor = false;       // flag bit 3, check byte from the time
  uint16_t versionNeeded = 20;
  std::optional<uint32_t> crc;       // stored CRC instead of the real one
  std::optional<std::string> stored; // compressed bytes instead of encoding `data`
  std::string centralExtra;          // extra field of the central header
};

struct BuildOptions {
  std::string comment;
  std::string prefix;               // bytes in front of the archive (a stub)
  bool offsetsCountPrefix = true;   // stored offsets include the prefix
  std::string trailer;              // bytes after the end record
};

std::string buildZip(const std::vector<TestEntry>& entries, const BuildOptions& options = {});

// Raw deflate (no zlib header) of `data`.
std::string deflateRaw(const std::string& data);
// A complete zlib stream of `data`.
std::string deflateZlib(const std::string& data);
uint32_t crcOf(const std::string& data);

}  // namespace archive_test
