#include "archive/archive_errors.h"

#include <array>
#include <utility>

#include "platform/format_settings.h"

namespace archive {
namespace {

constexpr std::array<std::string_view, 35> kMessages = {
    "Unknown error",
    "Index out of bounds",
    "Invalid compression mode. Mode must be in [0-9] range",
    "Unexpected nil pointer",
    "Invalid size or check sum of file or unsupported compression format",
    "File name is blank. Specify appropriate file name",
    "File \"%s\" not found",
    "Archive is not open",
    "SFXStub property is not specified",
    "Cannot create file \"%s\"",
    "Cannot create directory \"%s\"",
    "Internal error. Update is not started",
    "Cannot open file \"%s\"",
    "Cannot proceed when update is not ended. Preceding EndUpdate call is required.",
    "Cannot delete file \"%s\"",
    "In-memory archive can be created only",
    "File is open in read-only mode",
    "Invalid compressed size, rfs.size = %d, count = %d",
    "Invalid archive file.",
    "Cannot create output file. Probably file is locked by another process. FileName = '%s'.",
    "Archive is open. You should close it beore performing this operation.",
    "Unable to create directory",
    "Cannot find Zip64 directory end record",
    "Cannot compress file '%s'. Zip64 mode is not enabled",
    "Cannot open archive file. Opening aborted or invalid file",
    "Write to stream error",
    "Cannot place SFX stub on volume. Volume size limit is too small",
    "Archive is damaged. Open failed",
    "MakeSFX is not allowed for splitted or spanned archives. Set SFXStub before archive creation instead of "
    "MakeSFX",
    "Archive already has SFX stub",
    "Multi-volume archive is not allowed for custom stream",
    "Multi-spanned archive is not allowed for modification. Use BeginUpdate/EndUpdate methods to add files "
    "several times",
    "Deflate64 compression method is not supported",
    "MakeSFX error",
    "Entry \"%s\" would be written outside the target folder",
};

// Native error number -> message number.
constexpr std::pair<int32_t, int32_t> kCodes[] = {
    {0, 0},   {1, 1},   {2, 1},   {3, 1},   {4, 1},   {7, 1},   {16, 1},  {21, 1},  {24, 1},  {5, 2},
    {6, 3},   {8, 4},   {9, 5},   {10, 5},  {29, 5},  {11, 6},  {12, 6},  {15, 6},  {18, 6},  {30, 6},
    {31, 6},  {38, 6},  {42, 6},  {53, 6},  {54, 6},  {13, 7},  {14, 7},  {17, 8},  {19, 9},  {23, 9},
    {20, 10}, {22, 11}, {25, 11}, {33, 12}, {26, 13}, {27, 14}, {28, 15}, {32, 16}, {34, 17}, {35, 18},
    {36, 19}, {37, 20}, {39, 21}, {40, 22}, {41, 23}, {43, 23}, {44, 24}, {45, 24}, {46, 25}, {47, 26},
    {48, 27}, {49, 28}, {50, 29}, {51, 30}, {52, 31}, {55, 32}, {56, 33}, {57, 34},
};

}  // namespace

int32_t errorCodeFor(int32_t nativeError) {
  for (const auto& [native, code] : kCodes)
    if (native == nativeError) return code;
  return 0;
}

std::string_view errorMessage(int32_t errorCode) {
  if (errorCode < 0 || size_t(errorCode) >= kMessages.size()) return kMessages[0];
  return kMessages[size_t(errorCode)];
}

EZAException makeError(int32_t nativeError, const platform::FormatArgs& args, std::string_view componentName) {
  const int32_t code = errorCodeFor(nativeError);
  std::string_view format = errorMessage(code);
  std::string text =
      args.empty() ? std::string(format) : platform::formatText(platform::invariantFormatSettings(), format, args);
  return EZAException(nativeError, code, text, componentName);
}

}  // namespace archive
