#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dbengine/storage/catalogue.h"
#include "dbengine/storage/page_manager.h"
#include "file_format_support.h"
#include "platform/bytes.h"
#include "platform/filesystem.h"
#include "test_support.h"
#include "child_process.h"

using file_format_test::messageOf;
using testing_support::TempDir;

namespace {

using file_format_test::Opened;

Opened openDatabase(vz::TVZDiskPageManager& m, const std::string& path, const std::string& password = "",
                    bool exclusive = false, bool readOnly = false) {
  return file_format_test::openDatabase(m, path, {password, 0}, exclusive, readOnly);
}

// Opens the file and loads its catalogue; the first failure's message.
std::string openAndLoad(const std::string& path, const std::string& password = "") {
  return messageOf([&] {
    vz::TVZDiskPageManager m;
    openDatabase(m, path, password);
    vz::TVZCatalogue catalogue(m);
    catalogue.open();
  });
}

}  // namespace

TEST(OpenDatabase, FixturesOpenWithTheirPasswords) {
  for (int cipher = 0; cipher < 8; ++cipher) {
    SCOPED_TRACE(cipher);
    vz::TVZDiskPageManager m;
    openDatabase(m, testing_support::fixturePath("vzdb/cipher_" + std::to_string(cipher) + ".fdb"), "tirelvash",
                 false, true);
    EXPECT_EQ(m.passwordCheckBlock().cipherID, cipher);
    vz::TVZCatalogue catalogue(m);
    catalogue.open();
    ASSERT_EQ(catalogue.tables.entries().size(), 1u);
    const vz::TVZTableListEntry* config = catalogue.tables.find("CONFIG");
    ASSERT_NE(config, nullptr);
    EXPECT_EQ(config->name, "Config");
    EXPECT_EQ(config->tableID, 1);
    EXPECT_EQ(config->metadataStart, 7);
    EXPECT_EQ(config->mostUpdatedStart, 8);
    EXPECT_EQ(config->locksStart, 5);
    EXPECT_EQ(catalogue.sessions.pageNumbers(), (std::vector<int32_t>{3}));
  }
}

TEST(OpenDatabase, FindsTheHeaderAfterOtherBytes) {
  TempDir dir;
  const std::string plain = dir.file("plain.fdb");
  file_format_test::createDatabase(plain);
  const std::string database = testing_support::readFile(plain);
  // Windows are 10,000 bytes: 9990 puts the signature across two of them,
  // 9983 only the header size behind it. A false signature comes first.
  for (size_t prefix : {size_t(1), size_t(9983), size_t(9984), size_t(9990), size_t(10000), size_t(25017)}) {
    SCOPED_TRACE(prefix);
    std::string before(prefix, 'x');
    if (prefix > 40) before.replace(5, 18, std::string("VIZ0OVOZIDADAVAZ") + char(77) + char(0));
    const std::string path = dir.file("embedded_" + std::to_string(prefix) + ".fdb");
    testing_support::writeFile(path, before + database);
    {
      vz::TVZDiskPageManager m;
      openDatabase(m, path);
      EXPECT_EQ(m.signatureOffset(), int64_t(prefix));
      vz::TVZCatalogue catalogue(m);
      catalogue.open();
      EXPECT_EQ(m.nextObjectID(), 1);
      vz::TVZPageRef page = m.newPage(0, vz::TVZPageType::TableMostUpdated);
      m.commit(0);
    }
    const std::string after = testing_support::readFile(path);
    EXPECT_EQ(after.substr(0, prefix), before);
    EXPECT_EQ(after.substr(prefix + 376, 4), std::string("\x01\0\0\0", 4));
    EXPECT_EQ(openAndLoad(path), "");
  }
  vz::TVZDiskPageManager m;
  openDatabase(m, testing_support::fixturePath("vzdb/embedded_9990.fdb"), "", false, true);
  EXPECT_EQ(m.signatureOffset(), 9990);
}

TEST(OpenDatabase, PasswordIsCheckedBeforeAnyPageIsRead) {
  TempDir dir;
  const std::string path = file_format_test::copyFixture("cipher_0.fdb", dir.path());
  std::filesystem::resize_file(path, 380);  // no pages at all
  vz::TVZDiskPageManager m;
  EXPECT_EQ(messageOf([&] { openDatabase(m, path, "wrong"); }),
            "Cannot open database - incorrect password - Native error: 30445");
  EXPECT_EQ(messageOf([&] { openDatabase(m, path, ""); }),
            "Cannot open database - incorrect password - Native error: 30445");
  openDatabase(m, path, "tirelvash");
  EXPECT_EQ(messageOf([&] { m.fetchPage(0, 2, 4); }),
            "Error reading database file page. Page No: 2, type 4 - Native error: 10526");
}

TEST(OpenDatabase, AnUnencryptedDatabaseIgnoresThePassword) {
  TempDir dir;
  const std::string path = dir.file("plain.fdb");
  file_format_test::createDatabase(path);
  EXPECT_EQ(openAndLoad(path, ""), "");
  EXPECT_EQ(openAndLoad(path, "anything"), "");
}

