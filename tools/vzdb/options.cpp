#include "tools/vzdb/options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

namespace vzdb {

std::string Options::text(const std::string& name, const std::string& otherwise) const {
  auto it = values.find(name);
  return it == values.end() ? otherwise : it->second;
}

long long Options::number(const std::string& name, long long otherwise, long long lowest, long long highest) const {
  auto it = values.find(name);
  if (it == values.end()) return otherwise;
  const std::string& t = it->second;
  char* end = nullptr;
  errno = 0;
  const long long v = std::strtoll(t.c_str(), &end, 10);
  if (t.empty() || *end != '\0' || errno != 0 || v < lowest || v > highest) {
    throw UsageError{name + " wants a whole number from " + std::to_string(lowest) + " to " +
                     std::to_string(highest) + ", not \"" + t + "\""};
  }
  return v;
}

Options readOptions(const Args& args, std::initializer_list<std::string_view> names) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      o.plain.push_back(a);
      continue;
    }
    if (std::find(names.begin(), names.end(), a) == names.end()) throw UsageError{"unknown option " + a};
    if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
    o.values[a] = args[++i];
  }
  return o;
}

}  // namespace vzdb
