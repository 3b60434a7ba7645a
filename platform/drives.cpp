// The kind and free space of the device holding a path.
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "platform/path.h"
#include "platform/system.h"

namespace platform {
namespace {

struct Mount {
  unsigned major = 0;
  unsigned minor = 0;
  std::string mountPoint;
  std::string type;
};

// "\040" and the like in mount information stand for the escaped byte.
std::string unescapeMountField(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3' && field[i + 2] >= '0' && field[i + 2] <= '7' &&
        field[i + 3] >= '0' && field[i + 3] <= '7') {
      out += char((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
    } else {
      out += field[i];
    }
  }
  return out;
}

// The mount holding a file of device `device` at `native`: the mount of that
// device number, else the mount whose point is the longest prefix of the path.
bool findMount(dev_t device, const std::string& native, Mount& found) {
  std::ifstream in("/proc/self/mountinfo");
  if (!in) return false;
  bool byDevice = false;
  size_t bestPrefix = 0;
  bool any = false;
  std::string line;
  while (std::getline(in, line)) {
    // id parent major:minor root mount-point options [optional...] - type source super-options
    std::istringstream fields(line);
    std::string id, parent, numbers, root, point, options, word;
    if (!(fields >> id >> parent >> numbers >> root >> point >> options)) continue;
    while (fields >> word && word != "-") {
    }
    Mount mount;
    if (!(fields >> mount.type)) continue;
    if (std::sscanf(numbers.c_str(), "%u:%u", &mount.major, &mount.minor) != 2) continue;
    mount.mountPoint = unescapeMountField(point);
    if (mount.major == major(device) && mount.minor == minor(device)) {
      found = mount;  // the last one mounted there wins, as it hides the others
      byDevice = true;
      any = true;
      continue;
    }
    if (byDevice) continue;
    const std::string& mp = mount.mountPoint;
    const bool prefix = native.compare(0, mp.size(), mp) == 0 &&
                        (mp == "/" || native.size() == mp.size() || native[mp.size()] == '/');
    if (prefix && mp.size() >= bestPrefix) {
      bestPrefix = mp.size();
      found = mount;
      any = true;
    }
  }
  return any;
}

bool isRemovableDevice(unsigned major, unsigned minor) {
  const std::string device = "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor);
  for (const char* flag : {"/removable", "/../removable"}) {  // a partition asks its disk
    std::ifstream in(device + flag);
    int removable = 0;
    if (in >> removable) return removable == 1;
  }
  return false;
}

DriveType driveTypeOfFileSystem(const std::string& type) {
  static const std::set<std::string> remote = {
      "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p", "ceph", "glusterfs", "lustre",
      "fuse.sshfs", "fuse.glusterfs", "fuse.cephfs", "fuse.davfs2", "davfs", "fuse.rclone", "fuse.s3fs"};
  if (remote.count(type)) return DriveType::Remote;
  if (type == "tmpfs" || type == "ramfs") return DriveType::RamDisk;
  if (type == "iso9660" || type == "udf") return DriveType::CdRom;
  return DriveType::Fixed;
}

}  // namespace

DriveType driveType(std::string_view path) {
  const std::string native = nativePath(path);
  struct stat st;
  if (native.empty() || stat(native.c_str(), &st) != 0) return DriveType::NoRootDir;
  char* resolved = realpath(native.c_str(), nullptr);
  const std::string absolute = resolved ? resolved : native;
  free(resolved);
  Mount mount;
  if (!findMount(st.st_dev, absolute, mount)) return DriveType::Unknown;
  const DriveType type = driveTypeOfFileSystem(mount.type);
  if (type == DriveType::Fixed && isRemovableDevice(mount.major, mount.minor)) return DriveType::Removable;
  return type;
}

uint64_t freeSpace(std::string_view path) {
  // A file about to be created counts on the device of its nearest existing folder.
  std::string native = nativePath(path);
  if (native.empty()) native = ".";
  struct statvfs vfs;
  while (statvfs(native.c_str(), &vfs) != 0) {
    while (!native.empty() && native.back() == '/') native.pop_back();
    const size_t slash = native.rfind('/');
    if (native.empty() || native == ".") return 0;
    native = slash == std::string::npos ? "." : slash == 0 ? "/" : native.substr(0, slash);
  }
  return uint64_t(vfs.f_bavail) * uint64_t(vfs.f_frsize);
}

}  // namespace platform
