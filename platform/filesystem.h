// Files and folders by path: existence, search, delete, rename, attributes,
// times, folder creation. Every path goes through nativePath() first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// File attributes with their Windows values.
enum FileAttribute : uint32_t {
  faReadOnly = 0x01,
  faHidden = 0x02,
  faSysFile = 0x04,
  faVolumeID = 0x08,
  faDirectory = 0x10,
  faArchive = 0x20,
  faNormal = 0x80,
  faTemporary = 0x100,
};

bool fileExists(std::string_view path);       // an existing file, not a folder
bool directoryExists(std::string_view path);  // an existing folder
std::string currentDirectory();               // with no trailing separator
uint64_t fileSize(std::string_view path);     // EOSError when it does not exist

struct FindEntry {
  std::string name;     // the name only, as stored in the folder
  uint64_t size = 0;
  uint32_t attributes = 0;
};

// Wildcard search: `pattern` is a folder followed by a mask of the last
// component ("...\Ex_Data\DBEX_20*.FDB"). "*" and "?" match as Windows does
// (without regard to case; "*.*" matches every name, also one without a
// dot). Ordinary files always match the attribute test; hidden, system and
// folder entries only when their attribute is in `attributeMask`. "." and
// ".." are never returned. Entries come sorted by name without regard to
// case, the order an NTFS folder returns. A missing folder gives no entries.
std::vector<FindEntry> findFiles(std::string_view pattern, uint32_t attributeMask);

// The wildcard rule used by findFiles, for other callers: "*" any run of
// characters; "*" before a dot does not run past the name's last dot;
// "?" one character, or none at a dot or at the end of the name; a dot
// before "?", "*" or at the end of the mask also matches the end of the
// name ("*." finds names without an extension). Names are matched as they
// are stored; there are no short 8.3 aliases to match as well.
bool matchesMask(std::string_view name, std::string_view mask);

// Delete a file; false when it could not be deleted (missing, a folder, no
// permission). A read-only file is not deleted, nor one that an open handle
// does not share deleting with (File::open's ShareDelete), as on Windows.
bool deleteFile(std::string_view path);
// Rename or move a file or folder; false when `to` already exists or the
// move fails (Windows refuses to replace), or when an open handle does not
// share deleting. A change of case only ("a.txt" -> "A.txt") is allowed.
// A file (not a folder) moves to another file system by copy and delete.
bool renameFile(std::string_view from, std::string_view to);
// Rename `from` over `to`, replacing an existing file atomically; EOSError on
// failure, among them a read-only `to` (EACCES) and a sharing violation.
void replaceFile(std::string_view from, std::string_view to);
// Delete an empty folder; false on failure.
bool removeDirectory(std::string_view path);
// Create a folder and its missing parents; true when it exists afterwards.
bool forceDirectories(std::string_view path);

// Attributes: read-only when the owner has no write permission; hidden,
// system and archive from the user.DOSATTRIB extended attribute where the
// file system keeps it (silently dropped where it does not); folder;
// faNormal when none of these is set, as Windows reports it. A new file has
// no archive attribute. nullopt when the path does not exist.
std::optional<uint32_t> fileAttributes(std::string_view path);
// Sets the attributes: read-only removes every write permission bit, and
// clearing it gives the owner write permission back; hidden, system and
// archive are stored as the text "0x.." (the other bits are not kept).
// False when the path does not exist or cannot change.
bool setFileAttributes(std::string_view path, uint32_t attributes);

// MS-DOS date (bits 15-9 year - 1980, 8-5 month, 4-0 day) and time
// (15-11 hours, 10-5 minutes, 4-0 seconds / 2), read as local time.
struct DosDateTime {
  uint16_t date = 0;
  uint16_t time = 0;
};
// Sets the last-write (and last-access) time; false when the path does not
// exist or the date is not a valid date.
bool setFileDosDateTime(std::string_view path, DosDateTime when);
// The last-write time in two-second steps: an odd second rounds up to the
// next even one (fractions of a second are dropped first). nullopt when the
// path does not exist or the time lies outside 1980-2107.
std::optional<DosDateTime> fileDosDateTime(std::string_view path);
// Last-write time as a date-time number (local time, to the millisecond),
// nullopt when missing.
std::optional<double> fileDateTime(std::string_view path);

}  // namespace platform
