#include "platform/process.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>

namespace platform {
namespace {

// Process names in the ANSI code page with Windows separators. Characters
// outside ASCII become "?" (one per character).
std::string toProcessName(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += c == '/' ? '\\' : char(c);
    } else if ((c & 0xC0) != 0x80) {
      out += '?';  // the lead byte of a character; continuation bytes add nothing
    }
  }
  return out;
}

std::string readSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  std::string content;
  char buffer[4096];
  // The first word of a command line is all that is wanted; cap what is read.
  in.read(buffer, sizeof buffer);
  content.assign(buffer, size_t(in.gcount()));
  return content;
}

std::string commandName(const std::string& folder) {
  std::string comm = readSmallFile(folder + "/comm");
  if (!comm.empty() && comm.back() == '\n') comm.pop_back();
  return comm;
}

std::string executablePath(const std::string& folder) {
  std::string target(4096, '\0');
  const ssize_t n = readlink((folder + "/exe").c_str(), target.data(), target.size());
  if (n <= 0) return {};
  target.resize(size_t(n));
  // A program replaced or removed while it runs is still known by its path.
  constexpr std::string_view kDeleted = " (deleted)";
  if (target.size() > kDeleted.size() && target.ends_with(kDeleted)) target.resize(target.size() - kDeleted.size());
  return target;
}

std::string firstCommandWord(const std::string& folder) {
  std::string cmdline = readSmallFile(folder + "/cmdline");
  const size_t end = cmdline.find('\0');
  if (end != std::string::npos) cmdline.resize(end);
  return cmdline;
}

}  // namespace

std::vector<ProcessEntry> processSnapshot() {
  std::vector<ProcessEntry> entries;
  DIR* proc = opendir("/proc");
  if (!proc) return entries;
  while (const dirent* entry = readdir(proc)) {
    const std::string_view name(entry->d_name);
    if (name.empty() || !std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    const std::string folder = "/proc/" + std::string(name);
    const int pid = std::stoi(std::string(name));
    std::vector<std::string> names;
    for (const std::string& raw : {commandName(folder), executablePath(folder), firstCommandWord(folder)}) {
      if (raw.empty()) continue;  // gone, or not ours to see
      std::string converted = toProcessName(raw);
      if (std::find(names.begin(), names.end(), converted) == names.end()) names.push_back(std::move(converted));
    }
    for (std::string& exeFile : names) entries.push_back({pid, std::move(exeFile)});
  }
  closedir(proc);
  return entries;
}

}  // namespace platform
