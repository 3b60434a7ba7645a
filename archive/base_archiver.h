// The archive object: its published settings and events, opening and
// closing an archive file, and extracting selected entries into a folder.
//
// Texts crossing this interface: FileName, BaseDir, TempDir, SFXStub and
// every destination path are file-system paths (UTF-8); Password, masks,
// entry names and the file names given to events are Windows-1252, entry
// names with "\" separators in events and "/" in the directory.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_errors.h"
#include "archive/archive_stream.h"
#include "archive/dir_item.h"
#include "archive/dir_manager.h"
#include "archive/options.h"

namespace platform {
class File;
}

namespace archive {

class TZABaseArchiver;
class OutputSink;

// Which volume of a multi-volume set is meant.
struct TZAVolumeNumberInfo {
  enum Kind { vnFirst, vnLast, vnNumbered, vnUndetermined };
  Kind kind = vnUndetermined;
  int32_t volumeNumber = -1;
  int32_t lastVolumeNumber = -1;
};

using TZAProgressEvent = std::function<void(TZABaseArchiver& sender, double progress,
                                            TZAProcessOperation operation, TZAProgressPhase phase,
                                            bool& cancel)>;
using TZAFileProgressEvent =
    std::function<void(TZABaseArchiver& sender, const std::string& fileName, double progress,
                       TZAProcessOperation operation, TZAProgressPhase phase, bool& cancel)>;
using TZAConfirmProcessFileEvent = std::function<void(TZABaseArchiver& sender, const std::string& fileName,
                                                      TZAProcessOperation operation, bool& confirm)>;
using TZAExtractFileEvent = std::function<void(TZABaseArchiver& sender, std::string& fileName,
                                               uint32_t& fileAttr, const std::string& comment)>;
using TZAConfirmOverwriteEvent = std::function<void(TZABaseArchiver& sender, const std::string& sourceFileName,
                                                    std::string& destFileName, bool& confirm)>;
using TZAPasswordEvent = std::function<void(TZABaseArchiver& sender, const std::string& fileName,
                                            std::string& newPassword, bool& skipFile)>;
using TZAProcessFileFailureEvent =
    std::function<void(TZABaseArchiver& sender, const std::string& fileName, TZAProcessOperation operation,
                       int32_t nativeError, int32_t errorCode, const std::string& errorMessage,
                       TZAAction& action)>;
using TZANotifyEvent = std::function<void(TZABaseArchiver& sender)>;

class TZABaseArchiver {
 public:
  TZABaseArchiver();
  virtual ~TZABaseArchiver();
  TZABaseArchiver(const TZABaseArchiver&) = delete;
  TZABaseArchiver& operator=(const TZABaseArchiver&) = delete;

  // Component name; when not empty it prefixes the messages of the errors
  // raised by this object ("Archiver: ...").
  const std::string& Name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // ---- Published properties.
  const std::string& FileName() const { return fileName_; }
  void setFileName(std::string fileName) { fileName_ = std::move(fileName); }
  const std::string& Password() const { return password_; }
  void setPassword(std::string password) { password_ = std::move(password); }
  const std::string& BaseDir() const { return baseDir_; }
  void setBaseDir(std::string baseDir) { baseDir_ = std::move(baseDir); }
  const std::string& TempDir() const { return tempDir_; }
  void setTempDir(std::string tempDir) { tempDir_ = std::move(tempDir); }
  bool ExtractCorruptedFiles() const { return extractCorruptedFiles_; }
  void setExtractCorruptedFiles(bool on) { extractCorruptedFiles_ = on; }
  TZACompressionLevel CompressionLevel() const { return compressionLevel_; }
  void setCompressionLevel(TZACompressionLevel level);
  uint8_t CompressionMode() const { return compressionMode_; }
  // Error 5 above 9.
  void setCompressionMode(int mode);
  std::string CurrentVersion() const { return "2.64 "; }
  void setCurrentVersion(std::string_view) {}
  TZASpanningMode SpanningMode() const { return spanningMode_; }
  // Refused while an archive is open.
  void setSpanningMode(TZASpanningMode mode);
  TZASpanningOptions& SpanningOptions() { return spanningOptions_; }
  const std::string& SFXStub() const { return sfxStub_; }
  void setSFXStub(std::string path) { sfxStub_ = std::move(path); }
  TZAOptions& Options() { return options_; }
  const TZAOptions& Options() const { return options_; }
  std::vector<std::string>& FileMasks() { return fileMasks_; }
  std::vector<std::string>& ExclusionMasks() { return exclusionMasks_; }
  std::vector<std::string>& NoCompressionMasks() { return noCompressionMasks_; }
  bool InMemory() const { return inMemory_; }
  void setInMemory(bool on) { inMemory_ = on; }

  // Open an archive without a readable end record by scanning its local
  // headers.
  bool OpenCorruptedArchives = true;

