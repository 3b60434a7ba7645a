// recstore-dump on the fixture files.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_support.h"

namespace {

struct DumpRun {
  std::string output;
  int status;
};

DumpRun dump(const std::string& arguments) {
  std::string command = std::string(RECSTORE_DUMP) + " " + arguments + " 2>&1";
  DumpRun run{"", -1};
  FILE* pipe = popen(command.c_str(), "r");
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  run.status = pclose(pipe);
  return run;
}

TEST(RecstoreDump, ListsTablesFieldsAndRecords) {
  const std::string file = testing_support::fixturePath("recstore/config_blowfish_m1.fnc");
  DumpRun run = dump("'" + file + "' sertu");
  EXPECT_EQ(run.status, 0);
  for (const char* expected : {"Encryption: Blowfish, mode 1; password accepted", "Table 0: Config",
                               "Version              String(10)", "Version              \"5.6\"",
                               "Copyright            \"Copyright (c) 2019 KESTRAVO. Tous droits r\xC3\xA9serv\xC3\xA9s.\"",
                               "Day                  2019-03-12", "Stamp                2100-12-31 23:59:59.999",
                               "Price                19.99", "Plain_Blob           (5 bytes) 0001726177"})
    EXPECT_NE(run.output.find(expected), std::string::npos) << expected;

  run = dump("'" + file + "'");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("Records: encrypted"), std::string::npos);
  EXPECT_EQ(run.output.find("\"5.6\""), std::string::npos);

  run = dump("/no/such/file.fnc");
  EXPECT_NE(run.status, 0);
  EXPECT_NE(run.output.find("Cannot open file /no/such/file.fnc"), std::string::npos);
}

}  // namespace
