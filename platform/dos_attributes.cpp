#include "platform/dos_attributes.h"

#include <sys/xattr.h>

#include <cerrno>
#include <cstdio>

#include "platform/bytes.h"
#include "platform/filesystem.h"
#include "platform/path.h"

namespace platform {
namespace dos_attributes {
namespace {

int hexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> parseText(const uint8_t* value, size_t size) {
  if (size < 3 || value[0] != '0' || (value[1] != 'x' && value[1] != 'X')) return std::nullopt;
  uint64_t bits = 0;
  size_t i = 2;
  for (; i < size && hexDigit(value[i]) >= 0; ++i) {
    bits = bits * 16 + uint64_t(hexDigit(value[i]));
    if (bits > 0xFFFFFFFFu) return std::nullopt;
  }
  if (i == 2 || (i < size && value[i] != 0)) return std::nullopt;
  return uint32_t(bits);
}

size_t alignUp(size_t offset, size_t alignment) { return (offset + alignment - 1) / alignment * alignment; }

std::optional<uint32_t> parseBinary(const uint8_t* value, size_t size) {
  size_t p = 0;
  while (p < size && value[p] != 0) ++p;
  if (p == size) return std::nullopt;
  p = alignUp(p + 1, kVersionSize);
  if (!rangeFits(p, kVersionSize + kLevelSize, size)) return std::nullopt;
  const uint16_t version = loadU16(value + p);
  const uint16_t level = loadU16(value + p + kVersionSize);
  if (version != level) return std::nullopt;
  p = alignUp(p + kVersionSize + kLevelSize, kArmAlignment);
  switch (version) {
    case kVersionCompat:
    case kVersion1:
      if (!rangeFits(p, kFieldSize, size)) return std::nullopt;
      return loadU32(value + p);
    case kVersion2:
      if (!rangeFits(p, 2 * kFieldSize, size)) return std::nullopt;
      return loadU32(value + p + kFieldSize);
    default:
      if (version < kVersion3 || version > kVersion5) return std::nullopt;
      if (!rangeFits(p, 2 * kFieldSize, size)) return std::nullopt;
      if (!(loadU32(value + p) & kValidAttributes)) return 0u;
      return loadU32(value + p + kFieldSize);
  }
}

}  // namespace

std::optional<uint32_t> parse(const uint8_t* value, size_t size) {
  if (std::optional<uint32_t> bits = parseText(value, size)) return bits;
  return parseBinary(value, size);
}

std::string format(uint32_t attributes) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", unsigned(attributes));
  return text;
}

uint32_t storedBits(const std::string& nativePath) {
  uint8_t value[kLargestValue];
  const ssize_t n = getxattr(nativePath.c_str(), kAttributeName, value, sizeof value);
  if (n <= 0) return 0;
  return parse(value, size_t(n)).value_or(0) & kStoredBits;
}

uint32_t attributesOf(const std::string& nativePath, const struct stat& st) {
  uint32_t attributes = storedBits(nativePath);
  if (S_ISDIR(st.st_mode)) attributes |= faDirectory;
  if (!(st.st_mode & S_IWUSR)) attributes |= faReadOnly;
  return attributes ? attributes : uint32_t(faNormal);
}

}  // namespace dos_attributes

std::optional<uint32_t> fileAttributes(std::string_view path) {
  const std::string native = nativePath(path);
  struct stat st;
  if (native.empty() || stat(native.c_str(), &st) != 0) return std::nullopt;
  return dos_attributes::attributesOf(native, st);
}

bool setFileAttributes(std::string_view path, uint32_t attributes) {
  const std::string native = nativePath(path);
  struct stat st;
  if (native.empty() || stat(native.c_str(), &st) != 0) return false;

  const bool readOnly = attributes & faReadOnly;
  const bool wasReadOnly = !(st.st_mode & S_IWUSR);
  const mode_t mode = st.st_mode & 07777;
  const mode_t newMode = readOnly ? (mode & ~mode_t(0222)) : wasReadOnly ? (mode | S_IWUSR) : mode;

  // Extended attributes need write permission: lift read-only first, set it last.
  if (!readOnly && newMode != mode && chmod(native.c_str(), newMode) != 0) return false;

  const uint32_t bits = attributes & dos_attributes::kStoredBits;
  if (bits != dos_attributes::storedBits(native)) {
    int rc;
    if (bits == 0) {
      rc = removexattr(native.c_str(), dos_attributes::kAttributeName);
      if (rc != 0 && errno == ENODATA) rc = 0;
    } else {
      const std::string value = dos_attributes::format(bits);
      rc = setxattr(native.c_str(), dos_attributes::kAttributeName, value.data(), value.size(), 0);
    }
    // Where the file system keeps no extended attributes they are dropped.
    if (rc != 0 && errno != ENOTSUP && errno != EOPNOTSUPP) return false;
  }

  if (readOnly && newMode != mode && chmod(native.c_str(), newMode) != 0) return false;
  return true;
}

}  // namespace platform
