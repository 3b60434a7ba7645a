// The directory of an open archive: the end records as found, the entry
// list read from the central directory (or rebuilt from the local headers
// when no end record is found), and the size of a self-extractor stub in
// front of the archive.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archive/archive_stream.h"
#include "archive/dir_item.h"
#include "archive/zip_format.h"

namespace archive {

struct TZADirReadSettings {
  bool oemFileNames = true;
  std::string componentName;  // prefix of the errors that name the archive object
};

class TZADirManager {
 public:
  TZADirManager(ArchiveStream& stream, TZADirReadSettings settings);

  ArchiveStream& stream() { return stream_; }

  // Looks for the end of central directory record in the last 65,600 bytes.
  // On success the record and the archive comment are kept; on failure the
  // comment is empty.
  bool searchEndRecord();
  bool endRecordFound() const { return endRecordPos_.has_value(); }
  const zipfmt::EndRecord& endRecord() const { return endRecord_; }

  // Reads the whole directory of a single-file archive. Without an end
  // record the local headers are scanned instead when `recoverCorrupted`,
  // else error 48 is raised.
  void readDirectory(bool recoverCorrupted);

  size_t count() const { return items_.size(); }
  // A copy of entry `index`; error 1 outside the list.
  TDirItem item(size_t index) const;
  TDirItem& at(size_t index) { return items_[index]; }
  const TZADirArray& items() const { return items_; }
  TZADirArray& items() { return items_; }

  bool usesZip64EndRecords() const { return zip64_; }
  const zipfmt::Zip64Locator& zip64Locator() const { return locator_; }
  const zipfmt::Zip64EndRecord& zip64EndRecord() const { return zip64End_; }
  const std::string& comment() const { return comment_; }
  uint64_t centralDirStart() const { return centralDirStart_; }
  uint64_t stubSize() const { return stubSize_; }
  // Number of the last volume and of the volume holding the directory.
  uint32_t lastVolume() const { return lastVolume_; }
  uint32_t directoryVolume() const { return dirVolume_; }

 private:
  void readZip64Records(uint64_t& endPos);
  void readCentralHeaders(uint64_t start, uint64_t count);
  void checkStub();
  void recoverFromLocalHeaders();
  std::string convertName(std::string raw) const;
  [[noreturn]] void damaged() const;

  ArchiveStream& stream_;
  TZADirReadSettings settings_;
  TZADirArray items_;
  zipfmt::EndRecord endRecord_;
  std::optional<uint64_t> endRecordPos_;
  zipfmt::Zip64Locator locator_;
  zipfmt::Zip64EndRecord zip64End_;
  bool zip64_ = false;
  std::string comment_;
  uint64_t centralDirStart_ = 0;
  uint64_t stubSize_ = 0;
  uint32_t lastVolume_ = 0;
  uint32_t dirVolume_ = 0;
};

}  // namespace archive
