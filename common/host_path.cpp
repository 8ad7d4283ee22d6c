#include "common/host_path.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>

#include "common/regular_file.h"

namespace clustering {

bool onDriveC(std::string_view path) {
  return path.size() >= 2 && (path[0] == 'c' || path[0] == 'C') && path[1] == ':';
}

std::filesystem::path driveCFolder() {
  if (const char* drive = std::getenv("CLUSTERING_DRIVE_C"); drive != nullptr && *drive != '\0') {
    return drive;
  }
  const char* home = std::getenv("HOME");
  std::filesystem::path base = (home != nullptr && *home != '\0') ? home : ".";
  return base / ".clustering" / "drive_c";
}

std::filesystem::path resolveHostPath(std::string_view path) {
  if (!onDriveC(path)) return std::filesystem::path(std::string(path));
  std::filesystem::path resolved = driveCFolder();
  std::string part;
  for (char c : path.substr(2)) {
    if (c == '\\' || c == '/') {
      if (!part.empty()) resolved /= part;
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) resolved /= part;
  return resolved;
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  struct stat sa {};
  struct stat sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::string systemReason() { return reasonOf(errno); }

}  // namespace clustering
