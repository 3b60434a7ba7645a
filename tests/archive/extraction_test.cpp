// Extraction on archives the tests build: passwords, damaged data, methods,
// existing files, unsafe names, events and defaults.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>

#include "archive/interaction.h"
#include "archive/zip_archiver.h"
#include "archive_test_support.h"
#include "platform/bytes.h"
#include "platform/filesystem.h"
#include "test_support.h"
#include "zip_builder.h"

using namespace archive;
using namespace archive_test;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

namespace {

// An archive written to a temporary folder, opened, extracting into out/.
struct Extraction {
  explicit Extraction(const std::vector<TestEntry>& entries, const BuildOptions& options = {}) {
    writeFile(dir.file("a.zip"), buildZip(entries, options));
    std::filesystem::create_directory(out());
    zip.setName("Archiver");
    zip.setFileName(dir.file("a.zip"));
    zip.setPassword("vispult");
    zip.OpenArchive();
    zip.setBaseDir(out() + "/");
  }
  std::string out() const { return dir.file("out"); }
  std::string at(const std::string& name) const { return out() + "/" + name; }
  void run(const char* mask = "*.*") { zip.ExtractFiles(mask, 10431, ""); }

  TempDir dir;
  TZipArchiver zip;
};

// Answers the default dialogs and records their texts.
struct ScriptedInteraction : TZAInteraction {
  std::vector<std::string> texts;
  std::vector<FailureAnswer> failureAnswers;
  std::optional<std::string> password;
  OverwriteAnswer overwrite = OverwriteAnswer::Yes;

  OverwriteAnswer confirmOverwrite(const std::string& text) override {
    texts.push_back(text);
    return overwrite;
  }
  std::optional<std::string> inputPassword(const std::string& caption, const std::string& prompt,
                                           const std::string& initial) override {
    texts.push_back(caption + "|" + prompt + "|" + initial);
    auto answer = password;
    password.reset();
    return answer;
  }
  FailureAnswer processFileFailure(const std::string& text) override {
    texts.push_back(text);
    FailureAnswer a = failureAnswers.empty() ? FailureAnswer::Abort : failureAnswers.front();
    if (!failureAnswers.empty()) failureAnswers.erase(failureAnswers.begin());
    return a;
  }
};

struct RegisteredInteraction {
  explicit RegisteredInteraction(TZAInteraction* i) { registerInteraction(i); }
  ~RegisteredInteraction() { registerInteraction(nullptr); }
};

const std::string kText = "Mise a jour de Vendrix, contenu de test. " + std::string(2000, 'z');

}  // namespace

TEST(ExtractPasswords, RightPasswordDecryptsStoredAndDeflatedEntriesWithBothCheckBytes) {
  Extraction x({{.name = "d.txt", .data = kText, .password = "vispult"},
                {.name = "s.txt", .data = kText, .method = 0, .password = "vispult"},
                {.name = "t.txt", .data = kText, .password = "vispult", .dataDescriptor = true}});
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  EXPECT_TRUE(rec.passwordPrompts.empty());
  EXPECT_TRUE(rec.failures.empty());
  for (const char* n : {"d.txt", "s.txt", "t.txt"}) EXPECT_EQ(readFile(x.at(n)), kText) << n;
}

TEST(ExtractPasswords, CancelledPromptSkipsTheEntryAndLeavesNoFile) {
  Extraction x({{.name = "secret.txt", .data = kText, .password = "autre"}, {.name = "open.txt", .data = "open"}});
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  EXPECT_EQ(rec.passwordPrompts, std::vector<std::string>{"secret.txt"});
  EXPECT_TRUE(rec.failures.empty());
  EXPECT_EQ(listTree(x.out()), std::set<std::string>{"open.txt"});
}

