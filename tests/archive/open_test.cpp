// Opening archives: the end record search, the recovery scan, the stub
// check, Zip64 records, multi-volume recognition, creating and closing, and
// the errors of the reading path.
#include <gtest/gtest.h>

#include <filesystem>

#include "archive/zip_archiver.h"
#include "archive_test_support.h"
#include "platform/bytes.h"
#include "test_support.h"
#include "zip_builder.h"

using namespace archive;
using namespace archive_test;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

std::string openError(TZipArchiver& zip) {
  try {
    zip.OpenArchive();
  } catch (const EZAException& e) {
    EXPECT_FALSE(zip.Active());
    return e.message();
  }
  return "opened";
}

std::vector<TestEntry> twoEntries() {
  return {{.name = "docs/readme.txt", .data = std::string(3000, 'r')},
          {.name = "b.bin", .data = "0123456789", .method = 0, .dataDescriptor = true}};
}

}  // namespace

TEST(OpenArchive, BytesAfterTheEndRecordAreOpenedByTheRecoveryScan) {
  TempDir dir;
  const std::string path = dir.file("tail.zip");
  writeFile(path, buildZip(twoEntries(), {.comment = "note", .trailer = "trailing bytes"}));

  TZipArchiver zip;
  zip.setName("Archiver");
  zip.setFileName(path);
  zip.OpenArchive();
  ASSERT_EQ(zip.FileCount(), 2u);
  const TDirItem first = zip.DirItem(0), second = zip.DirItem(1);
  EXPECT_EQ(first.name, "docs/readme.txt");
  EXPECT_EQ(first.header.externalAttr, 0x20u);
  EXPECT_EQ(first.header.commentLength, 0u);
  EXPECT_EQ(first.header.versionMadeBy, first.header.versionNeeded);
  // The data descriptor gives the sizes and CRC the local header left out.
  EXPECT_EQ(second.header.uncompressedSize, 10u);
  EXPECT_EQ(second.header.crc, crcOf("0123456789"));
  EXPECT_EQ(zip.DirManager().comment(), "");

  zip.setBaseDir(dir.file("out") + "/");
  Recorder rec;
  rec.attach(zip);
  zip.ExtractFiles("*.*", 10431);
  EXPECT_TRUE(rec.failures.empty());
  EXPECT_EQ(readFile(dir.file("out/docs/readme.txt")), std::string(3000, 'r'));
  EXPECT_EQ(readFile(dir.file("out/b.bin")), "0123456789");

  zip.OpenCorruptedArchives = false;
  EXPECT_EQ(openError(zip), "Archiver: Archive is damaged. Open failed - Native error: 00048");
}

TEST(OpenArchive, FileWithoutAnyZipStructureFailsAsInvalid) {
  TempDir dir;
  writeFile(dir.file("x.zip"), std::string(5000, 'x') + "PK\x03\x04" + "short");
  TZipArchiver zip;
  zip.setName("Archiver");
  zip.setFileName(dir.file("x.zip"));
  EXPECT_EQ(openError(zip), "Invalid archive file. - Native error: 00035");
}

TEST(OpenArchive, DirectoryIsFoundFromTheEndRecordEvenWithAWrongStoredOffset) {
  TempDir dir;
  std::string bytes = buildZip(twoEntries());
  platform::storeU32(reinterpret_cast<uint8_t*>(bytes.data()) + bytes.size() - 22 + 16, 0x12345678);
  writeFile(dir.file("a.zip"), bytes);
  TZipArchiver zip;
  zip.setFileName(dir.file("a.zip"));
  zip.OpenArchive();
  EXPECT_EQ(zip.FileCount(), 2u);
  EXPECT_EQ(zip.DirItem(1).name, "b.bin");
}

