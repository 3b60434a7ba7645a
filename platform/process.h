// The running processes, as a snapshot of program file names.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct ProcessEntry {
  int pid = 0;
  // Windows-1252 text with "\" separators: a bare name ("Vendrix.exe") or a
  // full path ("\tmp\x\Vendrix.exe", "C:\Program Files\...\Vendrix.exe").
  std::string exeFile;
};

// Every running process, each with every name it is known by: its command
// name, its executable's path and the first word of its command line
// (programs under a compatibility layer show their Windows path there), as
// separate entries for one pid, duplicates dropped. Names that cannot be
// read (the process ended, or belongs to someone else) are left out; the
// command name is readable for every process. Characters outside ASCII
// become "?". Empty when the process list cannot be read.
std::vector<ProcessEntry> processSnapshot();

}  // namespace platform
