// vzdb info: what a database file holds — its header, the password check,
// the kind and owner of every page with the free-space maps checked against
// them, and the catalogue. Exits with 1 when anything does not fit.
#include <cstdio>
#include <memory>
#include <string>

#include "dbengine/storage/catalogue.h"
#include "dbengine/storage/database_file_check.h"
#include "dbengine/storage/database_file_errors.h"
#include "dbengine/storage/free_space_manager.h"
#include "dbengine/storage/page_manager.h"
#include "platform/bytes.h"
#include "platform/errors.h"
#include "platform/locale.h"
#include "tools/vzdb/command.h"
#include "tools/vzdb/options.h"

namespace vzdb {
namespace {

const char* cipherName(uint8_t cipherID) {
  static const char* const kNames[] = {
      "Rijndael, 128-bit key from RIPEMD-128", "Rijndael, 256-bit key from RIPEMD-256", "DES, key from RIPEMD-128",
      "triple DES, key from RIPEMD-128",       "Blowfish, key from RIPEMD-256",        "Twofish, key from RIPEMD-128",
      "Twofish, key from RIPEMD-256",          "Square, key from RIPEMD-128",
  };
  return cipherID < vz::kCipherCount ? kNames[cipherID] : "no cipher: data left as it is";
}

void printHeader(vz::TVZDiskPageManager& m) {
  const vz::TVZDatabaseFileHeader& h = m.header();
  uint8_t counter[4];
  m.file().read(counter, m.nextObjectIDOffset(), 4);
  std::printf("Header (at byte %lld)\n", (long long)m.signatureOffset());
  std::printf("  Signature        %.*s\n", int(h.signatureText().size()), h.signatureText().data());
  std::printf("  HeaderSize       %d\n", int(h.headerSize));
  std::printf("  Version          %g\n", h.version);
  std::printf("  PageSize         %d (%zu data bytes)\n", int(h.pageSize), m.pageDataSize());
  std::printf("  ExtentPageCount  %d\n", int(h.extentPageCount));
  std::printf("  TotalPageCount   %d\n", int(h.totalPageCount));
  std::printf("  LastUsedPageNo   %d\n", int(h.lastUsedPageNo));
  std::printf("  ChangeCount      %d\n", int(h.changeCount));
  std::printf("  CommitState      %d (%s)\n", int(h.commitState),
              h.commitState == vz::kCommitStateConsistent ? "consistent" : "a commit was cut short");
  std::printf("  Encrypted        %s\n", h.encrypted ? "yes" : "no");
  std::printf("  NextObjectID     %d\n", int(platform::loadI32(counter)));
  std::printf("Password check\n");
  if (!m.isEncrypted()) {
    std::printf("  not encrypted: no password needed\n");
  } else {
    const uint8_t cipher = m.passwordCheckBlock().cipherID;
    std::printf("  CipherID %d (%s): password accepted\n", int(cipher), cipherName(cipher));
  }
}

void printPages(vz::TVZDiskPageManager& m, const vz::TVZFileReport& report) {
  const vz::TVZFreeSpaceGeometry& g = m.freeSpace().geometry();
  std::printf("Pages (a PFS page every %lld pages, an EAM page every %lld pages)\n", (long long)g.pagesPerPFS(),
              (long long)g.pagesPerEAM());
  std::printf("  %6s  %-26s %6s  %s\n", "page", "kind", "next", "owner");
  const auto& pages = report.pages;
  for (size_t i = 0; i < pages.size(); ++i) {
    const vz::TVZPageReport& p = pages[i];
    if (!p.used) {
      size_t last = i;
      while (last + 1 < pages.size() && !pages[last + 1].used) ++last;
      if (last == i) std::printf("  %6d  free\n", p.pageNo);
      else std::printf("  %6d  free, to page %d\n", p.pageNo, pages[last].pageNo);
      i = last;
      continue;
    }
    const std::string kind = p.hasMagic ? std::string(vz::pageTypeName(p.type)) : "(no page)";
    std::printf("  %6d  %-26s %6d  %s\n", p.pageNo, kind.c_str(), int(p.nextPageNo), p.owner.c_str());
  }
}

void printCatalogue(vz::TVZCatalogue& c) {
  std::printf("System directory (page %d)\n", vz::kSystemDirectoryPageNo);
  for (const vz::TVZDirectoryEntry& e : c.directory.entries()) {
    const char* what = e.kind == vz::kDirectoryTableList ? "table list"
                       : e.kind == vz::kDirectorySessions ? "sessions file"
                                                          : "unknown";
    std::printf("  kind %d  %-14s start page %d\n", int(e.kind), what, int(e.startPageNo));
  }
  std::printf("Sessions file: %d connection slots\n", int(c.sessions.maxConnections()));
  std::printf("Tables (%zu)\n", c.tables.entries().size());
  for (const vz::TVZTableListEntry& t : c.tables.entries()) {
    std::printf("  %-24s TableID %d, metadata page %d, counters page %d, locks page %d\n",
                platform::ansiToUtf8(t.name).c_str(), int(t.tableID), int(t.metadataStart),
                int(t.mostUpdatedStart), int(t.locksStart));
  }
}

}  // namespace

int runInfo(const Args& args) {
  const Options o = readOptions(args, {"--password"});
  if (o.plain.size() != 1) throw UsageError{"give one database file"};
  const std::string& fileName = o.plain[0];

  vz::TVZDiskPageManager m;
  bool multiUser = true, needsRepair = false, readOnly = true;
  try {
    m.openDatabaseFile(fileName, {platform::utf8ToAnsi(o.text("--password")), 0}, multiUser, false, needsRepair,
                       readOnly);
  } catch (const platform::EVZException& e) {
    if (e.nativeError() != vz::msg::kIncorrectPassword.code) throw;
    std::fprintf(stderr, "vzdb info: %s\n  the database is encrypted: give its password with --password\n",
                 e.what());
    return 1;
  }
  std::printf("Database file %s\n", fileName.c_str());
  printHeader(m);

  auto catalogue = std::make_unique<vz::TVZCatalogue>(m);
  std::string catalogueError;
  try {
    catalogue->open();
  } catch (const platform::Exception& e) {
    catalogueError = e.message();
    catalogue.reset();
  }
  vz::TVZFileReport report = vz::checkDatabaseFile(m, catalogue.get());
  if (!catalogueError.empty()) report.problems.insert(report.problems.begin(), "catalogue: " + catalogueError);
  if (needsRepair) {
    report.problems.insert(report.problems.begin(),
                           m.header().commitState != vz::kCommitStateConsistent
                               ? "a commit was cut short (CommitState " + std::to_string(m.header().commitState) +
                                     "): the database needs repair"
                               : "the format version is older than 2.99: the database needs repair");
  }

  printPages(m, report);
  if (catalogue) printCatalogue(*catalogue);
  if (report.problems.empty()) {
    std::printf("Check: every page is consistent\n");
    return 0;
  }
  std::printf("Check: %zu problem(s)\n", report.problems.size());
  for (const std::string& p : report.problems) std::printf("  %s\n", p.c_str());
  return 1;
}

}  // namespace vzdb