TEST(OpenArchive, ExtraBlockLongerThanTheExtraFieldKeepsWhatRemains) {
  TempDir dir;
  TestEntry e{.name = "a.txt", .data = "abc"};
  e.centralExtra = std::string("\x99\x99\x50\x00", 4) + "xyz";  // declares 80 bytes, 3 follow
  writeFile(dir.file("a.zip"), buildZip({e, {.name = "b.txt", .data = "b"}}));
  TZipArchiver zip;
  zip.setFileName(dir.file("a.zip"));
  zip.OpenArchive();
  ASSERT_EQ(zip.FileCount(), 2u);
  const TDirItem item = zip.DirItem(0);
  ASSERT_EQ(item.extra.size(), 1u);
  EXPECT_EQ(item.extra[0].tag, 0x9999);
  EXPECT_EQ(item.extra[0].data, "xyz");
  EXPECT_EQ(zip.DirItem(1).name, "b.txt");
}

TEST(OpenArchive, StubWhoseOffsetsAreNotCountedShiftsFileEntriesOnly) {
  TempDir dir;
  const std::string stub = "MZ" + std::string(1998, 's');
  std::vector<TestEntry> entries = {{.name = "sub/", .data = "", .method = 0, .externalAttr = 0x10},
                                    {.name = "a.txt", .data = std::string(500, 'a')}};
  writeFile(dir.file("s.exe"), buildZip(entries, {.prefix = stub, .offsetsCountPrefix = false}));
  writeFile(dir.file("t.exe"), buildZip(entries, {.prefix = stub, .offsetsCountPrefix = true}));
  for (auto [name, folderOffset] : {std::pair{"s.exe", 0u}, std::pair{"t.exe", 2000u}}) {
    SCOPED_TRACE(name);
    TZipArchiver zip;
    zip.setFileName(dir.file(name));
    zip.OpenArchive();
    EXPECT_EQ(zip.DirManager().stubSize(), 2000u);
    EXPECT_EQ(zip.DirItem(0).header.localOffset, folderOffset);  // folders are not shifted
    EXPECT_EQ(zip.DirItem(1).localHeaderOffset(), 2000u + 30 + 4);
  }
}

TEST(OpenArchive, LocatorWithoutAValidZip64EndRecordFails) {
  TempDir dir;
  std::string bytes = readFile(testing_support::fixturePath("zip/zip64_allones.zip"));
  const size_t record = bytes.rfind(std::string("PK\x06\x06", 4));
  ASSERT_NE(record, std::string::npos);
  bytes[record + 3] = 0x07;
  writeFile(dir.file("z.zip"), bytes);
  TZipArchiver zip;
  zip.setName("Archiver");
  zip.setFileName(dir.file("z.zip"));
  EXPECT_EQ(openError(zip), "Cannot find Zip64 directory end record - Native error: 00040");
}

TEST(OpenArchive, MultiVolumeSetsAreRecognisedAndRefused) {
  TempDir dir;
  std::string bytes = buildZip(twoEntries());
  platform::storeU16(reinterpret_cast<uint8_t*>(bytes.data()) + bytes.size() - 22 + 4, 2);  // this disk = 2
  writeFile(dir.file("set.zip"), bytes);
  writeFile(dir.file("set_002.zip"), "volume 1");

  TZipArchiver zip;
  zip.setName("Archiver");
  zip.setFileName(dir.file("set.zip"));
  EXPECT_EQ(openError(zip), "Archiver: Cannot open archive file. Opening aborted or invalid file - Native error: 00045");
  EXPECT_EQ(zip.SpanningMode(), smSplitting);

  // The other naming scheme is found and kept.
  std::filesystem::rename(dir.file("set_002.zip"), dir.file("set.Z02"));
  EXPECT_NE(openError(zip), "opened");
  EXPECT_EQ(zip.SpanningMode(), smSplitting);
  EXPECT_FALSE(zip.SpanningOptions().AdvancedNaming);
}

