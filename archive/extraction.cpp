// ExtractFiles: selection, the processing loop under the process-wide lock,
// and the extraction of one entry (path, folders, existing files, output
// file, time and attributes).
#include <algorithm>
#include <exception>
#include <mutex>
#include <optional>

#include "archive/base_archiver.h"
#include "archive/entry_decode_state.h"
#include "archive/entry_paths.h"
#include "archive/processing_lock.h"
#include "archive/selection.h"
#include "archive/volume_names.h"
#include "platform/file.h"
#include "platform/filesystem.h"
#include "platform/locale.h"
#include "platform/path.h"
#include "platform/temp.h"

namespace archive {
namespace {

constexpr const char* kTempPrefix = "~za";

std::string_view lastComponent(std::string_view name) {
  size_t cut = name.find_last_of("/\\");
  return cut == std::string_view::npos ? name : name.substr(cut + 1);
}

// The entry's MS-DOS date-time as one signed 32-bit value, date high.
int32_t dosStamp(uint16_t date, uint16_t time) { return int32_t((uint32_t(date) << 16) | time); }

}  // namespace

void TZABaseArchiver::ExtractFiles(std::string_view fileMask, uint32_t searchAttr, std::string_view exclusionMask) {
  requireOpen();
  exclusionMask_ = std::string(exclusionMask);
  selectedCount_ = selectEntries(dir_->items(), fileMask, searchAttr, options_);
  std::lock_guard<std::recursive_mutex> lock(processingLock());
  runExtraction();
}

bool TZABaseArchiver::onRemovableDrive(const std::string& path) {
  const std::string folder = platform::extractFilePath(path);
  auto known = removableFolders_.find(folder);
  if (known != removableFolders_.end()) return known->second;
  const bool removable = isRemovableDrive(path);
  removableFolders_.emplace(folder, removable);
  return removable;
}

void TZABaseArchiver::runExtraction() {
  removableFolders_.clear();
  processedCount_ = 0;
  cancel_ = false;
  bool aborted = false;
  DoOverallProgress(0, poExtract, ppStart, cancel_);
  for (size_t i = 0; !cancel_ && !aborted && dir_ && i < dir_->count(); ++i) {
    if (!dir_->at(i).selected) continue;
    dir_->at(i).lastOperation = poExtract;
    dir_->at(i).processed = true;
    std::string fileName = dir_->at(i).name;
    std::replace(fileName.begin(), fileName.end(), '/', '\\');
    for (;;) {
      TZAAction action = fxaIgnore;
      try {
        bool confirm = true;
        DoConfirmProcessFile(fileName, poExtract, confirm);
        if (!confirm) break;
        std::string target = baseDir_.empty() ? platform::currentDirectory() : baseDir_;
        if (target.back() != '\\' && target.back() != '/') target += '\\';
        DoFileProgress(fileName, 0, poExtract, ppStart, cancel_);
        if (cancel_) break;
        extractEntry(i, fileName, target);
        if (cancel_) break;
        DoFileProgress(fileName, 100, poExtract, ppEnd, cancel_);
        ++processedCount_;
        break;
      } catch (const EZAException& e) {
        DoProcessFileFailure(fileName, poExtract, e.nativeError(), e.errorCode(), e.message(), action);
        if (action == fxaRetry) continue;
        if (action == fxaAbort) aborted = true;
        break;
      }
    }
  }
  if (!cancel_ && !aborted) DoOverallProgress(100, poExtract, ppEnd, cancel_);
}

void TZABaseArchiver::extractEntry(size_t index, std::string fileName, const std::string& targetFolder) {
  const TDirItem item = dir_->items()[index];
  // A name from the archive never leads outside the target folder; a name
  // given by an OnExtractFile handler is the application's own choice.
  if (!staysInsideTarget(item.name)) throw error(za::kEntryOutsideTarget, {item.name});

  uint32_t attributes = item.header.externalAttr;
  DoExtractFile(fileName, attributes, item.comment);

  // `pathText` is the path as the system writes it (UTF-8, "\" allowed),
  // `shown` the same in Windows-1252 for messages.
  const bool completePath = fileName.find(':') != std::string::npos || fileName.find("\\\\") != std::string::npos;
  std::string pathText = completePath ? platform::ansiToUtf8(fileName) : targetFolder + platform::ansiToUtf8(fileName);
  std::string shown = completePath ? fileName : platform::utf8ToAnsi(targetFolder) + fileName;
  if (options_.CreateDirs) {
    const std::string folder = platform::extractFilePath(pathText);
    if (!folder.empty() && !platform::forceDirectories(platform::nativePath(folder)))
      throw error(za::kCannotCreateDirectory, {platform::utf8ToAnsi(folder)});
  } else {
    const std::string_view last = lastComponent(fileName);
    pathText = targetFolder + platform::ansiToUtf8(last);
    shown = platform::utf8ToAnsi(targetFolder) + std::string(last);
  }
  if (item.isFolderAttr() || (!item.name.empty() && item.name.back() == '/')) return;

  std::string path = platform::nativePath(pathText);
  bool exists = platform::fileExists(path);
  std::optional<uint32_t> oldAttributes;
  if (exists) {
    oldAttributes = platform::fileAttributes(path);
    const bool readOnly = oldAttributes && (*oldAttributes & platform::faReadOnly);
    if (!options_.ReplaceReadOnly && readOnly) return;
    const int32_t entryStamp = dosStamp(item.header.date, item.header.time);
    const auto existing = platform::fileDosDateTime(path);
    const int32_t fileStamp = existing ? dosStamp(existing->date, existing->time) : 0;
    bool replace = false;
    switch (options_.OverwriteMode) {
      case omAlways:
        replace = true;
        break;
      case omNever:
        replace = false;
        break;
      case omIfNewer:
        replace = entryStamp > fileStamp;
        break;
      case omIfOlder:
        replace = entryStamp < fileStamp;
        break;
      case omPrompt: {
        std::string dest = path;
        bool confirm = true;
        DoConfirmOverwrite(item.name, dest, confirm);
        replace = confirm;
        if (dest != path) {
          path = platform::nativePath(dest);
          shown = platform::utf8ToAnsi(dest);
          exists = platform::fileExists(path);
          oldAttributes = exists ? platform::fileAttributes(path) : std::nullopt;
        }
        break;
      }
    }
    if (!replace) return;
  }

  // The content goes to a temporary file beside the target, which takes the
  // target's place only once it is complete: a failed entry leaves an
  // existing file as it was.
  std::string folder = platform::extractFilePath(path);
  if (folder.empty()) folder = "./";
  std::string temp;
  platform::File out;
  try {
    temp = platform::makeTempFileName(folder, kTempPrefix);
    out = platform::File::open(temp, platform::Access::Write, platform::ShareNone,
                               platform::Disposition::TruncateExisting);
  } catch (const platform::EOSError&) {
    if (!temp.empty()) platform::deleteFile(temp);
    throw error(za::kCannotCreateFile, {shown});
  }

  DecodeState state{fileName};
  std::exception_ptr failure;
  try {
    decodeEntry(index, out, state);
  } catch (const EZAException&) {
    failure = std::current_exception();
  } catch (...) {
    out.close();
    platform::deleteFile(temp);
    throw;
  }
  if (options_.FlushBuffers && onRemovableDrive(path)) {
    try {
      out.flush();
    } catch (const platform::EOSError&) {
    }
  }
  out.close();
  platform::setFileDosDateTime(temp, platform::DosDateTime{item.header.date, item.header.time});
  if (skipFile_ || cancel_ || failure) {
    platform::deleteFile(temp);
    if (failure) std::rethrow_exception(failure);
    return;
  }

  const bool readOnlyTarget = exists && oldAttributes && (*oldAttributes & platform::faReadOnly);
  if (readOnlyTarget) platform::setFileAttributes(path, *oldAttributes & ~uint32_t(platform::faReadOnly));
  try {
    platform::replaceFile(temp, path);
  } catch (const platform::EOSError&) {
    platform::deleteFile(temp);
    if (readOnlyTarget) platform::setFileAttributes(path, *oldAttributes);
    throw error(za::kCannotCreateFile, {shown});
  }
  if (options_.SetAttributes) platform::setFileAttributes(path, attributes);
}

}  // namespace archive
