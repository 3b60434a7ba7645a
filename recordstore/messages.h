// The store's error texts, byte for byte. Every failure of the store is raised
// as platform::EDatabaseError with one of these.
#pragma once

namespace rec::msg {

inline constexpr const char* kCannotOpenFile = "Cannot open file %s";
inline constexpr const char* kInvalidFile = "Database file '%s' is a invalid RecDB";
inline constexpr const char* kVersion100 = "Version 1.00 is not compatible";
inline constexpr const char* kVersionTooHigh = "Version of database file is too High";
inline constexpr const char* kCompressionNotFound = "Compression algorithm module '%s' not found";
inline constexpr const char* kEncryptionNotFound = "Encryption algorithm module '%s' not found";
inline constexpr const char* kAccessDenied = "Access denied";
inline constexpr const char* kTableNotFound = "Table '%s' not found";
inline constexpr const char* kGeneralError = "General error";
inline constexpr const char* kInvalidUnique = "Invalid unique field value '%s'";
inline constexpr const char* kLockTimeOut = "Wait for unlock time out";
inline constexpr const char* kReadOnlyDatabase = "Cannot modify a read-only database";
inline constexpr const char* kOpenDatabase = "Cannot perform this operation on an open database";
inline constexpr const char* kBlobWriteCheck = "BLOB field '%s' could not be written correctly";
inline constexpr const char* kDecompression = "Decompression error: %s";

}  // namespace rec::msg
