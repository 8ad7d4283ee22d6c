#include "common/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace clustering {

namespace {

std::string kindReason(mode_t mode) {
  if (S_ISDIR(mode)) return reasonOf(EISDIR);
  if (S_ISFIFO(mode)) return "Is a named pipe, not a regular file";
  if (S_ISCHR(mode)) return "Is a character device, not a regular file";
  if (S_ISBLK(mode)) return "Is a block device, not a regular file";
  if (S_ISSOCK(mode)) return "Is a socket, not a regular file";
  return "Is not a regular file";
}

}  // namespace

std::string reasonOf(int error) { return error != 0 ? std::strerror(error) : "unknown reason"; }

std::optional<std::string> nonRegularReason(const std::filesystem::path& host) {
  struct stat status {};
  if (::stat(host.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return std::nullopt;
  return kindReason(status.st_mode);
}

OpenedFile openRegularFile(const std::filesystem::path& host, int flags) {
  OpenedFile opened;
  struct stat status {};
  if (::stat(host.c_str(), &status) != 0) {
    // A missing file may be created; any other failure names the reason the open would give.
    if (errno != ENOENT || (flags & O_CREAT) == 0) {
      opened.failure = reasonOf(errno);
      return opened;
    }
  } else if (!S_ISREG(status.st_mode)) {
    opened.failure = kindReason(status.st_mode);
    return opened;
  }
  const int descriptor = ::open(host.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (descriptor < 0) {
    opened.failure = reasonOf(errno);
    return opened;
  }
  const bool examined = ::fstat(descriptor, &status) == 0;
  if (!examined || !S_ISREG(status.st_mode)) {
    opened.failure = examined ? kindReason(status.st_mode) : reasonOf(errno);
    ::close(descriptor);
    return opened;
  }
  // Reads and writes of a regular file never wait anyway; the flag served the open alone.
  ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
  opened.descriptor = descriptor;
  return opened;
}

}  // namespace clustering
