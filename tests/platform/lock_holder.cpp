// Holds a file open (and a byte of it locked) for another process to run
// into, until it is killed.
//   lock_holder <path> lock <offset>      opens for reading and writing, shared; locks one byte
//   lock_holder <path> open <access> <share>   access r, w or rw; share none, r, w or rw
// Writes "locked", "opened" or "refused" on a line of its own.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/errors.h"
#include "platform/file.h"

using namespace platform;

namespace {

Access accessOf(const char* text) {
  if (std::strcmp(text, "r") == 0) return Access::Read;
  if (std::strcmp(text, "w") == 0) return Access::Write;
  return Access::ReadWrite;
}

unsigned shareOf(const char* text) {
  if (std::strcmp(text, "r") == 0) return ShareRead;
  if (std::strcmp(text, "w") == 0) return ShareWrite;
  if (std::strcmp(text, "rw") == 0) return ShareReadWrite;
  return ShareNone;
}

[[noreturn]] void say(const char* word) {
  std::printf("%s\n", word);
  std::fflush(stdout);
  for (;;) pause();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  File file;
  try {
    if (std::strcmp(argv[2], "lock") == 0) {
      file = File::open(argv[1], Access::ReadWrite, ShareReadWrite, Disposition::OpenExisting);
      say(file.tryLock(std::strtoull(argv[3], nullptr, 10)) ? "locked" : "refused");
    }
    if (std::strcmp(argv[2], "open") == 0 && argc >= 5) {
      file = File::open(argv[1], accessOf(argv[3]), shareOf(argv[4]), Disposition::OpenExisting);
      say("opened");
    }
  } catch (const EOSError&) {
    say("refused");
  }
  return 2;
}