TEST(ExtractPasswords, TypedPasswordReplacesThePasswordForLaterEntries) {
  Extraction x({{.name = "a.txt", .data = "one", .password = "autre"},
                {.name = "b.txt", .data = "two", .password = "autre"}});
  ScriptedInteraction ui;
  ui.password = "autre";
  RegisteredInteraction reg(&ui);
  x.run();
  EXPECT_EQ(ui.texts, std::vector<std::string>{"Password for \"a.txt\"|Enter password: |vispult"});
  EXPECT_EQ(x.zip.Password(), "autre");
  EXPECT_EQ(readFile(x.at("a.txt")), "one");
  EXPECT_EQ(readFile(x.at("b.txt")), "two");
}

TEST(ExtractPasswords, WithoutHandlerOrInteractionTheEntryIsSkipped) {
  Extraction x({{.name = "a.txt", .data = "one", .password = "autre"}, {.name = "b.txt", .data = "two"}});
  x.run();
  EXPECT_EQ(listTree(x.out()), std::set<std::string>{"b.txt"});
}

TEST(ExtractFailures, CrcMismatchRaisesError8AndIgnoreLeavesNoFile) {
  Extraction x({{.name = "bad.txt", .data = kText, .crc = 0xDEADBEEF}, {.name = "good.txt", .data = "good"}});
  Recorder rec;
  rec.attach(x.zip, fxaIgnore);
  x.run();
  ASSERT_EQ(rec.failures.size(), 1u);
  EXPECT_EQ(rec.failures[0].fileName, "bad.txt");
  EXPECT_EQ(rec.failures[0].nativeError, 8);
  EXPECT_EQ(rec.failures[0].message,
            "Archiver: Invalid size or check sum of file or unsupported compression format - Native error: 00008");
  EXPECT_EQ(listTree(x.out()), std::set<std::string>{"good.txt"});
}

TEST(ExtractFailures, ExtractCorruptedFilesKeepsWhatWasDecoded) {
  Extraction x(std::vector<TestEntry>{{.name = "bad.txt", .data = kText, .crc = 0xDEADBEEF}});
  x.zip.setExtractCorruptedFiles(true);
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  EXPECT_TRUE(rec.failures.empty());
  EXPECT_EQ(readFile(x.at("bad.txt")), kText);
}

TEST(ExtractFailures, DefaultFailureAnswerAbortsAndTheDialogShowsTheMessage) {
  Extraction x({{.name = "a.txt", .data = "a"}, {.name = "bad.txt", .data = "x", .crc = 1}, {.name = "c.txt", .data = "c"}});
  x.run();  // nothing registered: abort
  EXPECT_EQ(listTree(x.out()), std::set<std::string>{"a.txt"});

  ScriptedInteraction ui;
  ui.failureAnswers = {FailureAnswer::Retry, FailureAnswer::Ignore};
  RegisteredInteraction reg(&ui);
  x.run();
  ASSERT_EQ(ui.texts.size(), 2u);  // retried once, then ignored
  EXPECT_EQ(ui.texts[0],
            "Archiver: Invalid size or check sum of file or unsupported compression format - Native error: 00008. "
            "File processing error, possibly disk is full");
  EXPECT_EQ(listTree(x.out()), (std::set<std::string>{"a.txt", "c.txt"}));
}

TEST(ExtractFailures, UnsupportedMethodsFailWithTheirErrors) {
  const std::string zlibBlock = deflateZlib("block");
  Extraction x({{.name = "d64.bin", .data = "x", .method = 9, .stored = "x"},
                {.name = "old.bin", .data = "x", .method = 6, .versionNeeded = 10, .stored = "x"},
                {.name = "deflated.txt", .data = "d"}});
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  ASSERT_EQ(rec.failures.size(), 2u);
  EXPECT_EQ(rec.failures[0].message, "Deflate64 compression method is not supported - Native error: 00055");
  EXPECT_EQ(rec.failures[1].nativeError, 8);
  EXPECT_EQ(listTree(x.out()), std::set<std::string>{"deflated.txt"});
}