  // ---- Events. An unassigned event takes its default.
  TZAProgressEvent OnOverallProgress;
  TZAFileProgressEvent OnFileProgress;
  TZAConfirmOverwriteEvent OnConfirmOverwrite;
  TZAConfirmProcessFileEvent OnConfirmProcessFile;
  TZAPasswordEvent OnPassword;
  TZAProcessFileFailureEvent OnProcessFileFailure;
  TZAExtractFileEvent OnExtractFile;
  TZANotifyEvent AfterOpen;

  // ---- Opening and closing.
  // Opens the archive named by FileName, or starts a new one when the file
  // does not exist; the open mode is chosen from what the file allows.
  void OpenArchive();
  void OpenArchive(TZAOpenMode mode);
  void CloseArchive();
  bool Active() const { return active_; }
  TZAOpenMode OpenMode() const { return openMode_; }

  // ---- The directory of the open archive (error 13 when none is open).
  size_t FileCount() const;
  TDirItem DirItem(size_t index) const;
  const TZADirManager& DirManager() const;
  const TZAVolumeNumberInfo& VolumeNumberInfo() const { return volumeInfo_; }

  // ---- Extraction. Extracts every entry that the mask and the search
  // attributes select into BaseDir. Entry failures go to
  // OnProcessFileFailure and are not raised; only errors of other classes
  // leave the call.
  void ExtractFiles(std::string_view fileMask, uint32_t searchAttr, std::string_view exclusionMask = {});

  // Counters of the last processing run.
  size_t SelectedCount() const { return selectedCount_; }
  size_t ProcessedCount() const { return processedCount_; }

 protected:
  // The compression method of added files, recomputed from CompressionMode.
  virtual uint16_t compressionMethod() const = 0;

  // Dispatch of the events: the assigned handler, else the default.
  virtual void DoOverallProgress(double progress, TZAProcessOperation operation, TZAProgressPhase phase,
                                 bool& cancel);
  virtual void DoFileProgress(const std::string& fileName, double progress, TZAProcessOperation operation,
                              TZAProgressPhase phase, bool& cancel);
  virtual void DoConfirmOverwrite(const std::string& sourceFileName, std::string& destFileName, bool& confirm);
  virtual void DoConfirmProcessFile(const std::string& fileName, TZAProcessOperation operation, bool& confirm);
  virtual void DoPassword(const std::string& fileName, std::string& newPassword, bool& skipFile);
  virtual void DoProcessFileFailure(const std::string& fileName, TZAProcessOperation operation,
                                    int32_t nativeError, int32_t errorCode, const std::string& errorMessage,
                                    TZAAction& action);
  virtual void DoExtractFile(std::string& fileName, uint32_t& fileAttr, const std::string& comment);

 private:
  struct DecodeState;

  void openExisting();
  void recogniseVolumes(bool endRecordFound);
  void releaseArchive();
  EZAException error(int32_t nativeError, const platform::FormatArgs& args = {}) const;
  void requireOpen() const;

  void runExtraction();
  void extractEntry(size_t index, std::string fileName, const std::string& targetFolder);
  void decodeEntry(size_t index, platform::File& out, DecodeState& state);
  bool decodeStream(const TDirItem& item, uint64_t dataStart, uint64_t compressed, OutputSink& sink,
                    DecodeState& state);
  bool decodeBlocks(const TDirItem& item, uint64_t dataStart, uint64_t compressed, OutputSink& sink,
                    DecodeState& state);
  bool reportProgress(DecodeState& state, uint64_t consumed, uint64_t total);
  bool onRemovableDrive(const std::string& path);

  std::string name_;
  std::string fileName_;
  std::string password_;
  std::string baseDir_;
  std::string tempDir_;
  bool extractCorruptedFiles_ = false;
  TZACompressionLevel compressionLevel_ = clFastest;
  uint8_t compressionMode_ = 1;
  TZASpanningMode spanningMode_ = smNone;
  TZASpanningOptions spanningOptions_;
  std::string sfxStub_;
  TZAOptions options_;
  std::vector<std::string> fileMasks_, exclusionMasks_, noCompressionMasks_;
  bool inMemory_ = false;

  bool active_ = false;
  TZAOpenMode openMode_ = TZAOpenMode::ReadOnly;
  std::unique_ptr<ArchiveStream> stream_;
  std::unique_ptr<TZADirManager> dir_;
  TZAVolumeNumberInfo volumeInfo_;

  // Processing state.
  std::string exclusionMask_;
  size_t selectedCount_ = 0;
  size_t processedCount_ = 0;
  bool cancel_ = false;
  bool skipFile_ = false;
  // Whether a folder lies on a removable drive, asked once per folder and run.
  std::map<std::string, bool> removableFolders_;
};

}  // namespace archive
