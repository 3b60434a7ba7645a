#include <gtest/gtest.h>

#include <filesystem>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/running_application.h"
#include "test_support.h"

TEST(RunningApplication, MatchesTheFileNameOrItsLastPart) {
  struct Case {
    const char* exeFile;
    bool running;
  };
  const Case cases[] = {
      {"Vendrix.exe", true},
      {"vendrix.EXE", true},
      {"C:\\Program Files\\Vendrix\\VENDRIX.EXE", true},
      {"C:Vendrix.exe", true},
      {"\\tmp\\inst\\Vendrix.exe", true},
      {"Vendrix.exe.bak", false},
      {"MyVendrix.exe", false},
      {"C:\\Vendrix.exe\\other.exe", false},
      {"Vendrix", false},
      {"", false},
  };
  for (const Case& c : cases) {
    // Among other processes, before and after.
    const std::vector<platform::ProcessEntry> processes = {{1, "init"}, {2, c.exeFile}, {3, "bash"}};
    EXPECT_EQ(app::isProgramRunning("Vendrix.exe", processes), c.running) << c.exeFile;
  }
  EXPECT_FALSE(app::isProgramRunning("Vendrix.exe", {}));
}

// Upper-casing touches ASCII letters only.
TEST(RunningApplication, OnlyAsciiLettersIgnoreCase) {
  EXPECT_TRUE(app::isProgramRunning("\xC9t\xE9.exe", {{1, "\xC9T\xE9.EXE"}}));
  EXPECT_FALSE(app::isProgramRunning("\xC9t\xE9.exe", {{1, "\xC9T\xC9.EXE"}}));
}

// A real process whose program file is named Vendrix.exe.
TEST(RunningApplication, SeesARealProcess) {
  testing_support::TempDir dir;
  const std::string program = dir.path() + "/Vendrix.exe";
  std::filesystem::copy_file("/bin/sleep", program);
  EXPECT_FALSE(app::isProgramRunning("Vendrix.exe"));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    execl(program.c_str(), program.c_str(), "30", static_cast<char*>(nullptr));
    _exit(127);
  }
  bool seen = false;
  for (int attempt = 0; attempt < 100 && !seen; ++attempt) {
    seen = app::isProgramRunning("Vendrix.exe");
    if (!seen) usleep(20000);
  }
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(seen);
}
