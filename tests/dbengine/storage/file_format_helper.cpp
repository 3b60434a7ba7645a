// The second process of the database file tests.
//   file_format_helper hold FILE OFFSET    locks one byte of FILE; says "locked" or "refused"; waits to be killed
//   file_format_helper read-page FILE PAGE [PASSWORD]
//                                          opens the database for several users and prints page PAGE's
//                                          first 8 data bytes in hex, or "error: " and the message
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dbengine/storage/page_manager.h"
#include "platform/errors.h"
#include "platform/file.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  const std::string command = argv[1];
  try {
    if (command == "hold") {
      platform::File file = platform::File::open(argv[2], platform::Access::ReadWrite, platform::ShareReadWrite,
                                                 platform::Disposition::OpenExisting);
      std::printf("%s\n", file.tryLock(std::strtoull(argv[3], nullptr, 10)) ? "locked" : "refused");
      std::fflush(stdout);
      for (;;) pause();
    }
    if (command == "read-page") {
      vz::TVZDiskPageManager manager;
      bool multiUser = true, needsRepair = false, readOnly = false;
      manager.openDatabaseFile(argv[2], {argc > 4 ? argv[4] : "", 0}, multiUser, false, needsRepair, readOnly);
      vz::TVZPageRef page = manager.fetchPage(0, std::atoi(argv[3]));
      for (int i = 0; i < 8; ++i) std::printf("%02x", page->data()[i]);
      std::printf("\n");
      return 0;
    }
  } catch (const platform::Exception& e) {
    std::printf("error: %s\n", e.what());
    return 1;
  }
  return 2;
}
