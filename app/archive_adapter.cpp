#include "app/archive_adapter.h"

#include "archive/zip_archiver.h"

namespace app {
namespace {

class Archive final : public PackageArchive {
 public:
  Archive() { archiver_.setName("Archiver"); }
  void setFileName(const std::string& path) override { archiver_.setFileName(path); }
  void setPassword(const std::string& password) override { archiver_.setPassword(password); }
  void setBaseDir(const std::string& path) override { archiver_.setBaseDir(path); }
  void openArchive() override { archiver_.OpenArchive(); }
  void extractFiles(const std::string& fileMask, uint32_t attributeMask,
                    const std::string& exclusionMask) override {
    archiver_.ExtractFiles(fileMask, attributeMask, exclusionMask);
  }
  void closeArchive() override { archiver_.CloseArchive(); }

 private:
  archive::TZipArchiver archiver_;
};

}  // namespace

std::unique_ptr<PackageArchive> makeArchive() { return std::make_unique<Archive>(); }

}  // namespace app
