// Helpers of the archive tests: running an extraction while recording what
// the events saw, listing a folder, hashing contents.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "archive/zip_archiver.h"

namespace archive_test {

struct Failure {
  std::string fileName;
  int32_t nativeError = 0;
  std::string message;
};

struct Recorder {
  std::vector<Failure> failures;
  std::vector<std::string> passwordPrompts;
  // Installs handlers: failures are recorded and answered with `onFailure`;
  // password prompts are recorded and skipped.
  void attach(archive::TZABaseArchiver& a, archive::TZAAction onFailure = archive::fxaIgnore);
};

std::string fromHex(const std::string& hex);
std::string sha256Hex(const std::string& data);
// Every file and folder under `root`, as relative paths with "/".
std::set<std::string> listTree(const std::string& root);
bool exists(const std::string& path);

}  // namespace archive_test