namespace {

// A block container: header, then 4-byte length and bytes per block.
std::string container(uint32_t blockSize, uint32_t total, const std::vector<std::string>& blocks, bool compressed,
                      uint16_t cipher = 0xFFFF) {
  std::string h(50, '\0');
  auto* p = reinterpret_cast<uint8_t*>(h.data());
  platform::storeU32(p + 0, blockSize);
  platform::storeU32(p + 8, total);
  platform::storeI32(p + 16, int32_t(blocks.size()));
  p[21] = compressed ? 1 : 0;
  platform::storeU16(p + 22, cipher);
  for (const std::string& b : blocks) {
    std::string len(4, '\0');
    platform::storeU32(reinterpret_cast<uint8_t*>(len.data()), uint32_t(b.size()));
    h += len + b;
  }
  return h;
}

}  // namespace

TEST(ExtractBlockContainer, DecodesCompressedAndStoredBlocksAndRejectsWrongLengths) {
  const std::string part1(1000, 'p'), part2 = "tail";
  const std::string whole = part1 + part2;
  Extraction x({
      {.name = "z.bin", .data = whole, .method = 99, .stored = container(1000, 1004, {deflateZlib(part1), deflateZlib(part2)}, true)},
      {.name = "s.bin", .data = whole, .method = 99, .stored = container(1000, 1004, {part1, part2}, false)},
      {.name = "short.bin", .data = whole, .method = 99, .stored = container(1000, 1004, {part1.substr(1), part2}, false)},
      {.name = "enc.bin", .data = whole, .method = 99, .stored = container(1000, 1004, {part1, part2}, false, 3)},
  });
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  EXPECT_EQ(readFile(x.at("z.bin")), whole);
  EXPECT_EQ(readFile(x.at("s.bin")), whole);
  ASSERT_EQ(rec.failures.size(), 2u);
  EXPECT_EQ(rec.failures[0].fileName, "short.bin");
  EXPECT_EQ(rec.failures[1].fileName, "enc.bin");
}

TEST(ExtractFiles, EmptyEntryGivesAnEmptyFile) {
  Extraction x({{.name = "vide.txt", .data = "", .method = 0}, {.name = "vide2.txt", .data = "", .method = 8}});
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  EXPECT_TRUE(rec.failures.empty());
  EXPECT_EQ(readFile(x.at("vide.txt")), "");
  EXPECT_EQ(readFile(x.at("vide2.txt")), "");
}

TEST(ExistingFiles, ReadOnlyFileIsReplacedAndGetsTheEntrysAttributes) {
  Extraction x(std::vector<TestEntry>{{.name = "ro.txt", .data = "new", .externalAttr = 0x21}});
  writeFile(x.at("ro.txt"), "old");
  platform::setFileAttributes(x.at("ro.txt"), platform::faReadOnly);
  x.run();
  EXPECT_EQ(readFile(x.at("ro.txt")), "new");
  EXPECT_EQ(*platform::fileAttributes(x.at("ro.txt")) & 0x27u, 0x21u);

  x.zip.Options().ReplaceReadOnly = false;
  platform::setFileAttributes(x.at("ro.txt"), platform::faReadOnly);
  std::filesystem::permissions(x.at("ro.txt"), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  writeFile(x.at("ro.txt"), "kept");
  platform::setFileAttributes(x.at("ro.txt"), platform::faReadOnly);
  x.run();
  EXPECT_EQ(readFile(x.at("ro.txt")), "kept");
}

TEST(ExistingFiles, OverwriteModesDecideWhetherAFileIsReplaced) {
  // Entry time 2024-05-17 08:30:42; the existing file is dated a year before
  // or after.
  const platform::DosDateTime older{0x56b1, 0x43d5}, newer{0x5ab1, 0x43d5};
  struct Case {
    TZAOverwriteMode mode;
    platform::DosDateTime existing;
    bool replaced;
  };
  const Case cases[] = {{omAlways, newer, true},   {omNever, older, false},  {omIfNewer, older, true},
                        {omIfNewer, newer, false}, {omIfOlder, newer, true}, {omIfOlder, older, false},
                        {omPrompt, older, false}};  // no interaction: declined
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.mode));
    Extraction x(std::vector<TestEntry>{{.name = "f.txt", .data = "new"}});
    writeFile(x.at("f.txt"), "old");
    platform::setFileDosDateTime(x.at("f.txt"), c.existing);
    x.zip.Options().OverwriteMode = c.mode;
    x.run();
    EXPECT_EQ(readFile(x.at("f.txt")), c.replaced ? "new" : "old");
  }
}

