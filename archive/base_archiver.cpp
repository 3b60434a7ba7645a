#include "archive/base_archiver.h"

#include <vector>

#include "archive/interaction.h"
#include "archive/volume_names.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/format.h"
#include "platform/format_settings.h"
#include "platform/locale.h"
#include "platform/path.h"

namespace archive {

TZABaseArchiver::TZABaseArchiver() = default;

TZABaseArchiver::~TZABaseArchiver() { CloseArchive(); }

EZAException TZABaseArchiver::error(int32_t nativeError, const platform::FormatArgs& args) const {
  return makeError(nativeError, args, name_);
}

void TZABaseArchiver::setCompressionLevel(TZACompressionLevel level) {
  compressionLevel_ = level;
  static constexpr uint8_t kModes[] = {0, 1, 6, 9};
  compressionMode_ = kModes[level];
}

void TZABaseArchiver::setCompressionMode(int mode) {
  if (mode < 0 || mode > 9) throw error(za::kInvalidCompressionMode);
  compressionMode_ = uint8_t(mode);
  compressionLevel_ = mode == 0 ? clNone : mode <= 3 ? clFastest : mode <= 6 ? clNormal : clMax;
}

void TZABaseArchiver::setSpanningMode(TZASpanningMode mode) {
  if (active_) throw platform::Exception("Cannot set spanning mode on open archive");
  spanningMode_ = mode;
}

// ---- Opening and closing.

void TZABaseArchiver::OpenArchive() {
  if (!inMemory_ && platform::extractFileName(fileName_).empty()) throw error(za::kBlankFileName);
  TZAOpenMode mode = TZAOpenMode::Create;
  const std::string path = platform::nativePath(fileName_);
  if (!inMemory_ && platform::fileExists(path)) {
    try {
      platform::File probe =
          platform::File::open(path, platform::Access::ReadWrite, platform::ShareRead, platform::Disposition::OpenExisting);
      probe.close();
      mode = TZAOpenMode::ReadWrite;
    } catch (const platform::EOSError&) {
      mode = TZAOpenMode::ReadOnly;
    }
  }
  OpenArchive(mode);
}

void TZABaseArchiver::OpenArchive(TZAOpenMode mode) {
  if (!inMemory_ && platform::extractFileName(fileName_).empty()) throw error(za::kBlankFileNameForMode);
  const std::string path = platform::nativePath(fileName_);
  if (mode != TZAOpenMode::Create && !platform::fileExists(path) && spanningMode_ != smSpanning &&
      !isRemovableDrive(fileName_))
    throw error(za::kArchiveFileNotFound, {platform::utf8ToAnsi(fileName_)});
  if (mode != TZAOpenMode::Create && inMemory_) throw error(za::kInMemoryCreateOnly);
  CloseArchive();
  openMode_ = mode;
  try {
    if (mode == TZAOpenMode::Create) {
      if (inMemory_) {
        stream_ = std::make_unique<MemoryArchiveStream>();
      } else {
        stream_ = std::make_unique<FileArchiveStream>(platform::File::open(
            path, platform::Access::ReadWrite, platform::ShareRead, platform::Disposition::CreateAlways));
      }
      dir_ = std::make_unique<TZADirManager>(*stream_, TZADirReadSettings{options_.OEMFileNames, name_});
      if (!sfxStub_.empty()) {
        std::vector<uint8_t> stub;
        try {
          platform::File f = platform::File::open(platform::nativePath(sfxStub_), platform::Access::Read,
                                                  platform::ShareRead, platform::Disposition::OpenExisting);
          stub.resize(f.size());
          stub.resize(f.readAt(0, stub.data(), stub.size()));
        } catch (const platform::EOSError&) {
          throw error(za::kCannotOpenFile, {platform::utf8ToAnsi(sfxStub_)});
        }
        stream_->writeAt(0, stub.data(), stub.size());
      }
    } else {
      openExisting();
    }
  } catch (...) {
    releaseArchive();
    throw;
  }
  active_ = true;
  if (AfterOpen) AfterOpen(*this);
}

void TZABaseArchiver::recogniseVolumes(bool endRecordFound) {
  if (!endRecordFound) {
    spanningMode_ = isRemovableDrive(fileName_) ? smSpanning : smNone;
    return;
  }
  const uint16_t d = dir_->endRecord().thisDisk;
  if (d == 0 || d == zipfmt::kAllOnes16) {
    spanningMode_ = smNone;
    return;
  }
  spanningMode_ = smSplitting;
  volumeInfo_.lastVolumeNumber = d;
  const bool sfx = !sfxStub_.empty() || containsExe(fileName_);
  auto previousVolume = [&](bool advanced) {
    return platform::nativePath(volumeFileName(fileName_, smSplitting, uint32_t(d - 1), false, advanced, sfx));
  };
  if (platform::fileExists(previousVolume(spanningOptions_.AdvancedNaming))) return;
  if (platform::fileExists(previousVolume(!spanningOptions_.AdvancedNaming))) {
    spanningOptions_.AdvancedNaming = !spanningOptions_.AdvancedNaming;
    return;
  }
  spanningMode_ = containsExe(fileName_) ? smNone : smSpanning;
}

void TZABaseArchiver::openExisting() {
  spanningMode_ = smNone;
  volumeInfo_ = TZAVolumeNumberInfo{};
  volumeInfo_.kind = TZAVolumeNumberInfo::vnLast;
  const std::string path = platform::nativePath(fileName_);
  if (!platform::fileExists(path)) {
    // A missing archive on a removable drive is the last disk of a spanned
    // set not yet inserted; reading such sets is not supported.
    if (isRemovableDrive(fileName_)) spanningMode_ = smSpanning;
    throw error(za::kVolumeNotObtained);
  }
  const bool writable = openMode_ == TZAOpenMode::ReadWrite;
  stream_ = std::make_unique<FileArchiveStream>(platform::File::open(
      path, writable ? platform::Access::ReadWrite : platform::Access::Read,
      writable ? unsigned(platform::ShareRead) : unsigned(platform::ShareReadWrite | platform::ShareDelete),
      platform::Disposition::OpenExisting));
  dir_ = std::make_unique<TZADirManager>(*stream_, TZADirReadSettings{options_.OEMFileNames, name_});
  const bool found = dir_->searchEndRecord();
  recogniseVolumes(found);
  if (!found && containsExe(platform::extractFileName(fileName_))) {
    // A self-extracting first volume whose set ends in a ".ZIP" file.
    std::string lastVolume = volumeFileName(fileName_, smSplitting, 0, true, spanningOptions_.AdvancedNaming, true);
    if (platform::fileExists(platform::nativePath(lastVolume))) {
      spanningMode_ = smSplitting;
      throw error(za::kVolumeNotObtained);
    }
  }
  // Multi-volume sets are recognised but not read.
  if (spanningMode_ != smNone) throw makeError(found ? za::kVolumeNotObtained : za::kMultiVolumeWithoutEnd, {},
                                               found ? std::string_view(name_) : std::string_view());
  if (!found && !OpenCorruptedArchives) throw error(za::kArchiveDamaged);
  dir_->readDirectory(OpenCorruptedArchives);
  volumeInfo_.lastVolumeNumber = int32_t(dir_->lastVolume());
}

void TZABaseArchiver::releaseArchive() {
  dir_.reset();
  stream_.reset();
}

void TZABaseArchiver::CloseArchive() {
  if (active_) {
    try {
      if (openMode_ != TZAOpenMode::ReadOnly && stream_ && stream_->size() == 0) {
        uint8_t end[zipfmt::kEndSize];
        zipfmt::encodeEndRecord(zipfmt::EndRecord{}, end);
        stream_->writeAt(0, end, sizeof end);
        if (options_.FlushBuffers) stream_->flush();
      }
    } catch (...) {
      // Closing never fails.
    }
    active_ = false;
  }
  releaseArchive();
}

void TZABaseArchiver::requireOpen() const {
  if (!active_ || !dir_) throw error(za::kArchiveNotOpen);
}

size_t TZABaseArchiver::FileCount() const {
  requireOpen();
  return dir_->count();
}

TDirItem TZABaseArchiver::DirItem(size_t index) const {
  requireOpen();
  return dir_->item(index);
}

const TZADirManager& TZABaseArchiver::DirManager() const {
  requireOpen();
  return *dir_;
}

// ---- Event dispatch and defaults.

void TZABaseArchiver::DoOverallProgress(double progress, TZAProcessOperation operation, TZAProgressPhase phase,
                                        bool& cancel) {
  if (OnOverallProgress) OnOverallProgress(*this, progress, operation, phase, cancel);
}

void TZABaseArchiver::DoFileProgress(const std::string& fileName, double progress, TZAProcessOperation operation,
                                     TZAProgressPhase phase, bool& cancel) {
  if (OnFileProgress) OnFileProgress(*this, fileName, progress, operation, phase, cancel);
}

void TZABaseArchiver::DoConfirmOverwrite(const std::string& sourceFileName, std::string& destFileName,
                                         bool& confirm) {
  if (OnConfirmOverwrite) {
    OnConfirmOverwrite(*this, sourceFileName, destFileName, confirm);
    return;
  }
  TZAInteraction* ui = registeredInteraction();
  if (!ui) {
    confirm = false;
    return;
  }
  const std::string text = platform::formatText(platform::invariantFormatSettings(), "Overwrite file \"%s\" with \"%s\"",
                                                {platform::utf8ToAnsi(destFileName), sourceFileName});
  switch (ui->confirmOverwrite(text)) {
    case OverwriteAnswer::Yes:
      confirm = true;
      break;
    case OverwriteAnswer::No:
      confirm = false;
      break;
    case OverwriteAnswer::YesToAll:
      confirm = true;
      options_.OverwriteMode = omAlways;
      break;
    case OverwriteAnswer::NoToAll:
      confirm = false;
      options_.OverwriteMode = omNever;
      break;
  }
}

void TZABaseArchiver::DoConfirmProcessFile(const std::string& fileName, TZAProcessOperation operation,
                                           bool& confirm) {
  if (OnConfirmProcessFile) OnConfirmProcessFile(*this, fileName, operation, confirm);
}

void TZABaseArchiver::DoPassword(const std::string& fileName, std::string& newPassword, bool& skipFile) {
  if (OnPassword) {
    OnPassword(*this, fileName, newPassword, skipFile);
    return;
  }
  TZAInteraction* ui = registeredInteraction();
  std::optional<std::string> typed;
  if (ui)
    typed = ui->inputPassword(
        platform::formatText(platform::invariantFormatSettings(), "Password for \"%s\"", {fileName}),
        "Enter password: ", newPassword);
  if (typed)
    newPassword = *typed;
  else
    skipFile = true;
}

void TZABaseArchiver::DoProcessFileFailure(const std::string& fileName, TZAProcessOperation operation,
                                           int32_t nativeError, int32_t errorCode, const std::string& errorMessage,
                                           TZAAction& action) {
  if (OnProcessFileFailure) {
    OnProcessFileFailure(*this, fileName, operation, nativeError, errorCode, errorMessage, action);
    return;
  }
  TZAInteraction* ui = registeredInteraction();
  if (!ui) {
    action = fxaAbort;
    return;
  }
  const std::string text = platform::formatText(platform::invariantFormatSettings(),
                                                "%s. File processing error, possibly disk is full", {errorMessage});
  switch (ui->processFileFailure(text)) {
    case FailureAnswer::Retry:
      action = fxaRetry;
      break;
    case FailureAnswer::Ignore:
      action = fxaIgnore;
      break;
    case FailureAnswer::Abort:
      action = fxaAbort;
      break;
  }
}

void TZABaseArchiver::DoExtractFile(std::string& fileName, uint32_t& fileAttr, const std::string& comment) {
  if (OnExtractFile) OnExtractFile(*this, fileName, fileAttr, comment);
}

}  // namespace archive