TEST(OpenArchive, ReportsMissingAndBlankNamesWithTheirTexts) {
  TempDir dir;
  TZipArchiver zip;
  zip.setName("Archiver");
  zip.setFileName(dir.file("absent.zip"));
  try {
    zip.OpenArchive(TZAOpenMode::ReadOnly);
    FAIL();
  } catch (const EZAException& e) {
    EXPECT_EQ(e.message(), "Archiver: File \"" + dir.file("absent.zip") + "\" not found - Native error: 00012");
  }
  zip.setFileName(dir.path() + "/");
  EXPECT_EQ(openError(zip), "Archiver: File name is blank. Specify appropriate file name - Native error: 00009");
  try {
    zip.OpenArchive(TZAOpenMode::ReadOnly);
    FAIL();
  } catch (const EZAException& e) {
    EXPECT_EQ(e.nativeError(), 10);
  }
  EXPECT_THROW(zip.FileCount(), EZAException);
}

TEST(OpenArchive, NewArchiveIsCreatedAndClosedAsAnEmptyEndRecord) {
  TempDir dir;
  TZipArchiver zip;
  zip.setFileName(dir.file("new.zip"));
  zip.setSpanningMode(smSplitting);
  zip.OpenArchive();
  EXPECT_TRUE(zip.Active());
  EXPECT_EQ(zip.OpenMode(), TZAOpenMode::Create);
  EXPECT_THROW(zip.setSpanningMode(smNone), platform::Exception);
  zip.CloseArchive();
  EXPECT_FALSE(zip.Active());
  const std::string bytes = readFile(dir.file("new.zip"));
  EXPECT_EQ(bytes, std::string("PK\x05\x06", 4) + std::string(18, '\0'));

  // Reopened, it is an existing archive: the form's spanning mode gives way.
  zip.OpenArchive();
  EXPECT_EQ(zip.OpenMode(), TZAOpenMode::ReadWrite);
  EXPECT_EQ(zip.SpanningMode(), smNone);
  EXPECT_EQ(zip.FileCount(), 0u);
  try {
    zip.DirItem(0);
    FAIL();
  } catch (const EZAException& e) {
    EXPECT_EQ(e.message(), "Index out of bounds - Native error: 00001");
  }

  // In memory only a new archive can be made.
  zip.CloseArchive();
  zip.setInMemory(true);
  zip.OpenArchive();
  EXPECT_EQ(zip.OpenMode(), TZAOpenMode::Create);
  EXPECT_EQ(zip.FileCount(), 0u);
  try {
    zip.OpenArchive(TZAOpenMode::ReadOnly);
    FAIL();
  } catch (const EZAException& e) {
    EXPECT_EQ(e.nativeError(), 28);
  }
}

TEST(ArchiveSettings, CompressionModeAndLevelFollowEachOther) {
  TZipArchiver zip;
  EXPECT_EQ(zip.CompressionMode(), 1);
  EXPECT_EQ(zip.CompressionLevel(), clFastest);
  EXPECT_EQ(zip.CurrentVersion(), "2.64 ");
  const std::pair<int, TZACompressionLevel> modes[] = {{0, clNone}, {3, clFastest}, {4, clNormal}, {9, clMax}};
  for (auto [mode, level] : modes) {
    zip.setCompressionMode(mode);
    EXPECT_EQ(zip.CompressionLevel(), level);
  }
  const std::pair<TZACompressionLevel, int> levels[] = {{clNone, 0}, {clFastest, 1}, {clNormal, 6}, {clMax, 9}};
  for (auto [level, mode] : levels) {
    zip.setCompressionLevel(level);
    EXPECT_EQ(zip.CompressionMode(), mode);
  }
  try {
    zip.setCompressionMode(10);
    FAIL();
  } catch (const EZAException& e) {
    EXPECT_EQ(e.nativeError(), 5);
  }
  const TZAOptions defaults;
  EXPECT_EQ(defaults.SearchAttr, 10431u);
  EXPECT_EQ(defaults.OverwriteMode, omAlways);
  EXPECT_TRUE(zip.OpenCorruptedArchives);
  EXPECT_EQ(zip.Zip64Mode(), zmDisabled);
}
