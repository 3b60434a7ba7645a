// The archive object's option sets and the enumerations of its settings and
// events.
#pragma once

#include <cstdint>

namespace archive {

enum TZACompressionLevel { clNone, clFastest, clNormal, clMax };

enum TZASpanningMode { smNone, smSpanning, smSplitting };

enum TZAStorePathMode { spNoPath, spRelativePath, spFullPath, spFullPathWithDrive };

enum TZAFileShareMode { smShareCompat, smShareExclusive, smShareDenyWrite, smShareDenyRead, smShareDenyNone };

enum TZAOverwriteMode { omPrompt, omAlways, omNever, omIfNewer, omIfOlder };

enum TZAVolumeSize {
  vsAutoDetect,
  vsCustom,
  vs1_44MB,
  vs100MB,
  vs200MB,
  vs250MB,
  vs600MB,
  vs650MB,
  vs700MB,
  vs4700MB
};

enum TZip64Mode { zmDisabled, zmAuto, zmAlways };

enum TZAProcessOperation {
  poAdd,
  poMove,
  poDelete,
  poUpdate,
  poExtract,
  poTest,
  poRename,
  poChangeAttr,
  poChangeComment,
  poMakeSFX
};

enum TZAProgressPhase { ppStart, ppProcess, ppEnd };

enum TZAAction { fxaRetry, fxaIgnore, fxaAbort };

// How OpenArchive opens the archive file when the caller chooses.
enum class TZAOpenMode { Create, ReadWrite, ReadOnly };

struct TZAOptions {
  bool Recurse = true;
  TZAStorePathMode StorePath = spRelativePath;
  TZAFileShareMode ShareMode = smShareDenyNone;
  TZAOverwriteMode OverwriteMode = omAlways;
  bool CreateDirs = true;
  bool ReplaceReadOnly = true;
  bool SetAttributes = true;
  uint32_t SearchAttr = 10431;  // 28BF hex
  bool FlushBuffers = true;
  bool OEMFileNames = true;
};

struct TZASpanningOptions {
  bool AdvancedNaming = true;
  int64_t FirstVolumeSize = 0;
  TZAVolumeSize VolumeSize = vsAutoDetect;

  int64_t CustomVolumeSize() const { return customVolumeSize_; }
  // A size below 65,536 is kept as 65,536.
  void setCustomVolumeSize(int64_t size) { customVolumeSize_ = size < 65536 ? 65536 : size; }

 private:
  int64_t customVolumeSize_ = 0;
};

}  // namespace archive
