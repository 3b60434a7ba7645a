// The subcommands of vzdb. Each lives in its own source file as a function
// `int run<Name>(const Args&)` and takes one line in the table of main.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vzdb {

using Args = std::vector<std::string>;  // the words after the subcommand's name

struct Command {
  std::string_view name;
  std::string_view usage;  // shown by "vzdb" without arguments, after "vzdb "
  int (*run)(const Args& args);
};

// Raised by a command for wrong arguments; main prints it with the usage.
struct UsageError {
  std::string message;
};

}  // namespace vzdb
