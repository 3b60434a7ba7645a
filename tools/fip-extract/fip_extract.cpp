// fip-extract ARCHIVE DEST [--password P] [--mask M] [--attributes N]
//
// Opens ARCHIVE with the archive object and extracts the entries selected by
// the mask (default "*.*") and the search attributes (default 10431) into
// DEST, printing one line per entry: "extracted", "skipped" (the password
// does not open it) or "failed" with the error message. Exits with 0 when
// every selected entry was extracted, 1 when any entry failed or was
// skipped, 2 when the archive could not be opened or the arguments are wrong.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <string>
#include <vector>

#include "archive/zip_archiver.h"
#include "platform/errors.h"
#include "platform/locale.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: fip-extract ARCHIVE DEST [--password P] [--mask M] [--attributes N]\n"
               "  extracts the entries of ARCHIVE that match the mask (default *.*) and the\n"
               "  search attributes (default 10431) into the folder DEST; exits 1 when an\n"
               "  entry failed or was skipped, 2 when the archive could not be opened.\n");
  return 2;
}

// Entry names and messages are Windows-1252; the terminal takes UTF-8.
std::string shown(const std::string& ansi) { return platform::ansiToUtf8(ansi); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> positional;
  std::string password, mask = "*.*";
  uint32_t attributes = 10431;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (arg == "--password" || arg == "--mask" || arg == "--attributes") {
      const char* v = value();
      if (!v) return usage();
      if (arg == "--password") {
        password = platform::utf8ToAnsi(v);
      } else if (arg == "--mask") {
        mask = platform::utf8ToAnsi(v);
      } else {
        char* end = nullptr;
        const unsigned long n = std::strtoul(v, &end, 0);
        if (!*v || *end || n > 0xFFFFFFFFul) return usage();
        attributes = uint32_t(n);
      }
    } else if (arg == "-h" || arg == "--help") {
      usage();
      return 0;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return usage();

  archive::TZipArchiver zip;
  zip.setName("Archiver");
  zip.setFileName(positional[0]);
  zip.setPassword(password);

  // Outcome per entry, by the name the events give.
  enum class Outcome { Extracted, Skipped, Failed };
  std::map<std::string, Outcome> outcomes;
  int failed = 0, skipped = 0, extracted = 0;
  zip.OnPassword = [&](archive::TZABaseArchiver&, const std::string& stored, std::string&, bool& skip) {
    skip = true;
    std::string name = stored;
    for (char& c : name)
      if (c == '/') c = '\\';
    outcomes[name] = Outcome::Skipped;
  };
  zip.OnProcessFileFailure = [&](archive::TZABaseArchiver&, const std::string& name, archive::TZAProcessOperation,
                                 int32_t, int32_t, const std::string& message, archive::TZAAction& action) {
    action = archive::fxaIgnore;
    ++failed;
    outcomes[name] = Outcome::Failed;
    std::printf("failed     %s: %s\n", shown(name).c_str(), shown(message).c_str());
  };
  zip.OnFileProgress = [&](archive::TZABaseArchiver&, const std::string& name, double,
                           archive::TZAProcessOperation, archive::TZAProgressPhase phase, bool&) {
    if (phase != archive::ppEnd) return;
    if (outcomes.count(name) && outcomes[name] == Outcome::Skipped) {
      ++skipped;
      std::printf("skipped    %s: the password does not open it\n", shown(name).c_str());
    } else {
      ++extracted;
      std::printf("extracted  %s\n", shown(name).c_str());
    }
  };

  try {
    zip.OpenArchive(archive::TZAOpenMode::ReadOnly);
    std::string dest = positional[1];
    if (dest.back() != '/' && dest.back() != '\\') dest += '/';
    zip.setBaseDir(dest);
    zip.ExtractFiles(mask, attributes, "");
    zip.CloseArchive();
  } catch (const platform::Exception& e) {
    std::fprintf(stderr, "fip-extract: %s\n", shown(e.message()).c_str());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fip-extract: %s\n", e.what());
    return 2;
  }
  std::printf("%d extracted, %d skipped, %d failed\n", extracted, skipped, failed);
  return failed || skipped ? 1 : 0;
}