TEST(OpenDatabase, ReportsNeedsRepairForACutCommitOrAnOldVersion) {
  TempDir dir;
  struct Case {
    const char* what;
    uint8_t commitState;
    double version;
    bool needsRepair;
  };
  for (const Case& c : {Case{"sound", 2, 7.61, false}, Case{"cut commit", 1, 7.61, true},
                        Case{"old version", 2, 2.5, true}, Case{"oldest sound version", 2, 2.99, false}}) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file(std::string(c.what) + ".fdb");
    file_format_test::createDatabase(path);
    std::vector<uint8_t> version(8);
    platform::storeF64(version.data(), c.version);
    file_format_test::patchFile(path, 18, version);
    file_format_test::patchFile(path, 42, {c.commitState});
    vz::TVZDiskPageManager m;
    EXPECT_EQ(openDatabase(m, path).needsRepair, c.needsRepair);
    EXPECT_TRUE(m.isOpen());
  }
}

TEST(OpenDatabase, DamagedFilesGiveTheirErrors) {
  TempDir dir;
  struct Case {
    const char* what;
    std::function<void(const std::string&)> damage;
    std::string message;  // the start of it
  };
  const std::vector<Case> cases = {
      {"bad signature", [](const std::string& p) { file_format_test::patchFile(p, 0, {'X'}); },
       "Invalid file format. Found signature: 'XIZ0OVOZIDADAVAZ', expected: 'VIZ0OVOZIDADAVAZ' - Native error: 10523"},
      {"short file", [](const std::string& p) { std::filesystem::resize_file(p, 50); },
       "Cannot Read from file: '"},
      {"empty file", [](const std::string& p) { std::filesystem::resize_file(p, 0); }, "Cannot Read from file: '"},
      {"page size 0", [](const std::string& p) { file_format_test::patchFile(p, 26, {0, 0}); },
       "Invalid database format - Native error: 10524"},
      {"check block size", [](const std::string& p) { file_format_test::patchFile(p, 76, {0x19, 1}); },
       "Invalid database format"},
      {"lock block size", [](const std::string& p) { file_format_test::patchFile(p, 356, {0xFF, 0xFF}); },
       "Invalid database format"},
      {"last used page past the end", [](const std::string& p) { file_format_test::patchI32(p, 34, 6); },
       "Invalid database format"},
      {"directory names a page past the end",
       [](const std::string& p) { file_format_test::patchI32(p, 380 + 2 * 4096 + 40 + 10 + 6, 60); },
       "Error reading database file page. Page No: 60, type 6 - Native error: 10526"},
      {"system directory of the wrong kind",
       [](const std::string& p) { file_format_test::patchFile(p, 380 + 2 * 4096 + 8, {6}); },
       "Invalid page type. Possible data corruption. Expecting type 4, but found 6 - Native error: 10528"},
      {"sessions file of the wrong kind",
       [](const std::string& p) { file_format_test::patchFile(p, 380 + 3 * 4096 + 8, {7}); },
       "Invalid PageType found: 7 but expecting: 5 - Native error: 10558"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file(std::string(c.what) + ".fdb");
    file_format_test::createDatabase(path);
    c.damage(path);
    EXPECT_EQ(openAndLoad(path).rfind(c.message, 0), 0u) << openAndLoad(path);
  }

  const std::string encrypted = file_format_test::copyFixture("cipher_0.fdb", dir.path());
  file_format_test::patchFile(encrypted, 380 + 4 * 4096 + 100, {0x55});
  EXPECT_EQ(openAndLoad(encrypted, "tirelvash"), "Decrypt page error. Check CRC failed. PageNo: 4 - Native error: 10527");
}

TEST(OpenDatabase, ModesFollowTheFileAndTheRequest) {
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  file_format_test::createDatabase(path);
  {
    vz::TVZDiskPageManager m, other;
    const Opened o = openDatabase(m, path, "", true);
    EXPECT_FALSE(o.multiUser);
    EXPECT_FALSE(o.readOnly);
    EXPECT_EQ(messageOf([&] { openDatabase(other, path); }).rfind("Cannot open file:'", 0), 0u);
    EXPECT_EQ(messageOf([&] { openDatabase(m, path); }),
              "Error - database file " + path + " is in use. - Native error: 10520");
  }
  ASSERT_TRUE(platform::setFileAttributes(path, platform::faReadOnly));
  vz::TVZDiskPageManager m;
  const Opened o = openDatabase(m, path);
  EXPECT_TRUE(o.readOnly);
  EXPECT_FALSE(o.multiUser);
  EXPECT_FALSE(m.file().writable());
  // The counter of a read-only file moves on in memory only.
  const int32_t id = m.nextObjectID();
  EXPECT_GE(id, 1);
  EXPECT_LE(id, 10000);
  EXPECT_EQ(testing_support::readFile(path).substr(376, 4), std::string(4, '\0'));
}

TEST(OpenDatabase, WaitsForTheHeaderLockOfAnotherProcess) {
  file_format_test::ShortLockWaits shortWaits;
  TempDir dir;
  const std::string path = dir.file("a.fdb");
  file_format_test::createDatabase(path);
  testing_support::ChildProcess holder(file_format_test::helperProgram(), {"helper", "hold", path, "360"});
  ASSERT_EQ(holder.readLine(), "locked");
  vz::TVZDiskPageManager m;
  EXPECT_EQ(messageOf([&] { openDatabase(m, path); }), "Database is locked - Native error: 10525");
  holder.kill();  // its locks die with it
  EXPECT_EQ(openAndLoad(path), "");
}
