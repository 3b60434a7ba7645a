// Reading a subcommand's words: "--name value" options and plain arguments.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/vzdb/command.h"

namespace vzdb {

struct Options {
  std::vector<std::string> plain;              // words that are no option, in order
  std::map<std::string, std::string> values;   // "--name" -> value

  bool has(const std::string& name) const { return values.count(name) != 0; }
  std::string text(const std::string& name, const std::string& otherwise = "") const;
  // The option as a whole number from `lowest` to `highest`; UsageError otherwise.
  long long number(const std::string& name, long long otherwise, long long lowest, long long highest) const;
};

// Every "--" word must be one of `names` and is followed by its value.
Options readOptions(const Args& args, std::initializer_list<std::string_view> names);

}  // namespace vzdb
