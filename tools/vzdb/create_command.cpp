// vzdb create: a new empty database file with the chosen page size, extent
// size, number of connections and password.
#include <cstdio>
#include <string>

#include "dbengine/storage/cipher.h"
#include "dbengine/storage/database_file_format.h"
#include "dbengine/storage/page_manager.h"
#include "platform/locale.h"
#include "tools/vzdb/command.h"
#include "tools/vzdb/options.h"

namespace vzdb {

int runCreate(const Args& args) {
  const Options o = readOptions(args, {"--password", "--cipher", "--page-size", "--extent-size", "--max-connections"});
  if (o.plain.size() != 1) throw UsageError{"give one database file"};
  const auto pageSize = uint16_t(o.number("--page-size", vz::kDefaultPageSize, vz::kMinPageSize, vz::kMaxPageSize));
  const auto extent = uint16_t(o.number("--extent-size", vz::kDefaultExtentPageCount, 1, 65535));
  const auto connections =
      int32_t(o.number("--max-connections", vz::kDefaultMaxConnections, 1, vz::kMaxConnectionsLimit));
  const auto cipher = uint8_t(o.number("--cipher", vz::kDefaultCipherID, 0, vz::kCipherCount - 1));
  if (o.has("--password") && o.text("--password").empty()) throw UsageError{"--password wants a text"};
  if (o.has("--cipher") && !o.has("--password")) throw UsageError{"--cipher needs --password"};

  // Passwords are stored as Windows-1252 bytes; the command line is UTF-8.
  const vz::TVZPassword password{platform::utf8ToAnsi(o.text("--password")), cipher};
  vz::TVZDiskPageManager manager;
  manager.createDatabaseFile(o.plain[0], password, extent, pageSize, connections);
  const int32_t pages = manager.header().totalPageCount;
  manager.close();

  const std::string protection =
      password.empty() ? std::string("no password") : "encrypted with cipher " + std::to_string(cipher);
  std::printf("created %s: page size %d, %d pages per extent, %d connections, %s; %d pages\n", o.plain[0].c_str(),
              int(pageSize), int(extent), int(connections), protection.c_str(), pages);
  return 0;
}

}  // namespace vzdb
