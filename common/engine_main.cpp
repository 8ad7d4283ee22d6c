#include "common/engine_main.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <iostream>
#include <new>

#include "common/failure.h"
#include "common/regular_file.h"

namespace clustering {

namespace {

// Opens /dev/null on each of descriptors 0 to 2 that is closed; an open takes the lowest free
// descriptor, and those below it are open by then. False when /dev/null cannot be opened.
bool openStandardDescriptors() {
  for (int descriptor = 0; descriptor <= 2; ++descriptor) {
    if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened != descriptor) {
      if (opened >= 0) ::close(opened);
      return false;
    }
  }
  return true;
}

}  // namespace

int runEngine(const char* engineName, const std::function<void()>& steps) {
  if (!openStandardDescriptors()) {
    std::cerr << engineName << ": cannot open /dev/null in place of a closed standard stream: " << reasonOf(errno)
              << std::endl;
    return 1;
  }
  try {
    steps();
    std::cout.flush();
    return 0;
  } catch (const EngineError& error) {
    std::cout.flush();
    std::cerr << engineName << ": " << error.what() << std::endl;
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << engineName << ": not enough memory for the tables of this matrix; try fewer genes" << std::endl;
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << engineName << ": " << error.what() << std::endl;
  }
  return 1;
}

}  // namespace clustering
