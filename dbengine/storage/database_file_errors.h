// The messages of the database file layer (files, pages, free space,
// internal files, catalogue) with their native error codes, side by side.
// Every failure of this layer is raised as EVZException through raise().
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/errors.h"
#include "platform/format.h"

namespace vz {

struct TVZMessage {
  int32_t code;
  std::string_view text;
};

// Raises EVZException(message.code, message.text formatted with `args`).
[[noreturn]] void raise(const TVZMessage& message, const platform::FormatArgs& args = {});

namespace msg {

// The operating-system file.
inline constexpr TVZMessage kBlankFileName{10500, "Cannot create file with blank FileName"};
inline constexpr TVZMessage kUnknownAccessMode{10501, "Unknown Access mode: '%d'"};
inline constexpr TVZMessage kUnknownShareMode{10502, "Unknown Share mode: '%d'"};
inline constexpr TVZMessage kFileClosed{10503, "Cannot perform this operation (%s) on a closed file"};
inline constexpr TVZMessage kFileOpened{10504, "Cannot perform this operation (%s) on a opened file"};
inline constexpr TVZMessage kCannotCreateFile{10505, "Cannot create file: '%s' Error code: %d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotOpenFile{10506, "Cannot open file:'%s' Error code: %d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotCloseFile{10507, "Cannot close file:'%s' Error code: %d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotRead{10508,
                                        "Cannot Read from file: '%s' Position = %d, Count = %d, FilePosition = %d, "
                                        "FileSize = %d, ErrorCode:%d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotWrite{10509,
                                         "Cannot Write to file: '%s' Position = %d, Count = %d, FilePosition = %d, "
                                         "FileSize = %d, ErrorCode:%d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotSetPosition{
    10510, "Cannot Set File Position to %d. FileName='%s'. FilePosition = %d, FileSize = %d"};
inline constexpr TVZMessage kCannotGetPosition{10511, "Cannot Get File Position. FileName='%s' ErrorCode:%d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotTruncate{10512, "Cannot Truncate File '%s' to %d bytes. ErrorCode:%d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotGetSize{10513, "Cannot Get File Size for file: '%s'. ErrorCode:%d. ErrorMessage: %s"};
inline constexpr TVZMessage kCannotFlush{10514, "Cannot flush file buffers for file: '%s'. ErrorCode:%d. ErrorMessage: %s"};

// The database file and its pages.
inline constexpr TVZMessage kDatabaseInUse{10520, "Error - database file %s is in use."};
inline constexpr TVZMessage kDatabaseNotOpened{10521, "Error - database file is not opened."};
inline constexpr TVZMessage kInvalidPageNo{10522, "Invalid PageNo = %d"};
inline constexpr TVZMessage kInvalidSignature{10523, "Invalid file format. Found signature: '%s', expected: '%s'"};
inline constexpr TVZMessage kIncorrectPassword{30445, "Cannot open database - incorrect password"};
inline constexpr TVZMessage kInvalidDatabaseFormat{10524, "Invalid database format"};
inline constexpr TVZMessage kDatabaseLocked{10525, "Database is locked"};
inline constexpr TVZMessage kPageReadError{10526, "Error reading database file page. Page No: %d, type %d"};
inline constexpr TVZMessage kDecryptPageError{10527, "Decrypt page error. Check CRC failed. PageNo: %d"};
inline constexpr TVZMessage kInvalidPageType{
    10528, "Invalid page type. Possible data corruption. Expecting type %d, but found %d"};
inline constexpr TVZMessage kInvalidPageOffset{10529, "Error - invalid page offset = %d, page size = %d"};
inline constexpr TVZMessage kNextObjectIDLocked{10530, "Cannot get NextObjectID. File area is Locked."};
inline constexpr TVZMessage kSystemDirectoryPage{
    10531, "Error Creating SystemDirectory. SystemDirectoryPageNo=%d. Real PageNo=%d."};
inline constexpr TVZMessage kTablesLocked{10532, "Database tables are locked"};
inline constexpr TVZMessage kCannotUnlockTables{10533, "Cannot unlock database tables"};
inline constexpr TVZMessage kInvalidPageSize{10534, "Invalid page size = %d. It must be from %d to %d bytes"};
inline constexpr TVZMessage kInvalidExtentSize{10535, "Invalid extent size = %d. It must be at least 1 page"};
inline constexpr TVZMessage kInvalidMaxConnections{
    10536, "Invalid number of connections = %d. It must be from 1 to %d"};
inline constexpr TVZMessage kPageEncryptError{10537, "Encrypt page error. PageNo: %d"};

// Free space.
inline constexpr TVZMessage kPageAlreadyUsed{10540, "Page: %d already used"};
inline constexpr TVZMessage kPageAlreadyFree{10541, "Page: %d already free"};
inline constexpr TVZMessage kCannotFreeMapPage{10542, "Cannot delete PFS or EAM page. PageNo=%d"};
inline constexpr TVZMessage kPageNotAddressable{10543, "Page: %d cannot be addressed. TotalPageCount=%d"};

// Internal files.
inline constexpr TVZMessage kInternalFileExists{10550, "Cannot create Internal file. File already exists. StartPageNo=%d"};
inline constexpr TVZMessage kCompressionError{10551, "Table file compression error"};
inline constexpr TVZMessage kReadBeyondSize{10552, "Cannot Read internal file. FileSize=%d. ReadSize=%d"};
inline constexpr TVZMessage kShortInternalRead{10553,
                                               "Cannot Read % bytes from internal file. FileSize=%d. ReadSize=%d, Count=%d"};
inline constexpr TVZMessage kDecompressionError{10554, "Table file decompression error. Possible table corruption (%s)"};
inline constexpr TVZMessage kMissingChainPage{
    10555, "Error getting %d-th table file page. Probably database is corrupted and needs repair."};
inline constexpr TVZMessage kSeekBeyondSize{10556, "Seek position bigger then file size. FileSize=%d. Position=%d"};
inline constexpr TVZMessage kWriteBeyondSize{10557, "Cannot write after end of file. FileSize=%d. Position=%d, Count=%d"};
inline constexpr TVZMessage kInternalPageType{10558, "Invalid PageType found: %d but expecting: %d"};
inline constexpr TVZMessage kInternalFileClosed{10559, "Cannot perform this operation (%s) on closed internal file"};

// Catalogue.
inline constexpr TVZMessage kTableExists{30247, "Cannot create table. Table '%s' already exists"};
inline constexpr TVZMessage kTableNotExists{10561, "Table '%s' not exists."};

}  // namespace msg
}  // namespace vz
