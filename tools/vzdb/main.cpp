#include <cstdio>
#include <exception>
#include <string>

#include "tools/vzdb/command.h"

namespace vzdb {

// One line per subcommand: its name, the function in its own source file,
// and its usage.
#define VZDB_COMMAND(name, function, usage) \
  Command { name, usage, [](const Args& a) { int function(const Args&); return function(a); } }

const Command kCommands[] = {
    VZDB_COMMAND("codec", runCodec, "codec compress|decompress --algorithm NAME --level N [--size N] IN OUT"),
    VZDB_COMMAND("create", runCreate,
                 "create FILE [--password P] [--cipher N] [--page-size N] [--extent-size N] [--max-connections N]"),
    VZDB_COMMAND("info", runInfo, "info FILE [--password P]"),
};

#undef VZDB_COMMAND

namespace {

void printUsage(std::FILE* to) {
  std::fprintf(to, "usage:\n");
  for (const Command& c : kCommands) std::fprintf(to, "  vzdb %.*s\n", int(c.usage.size()), c.usage.data());
}

}  // namespace
}  // namespace vzdb

int main(int argc, char** argv) {
  using namespace vzdb;
  if (argc < 2) {
    printUsage(stderr);
    return 2;
  }
  const std::string name = argv[1];
  for (const Command& c : kCommands) {
    if (c.name != name) continue;
    try {
      return c.run(Args(argv + 2, argv + argc));
    } catch (const UsageError& e) {
      std::fprintf(stderr, "vzdb %s: %s\nusage: vzdb %.*s\n", name.c_str(), e.message.c_str(), int(c.usage.size()),
                   c.usage.data());
      return 2;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "vzdb %s: %s\n", name.c_str(), e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "vzdb: unknown command \"%s\"\n", name.c_str());
  printUsage(stderr);
  return 2;
}
