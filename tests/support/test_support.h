// What many tests need: a temporary folder removed afterwards, fixture
// paths, whole-file reads and writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

// A fresh folder under the temporary folder, removed with everything in it
// when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path() + "/" + name
  std::string file(std::string_view name) const;

 private:
  std::string path_;
};

// RENOVIX_FIXTURES + "/" + relative
std::string fixturePath(std::string_view relative);

std::string readFile(const std::string& path);
std::vector<uint8_t> readBytes(const std::string& path);
void writeFile(const std::string& path, std::string_view content);

}  // namespace testing_support
