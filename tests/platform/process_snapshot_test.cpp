#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "child_process.h"
#include "platform/process.h"
#include "test_support.h"

using namespace platform;
using testing_support::ChildProcess;
using testing_support::TempDir;

namespace {

std::string upperAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  }
  return text;
}

// The running-program test of the installer: the part after the last "\" or
// ":", then the whole name, compared with ASCII letters upper-cased.
bool namesProgram(const std::string& exeFile, const std::string& program) {
  const size_t cut = exeFile.find_last_of("\\:");
  const std::string last = cut == std::string::npos ? exeFile : exeFile.substr(cut + 1);
  const std::string wanted = upperAscii(program);
  return upperAscii(last) == wanted || upperAscii(exeFile) == wanted;
}

std::vector<std::string> namesOf(int pid) {
  std::vector<std::string> names;
  for (const ProcessEntry& e : processSnapshot()) {
    if (e.pid == pid) names.push_back(e.exeFile);
  }
  return names;
}

bool runs(int pid, const std::string& program) {
  for (const std::string& name : namesOf(pid)) {
    if (namesProgram(name, program)) return true;
  }
  return false;
}

}  // namespace

TEST(ProcessSnapshot, SeesAProgramByNameAndPath) {
  TempDir dir;
  // A copy of a harmless program under the names in question.
  auto program = [&](const std::string& name) {
    const std::string path = dir.file(name);
    std::filesystem::copy_file("/bin/sleep", path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path;
  };
  const std::string vendrix = program("Vendrix.exe");
  ChildProcess plain(vendrix, {vendrix, "30"});
  ChildProcess lower(program("vendrix.EXE"), {"vendrix.EXE", "30"});
  // A program under a compatibility layer shows its Windows path as its first word.
  ChildProcess windowsPath(vendrix, {"C:\\Program Files\\Kestravo\\VENDRIX.EXE", "30"});
  ChildProcess backup(program("Vendrix.exe.bak"), {dir.file("Vendrix.exe.bak"), "30"});
  ChildProcess prefixed(program("MyVendrix.exe"), {dir.file("MyVendrix.exe"), "30"});

  std::string expectedPath = vendrix;
  for (char& c : expectedPath) c = c == '/' ? '\\' : c;
  const std::vector<std::string> names = namesOf(plain.pid());
  EXPECT_EQ(names, (std::vector<std::string>{"Vendrix.exe", expectedPath})) << "duplicates are dropped";

  EXPECT_TRUE(runs(plain.pid(), "Vendrix.exe"));
  EXPECT_TRUE(runs(lower.pid(), "Vendrix.exe"));
  EXPECT_TRUE(runs(windowsPath.pid(), "Vendrix.exe"));
  const std::vector<std::string> windowsNames = namesOf(windowsPath.pid());
  EXPECT_NE(std::find(windowsNames.begin(), windowsNames.end(), "C:\\Program Files\\Kestravo\\VENDRIX.EXE"),
            windowsNames.end());
  EXPECT_FALSE(runs(backup.pid(), "Vendrix.exe"));
  EXPECT_FALSE(runs(prefixed.pid(), "Vendrix.exe"));

  const int gone = plain.pid();
  plain.kill();
  EXPECT_TRUE(namesOf(gone).empty());
}