TEST(ExistingFiles, PromptDialogTextAndYesToAll) {
  Extraction x({{.name = "f.txt", .data = "new"}, {.name = "g.txt", .data = "new"}});
  writeFile(x.at("f.txt"), "old");
  writeFile(x.at("g.txt"), "old");
  x.zip.Options().OverwriteMode = omPrompt;
  ScriptedInteraction ui;
  ui.overwrite = OverwriteAnswer::YesToAll;
  RegisteredInteraction reg(&ui);
  x.run();
  EXPECT_EQ(ui.texts, std::vector<std::string>{"Overwrite file \"" + x.at("f.txt") + "\" with \"f.txt\""});
  EXPECT_EQ(x.zip.Options().OverwriteMode, omAlways);
  EXPECT_EQ(readFile(x.at("g.txt")), "new");
}

TEST(ExistingFiles, FailedEntryLeavesTheExistingFileIntact) {
  Extraction x(std::vector<TestEntry>{{.name = "f.txt", .data = kText, .crc = 7}});
  writeFile(x.at("f.txt"), "previous version");
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  EXPECT_EQ(rec.failures.size(), 1u);
  EXPECT_EQ(readFile(x.at("f.txt")), "previous version");
  EXPECT_EQ(listTree(x.out()), std::set<std::string>{"f.txt"});  // no temporary file left
}

TEST(UnsafeNames, EntriesThatWouldLeaveTheTargetAreRefusedAndWriteNothing) {
  const char* names[] = {"../evil.txt", "a/../../evil.txt", "/abs.txt", "C:/evil.txt", "C:evil.txt",
                         "\\\\server\\share\\evil.txt", "a\\..\\..\\evil.txt", "a//b.txt", "..", "../"};
  std::vector<TestEntry> entries;
  for (const char* n : names) entries.push_back({.name = n, .data = "evil"});
  entries.push_back({.name = "safe/ok.txt", .data = "ok"});
  Extraction x(entries);
  std::filesystem::create_directory(x.at("a"));
  Recorder rec;
  rec.attach(x.zip);
  x.run();
  ASSERT_EQ(rec.failures.size(), std::size(names));
  for (size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(rec.failures[i].nativeError, 57);
    std::string stored = names[i];
    std::replace(stored.begin(), stored.end(), '\\', '/');
    EXPECT_EQ(rec.failures[i].message, "Archiver: Entry \"" + stored +
                                           "\" would be written outside the target folder - Native error: 00057");
  }
  EXPECT_EQ(listTree(x.dir.path()), (std::set<std::string>{"a.zip", "out", "out/a", "out/safe", "out/safe/ok.txt"}));
}

TEST(Folders, WithoutCreateDirsFilesLandInTheTargetFolder) {
  Extraction x({{.name = "sub/", .data = "", .method = 0, .externalAttr = 0x10}, {.name = "a/b/c.dll", .data = "c"}});
  x.zip.Options().CreateDirs = false;
  x.run();
  EXPECT_EQ(listTree(x.out()), std::set<std::string>{"c.dll"});
}

