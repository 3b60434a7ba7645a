// The command-line extractor, run as a second process.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "archive_test_support.h"
#include "test_support.h"

namespace {

struct ToolRun {
  int exitCode = -1;
  std::string output;
};

ToolRun runTool(const std::string& args) {
  ToolRun r;
  FILE* p = popen((std::string(FIP_EXTRACT_PATH) + " " + args + " 2>&1").c_str(), "r");
  char buf[512];
  while (size_t n = fread(buf, 1, sizeof buf, p)) r.output.append(buf, n);
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace

TEST(FipExtractTool, ReportsEachEntryAndExitsByTheOutcome) {
  testing_support::TempDir dir;
  const std::string archive = testing_support::fixturePath("zip/mixed_enc_infozip.zip");

  ToolRun wrong = runTool(archive + " " + dir.file("a") + " --password nope --mask '*.txt'");
  EXPECT_EQ(wrong.exitCode, 1);
  EXPECT_NE(wrong.output.find("extracted  LISEZMOI.txt\n"), std::string::npos) << wrong.output;
  EXPECT_NE(wrong.output.find("skipped    vide.txt: the password does not open it\n"), std::string::npos);
  EXPECT_NE(wrong.output.find("1 extracted, 1 skipped, 0 failed\n"), std::string::npos);

  ToolRun right = runTool(archive + " " + dir.file("b") + " --password vispult");
  EXPECT_EQ(right.exitCode, 0) << right.output;
  EXPECT_EQ(testing_support::readFile(dir.file("b/a/b/c.dll")).size(), 9000u);

  ToolRun missing = runTool(dir.file("none.zip") + " " + dir.file("c"));
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.output.find("Archiver: File \"" + dir.file("none.zip") + "\" not found - Native error: 00012"),
            std::string::npos);
  EXPECT_EQ(runTool("only-one-argument").exitCode, 2);
}
