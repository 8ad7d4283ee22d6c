// Opening a file the way every engine file is opened: only a regular file (or, for writing, a
// new one) is used, and the open never blocks. A named pipe would block the open until someone
// writes to it, and a device such as /dev/zero reads without end, so anything that is not a
// regular file is refused before it is opened, and checked again on the open descriptor in
// case the path changed in between. The reason for a refusal is handed back with it, in the
// words of the system's messages ("No such file or directory", "Is a named pipe, not a
// regular file"), never through errno.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace clustering {

// An open descriptor, or -1 and the reason it could not be opened.
struct OpenedFile {
  int descriptor = -1;
  std::string failure;
};

// Opens `host` with `flags` (O_RDONLY, or O_WRONLY | O_CREAT, which never empties the file) as
// a regular file, following symbolic links.
OpenedFile openRegularFile(const std::filesystem::path& host, int flags);

// What `host` is when it exists and is no regular file ("Is a directory", "Is a character
// device, not a regular file"); nothing when it is a regular file or does not exist.
std::optional<std::string> nonRegularReason(const std::filesystem::path& host);

// The system's message for an error number.
std::string reasonOf(int error);

}  // namespace clustering