TEST(Events, OrderOfProgressAndCancelStopTheRun) {
  Extraction x({{.name = "a/one.txt", .data = "1"}, {.name = "two.txt", .data = kText}, {.name = "three.txt", .data = "3"}});
  std::vector<std::string> seen;
  x.zip.OnOverallProgress = [&](TZABaseArchiver&, double p, TZAProcessOperation op, TZAProgressPhase ph, bool&) {
    EXPECT_EQ(op, poExtract);
    seen.push_back("overall " + std::to_string(int(p)) + " " + std::to_string(int(ph)));
  };
  x.zip.OnFileProgress = [&](TZABaseArchiver&, const std::string& f, double p, TZAProcessOperation,
                             TZAProgressPhase ph, bool& cancel) {
    seen.push_back(f + " " + std::to_string(int(p)) + " " + std::to_string(int(ph)));
    if (f == "two.txt" && ph == ppProcess) cancel = true;
  };
  x.run();
  const std::vector<std::string> expected = {
      "overall 0 0",  "a\\one.txt 0 0", "a\\one.txt 0 1", "overall 0 1", "a\\one.txt 100 2",
      "two.txt 0 0",  "two.txt 0 1",      "overall 33 1",
  };
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(listTree(x.out()), (std::set<std::string>{"a", "a/one.txt"}));
}

TEST(Events, ConfirmAndRenameHandlersSteerEachEntry) {
  Extraction x({{.name = "skip.txt", .data = "s"}, {.name = "keep.txt", .data = "k", .externalAttr = 0x20}});
  x.zip.OnConfirmProcessFile = [](TZABaseArchiver&, const std::string& f, TZAProcessOperation, bool& confirm) {
    confirm = f != "skip.txt";
  };
  x.zip.OnExtractFile = [](TZABaseArchiver&, std::string& f, uint32_t& attr, const std::string&) {
    f = "renamed\\" + f;
    attr = 0x21;
  };
  x.run();
  EXPECT_EQ(listTree(x.out()), (std::set<std::string>{"renamed", "renamed/keep.txt"}));
  EXPECT_EQ(*platform::fileAttributes(x.at("renamed/keep.txt")) & 0x27u, 0x21u);
}

TEST(ExtractFiles, RequiresAnOpenArchive) {
  TZipArchiver zip;
  zip.setName("Archiver");
  try {
    zip.ExtractFiles("*.*", 10431);
    FAIL();
  } catch (const EZAException& e) {
    EXPECT_EQ(e.message(), "Archiver: Archive is not open - Native error: 00013");
  }
}

namespace {
long peakResidentKb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss;
}
}  // namespace

TEST(ExtractMemory, A200MegabyteEntryStreamsAndAnInflationBombStopsAtItsDeclaredSize) {
  const std::string big(200u << 20, 'v');
  const std::string packed = deflateRaw(big);
  const uint32_t crc = crcOf(big);
  TempDir dir;
  {
    // Declares the real size: extracted in full.
    TestEntry e{.name = "big.bin", .data = "", .crc = crc, .stored = packed};
    std::string bytes = buildZip({e});
    // Patch the uncompressed size in the central header (offset 24 of it).
    const size_t central = bytes.rfind(std::string("PK\x01\x02", 4));
    platform::storeU32(reinterpret_cast<uint8_t*>(bytes.data()) + central + 24, uint32_t(big.size()));
    writeFile(dir.file("big.zip"), bytes);
  }
  writeFile(dir.file("bomb.zip"), buildZip({{.name = "bomb.bin", .data = "tiny", .crc = crc, .stored = packed}}));

  const long before = peakResidentKb();
  for (const char* name : {"big.zip", "bomb.zip"}) {
    TZipArchiver zip;
    zip.setFileName(dir.file(name));
    zip.OpenArchive();
    zip.setBaseDir(dir.file("out") + "/");
    Recorder rec;
    rec.attach(zip);
    zip.ExtractFiles("*.*", 10431);
    EXPECT_EQ(rec.failures.size(), std::string(name) == "bomb.zip" ? 1u : 0u) << name;
  }
  EXPECT_EQ(std::filesystem::file_size(dir.file("out/big.bin")), big.size());
  EXPECT_FALSE(exists(dir.file("out/bomb.bin")));
  // Well below the entry's size: the data is streamed, not held.
  EXPECT_LT(peakResidentKb() - before, 64 * 1024);
}
