#include "platform/filesystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/dos_attributes.h"
#include "platform/errors.h"
#include "platform/file.h"
#include "platform/name_case.h"
#include "platform/os_error.h"
#include "platform/path.h"
#include "platform/share_modes.h"

namespace platform {
namespace {

bool statNative(const std::string& native, struct stat& st) {
  return !native.empty() && stat(native.c_str(), &st) == 0;
}

bool isReadOnly(const struct stat& st) { return !(st.st_mode & S_IWUSR); }

// A file moved to another file system is copied (data, permissions, times,
// stored attributes) and then deleted; the copy goes again when that fails.
int moveAcrossFileSystems(const std::string& from, const std::string& to, const struct stat& st) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::none, error);
  if (error) return error.value();
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  utimensat(AT_FDCWD, to.c_str(), times, 0);
  const uint32_t stored = dos_attributes::storedBits(from);
  if (stored != 0) {
    const std::string value = dos_attributes::format(stored);
    setxattr(to.c_str(), dos_attributes::kAttributeName, value.data(), value.size(), 0);
  }
  if (unlink(from.c_str()) != 0) {
    const int failure = errno;
    unlink(to.c_str());
    return failure;
  }
  return 0;
}

// Renames without replacing: fails with EEXIST when `to` exists.
int renameNoReplace(const std::string& from, const std::string& to) {
  if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno == EXDEV) {
    struct stat st;
    if (lstat(from.c_str(), &st) != 0) return errno;
    return S_ISREG(st.st_mode) ? moveAcrossFileSystems(from, to, st) : EXDEV;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return errno;
  // File systems without the flag: a new link cannot replace anything.
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return errno;
  if (!S_ISDIR(st.st_mode)) {
    if (link(from.c_str(), to.c_str()) != 0) return errno;
    if (unlink(from.c_str()) != 0) {
      const int error = errno;
      unlink(to.c_str());
      return error;
    }
    return 0;
  }
  if (lstat(to.c_str(), &st) == 0) return EEXIST;
  return rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

bool fileExists(std::string_view path) {
  struct stat st;
  return statNative(nativePath(path), st) && !S_ISDIR(st.st_mode);
}

bool directoryExists(std::string_view path) {
  struct stat st;
  return statNative(nativePath(path), st) && S_ISDIR(st.st_mode);
}

std::string currentDirectory() {
  std::string buffer(256, '\0');
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) throwOSError(errno, "Cannot read the current folder", ".");
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(buffer.find('\0'));
  return buffer;
}

uint64_t fileSize(std::string_view path) {
  const std::string native = nativePath(path);
  struct stat st;
  if (!statNative(native, st)) throwOSError(errno ? errno : ENOENT, "Cannot read the size of file", path);
  if (S_ISDIR(st.st_mode)) throwOSError(EISDIR, "Cannot read the size of file", native);
  return uint64_t(st.st_size);
}

std::vector<FindEntry> findFiles(std::string_view pattern, uint32_t attributeMask) {
  std::vector<FindEntry> entries;
  const std::string mask = extractFileName(pattern);
  if (mask.empty()) return entries;
  const std::string folderText = extractFilePath(pattern);
  const std::string folder = folderText.empty() ? std::string() : nativePath(folderText);
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return entries;

  const uint32_t excluded = (faHidden | faSysFile | faVolumeID | faDirectory) & ~attributeMask;
  std::vector<std::u32string> keys;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name == "." || name == ".." || !matchesMask(name, mask)) continue;
    const std::string path = joinPath(folder, name);
    struct stat st;
    if (fstatat(dirfd(dir), entry->d_name, &st, 0) != 0) continue;  // vanished, or a dangling link
    const uint32_t attributes = dos_attributes::attributesOf(path, st);
    if (attributes & excluded) continue;
    FindEntry found;
    found.name = std::string(name);
    found.size = S_ISDIR(st.st_mode) ? 0 : uint64_t(st.st_size);
    found.attributes = attributes;
    entries.push_back(std::move(found));
  }
  closedir(dir);

  std::vector<std::pair<std::u32string, size_t>> order;
  order.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i) order.emplace_back(upcaseName(entries[i].name), i);
  std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return entries[a.second].name < entries[b.second].name;
  });
  std::vector<FindEntry> sorted;
  sorted.reserve(entries.size());
  for (const auto& [key, index] : order) sorted.push_back(std::move(entries[index]));
  return sorted;
}

bool deleteFile(std::string_view path) {
  const std::string native = nativePath(path);
  struct stat st;
  if (native.empty() || lstat(native.c_str(), &st) != 0) return false;
  if (S_ISDIR(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  if (S_ISREG(st.st_mode) && isReadOnly(st)) {
    errno = EACCES;
    return false;
  }
  if (share_modes::deleteForbidden(native)) {
    errno = File::kSharingViolation;
    return false;
  }
  return unlink(native.c_str()) == 0;
}

bool renameFile(std::string_view from, std::string_view to) {
  const std::string source = nativePath(from);
  struct stat sourceStat;
  if (source.empty() || lstat(source.c_str(), &sourceStat) != 0) return false;
  std::string target = nativePath(to);
  if (target.empty()) return false;

  struct stat targetStat;
  bool sameFile = false;
  if (lstat(target.c_str(), &targetStat) == 0) {
    // Only a change of case of the same name may meet an existing entry.
    sameFile = targetStat.st_dev == sourceStat.st_dev && targetStat.st_ino == sourceStat.st_ino;
    if (!sameFile) {
      errno = EEXIST;
      return false;
    }
    target = joinPath(extractFilePath(target), extractFileName(to));
  }
  if (S_ISREG(sourceStat.st_mode) && share_modes::deleteForbidden(source)) {
    errno = File::kSharingViolation;
    return false;
  }
  if (sameFile) return rename(source.c_str(), target.c_str()) == 0;
  const int error = renameNoReplace(source, target);
  errno = error;
  return error == 0;
}

void replaceFile(std::string_view from, std::string_view to) {
  const std::string source = nativePath(from);
  const std::string target = nativePath(to);
  struct stat st;
  if (source.empty() || lstat(source.c_str(), &st) != 0) throwOSError(errno ? errno : ENOENT, "Cannot move file", from);
  if (S_ISREG(st.st_mode) && share_modes::deleteForbidden(source)) {
    throw EOSError(File::kSharingViolation, "Cannot move file \"" + source + "\": sharing violation");
  }
  if (target.empty()) throwOSError(ENOENT, "Cannot replace file", to);
  if (lstat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throwOSError(EISDIR, "Cannot replace file", target);
    if (S_ISREG(st.st_mode) && isReadOnly(st)) throwOSError(EACCES, "Cannot replace read-only file", target);
    if (S_ISREG(st.st_mode) && share_modes::deleteForbidden(target)) {
      throw EOSError(File::kSharingViolation, "Cannot replace file \"" + target + "\": sharing violation");
    }
  }
  if (rename(source.c_str(), target.c_str()) != 0) throwOSError(errno, "Cannot replace file", target);
}

bool removeDirectory(std::string_view path) {
  const std::string native = nativePath(path);
  return !native.empty() && rmdir(native.c_str()) == 0;
}

bool forceDirectories(std::string_view path) {
  const std::string native = nativePath(path);
  if (native.empty()) return false;
  for (size_t slash = native.find('/', 1); slash != std::string::npos; slash = native.find('/', slash + 1)) {
    mkdir(native.substr(0, slash).c_str(), 0777);
  }
  mkdir(native.c_str(), 0777);
  struct stat st;
  return stat(native.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
