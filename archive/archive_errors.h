// The archive's exception: the table from native error numbers to message
// numbers and texts, and the construction of EZAException at a raise site.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/errors.h"
#include "platform/format.h"

namespace archive {

using platform::EZAException;

// Native error numbers the archive raises.
namespace za {
constexpr int32_t kIndexOutOfBounds = 1;
constexpr int32_t kInvalidCompressionMode = 5;
constexpr int32_t kBadSizeOrChecksum = 8;
constexpr int32_t kBlankFileName = 9;
constexpr int32_t kBlankFileNameForMode = 10;
constexpr int32_t kArchiveFileNotFound = 12;
constexpr int32_t kArchiveNotOpen = 13;
constexpr int32_t kEntryIndexOutOfBounds = 16;
constexpr int32_t kCannotCreateFile = 19;
constexpr int32_t kCannotCreateDirectory = 20;
constexpr int32_t kUpdateNotEnded = 26;
constexpr int32_t kInMemoryCreateOnly = 28;
constexpr int32_t kCannotOpenFile = 33;
constexpr int32_t kInvalidArchive = 35;
constexpr int32_t kZip64EndRecordMissing = 40;
constexpr int32_t kMultiVolumeWithoutEnd = 44;
constexpr int32_t kVolumeNotObtained = 45;
constexpr int32_t kArchiveDamaged = 48;
constexpr int32_t kDeflate64Unsupported = 55;
// An entry whose name would put a file outside the target folder.
constexpr int32_t kEntryOutsideTarget = 57;
}  // namespace za

// The message number for a native error number (0 for one not in the table).
int32_t errorCodeFor(int32_t nativeError);
// The message text of a message number, with its placeholders.
std::string_view errorMessage(int32_t errorCode);

// The exception for `nativeError`, its text formatted with `args`, prefixed
// with `componentName` + ": " when that is not empty.
EZAException makeError(int32_t nativeError, const platform::FormatArgs& args = {},
                       std::string_view componentName = {});

}  // namespace archive
