// Times one run of a program as a user runs an engine, and reports its cost:
//   measure <drive C folder> <working folder> <input file> <console file> <program> [arguments...]
// The program starts in the working folder with CLUSTERING_DRIVE_C set, reads the input file as
// its standard input and writes standard output and error to the console file. One line goes to
// standard output: wall seconds, peak resident memory in MiB (from the child's own rusage) and
// the program's exit status, separated by blanks. It prints figures and judges nothing.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

double secondsNow() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6) {
    std::fprintf(stderr,
                 "usage: measure <drive C folder> <working folder> <input file> <console file> <program> "
                 "[arguments...]\n");
    return 2;
  }
  const char* driveC = argv[1];
  const char* workFolder = argv[2];
  const char* inputFile = argv[3];
  const char* consoleFile = argv[4];
  char** program = argv + 5;
  // The program is named from where measure started, but runs in the working folder.
  char programPath[PATH_MAX];
  if (std::strchr(program[0], '/') != nullptr) {
    if (::realpath(program[0], programPath) == nullptr) {
      std::fprintf(stderr, "measure: cannot find %s: %s\n", program[0], std::strerror(errno));
      return 2;
    }
    program[0] = programPath;
  }

  const int input = ::open(inputFile, O_RDONLY | O_CLOEXEC);
  if (input < 0) {
    std::fprintf(stderr, "measure: cannot open %s: %s\n", inputFile, std::strerror(errno));
    return 2;
  }
  const int console = ::open(consoleFile, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (console < 0) {
    std::fprintf(stderr, "measure: cannot create %s: %s\n", consoleFile, std::strerror(errno));
    return 2;
  }

  const double start = secondsNow();
  const pid_t child = ::fork();
  if (child < 0) {
    std::fprintf(stderr, "measure: cannot start %s: %s\n", program[0], std::strerror(errno));
    return 2;
  }
  if (child == 0) {
    if (::dup2(input, 0) < 0 || ::dup2(console, 1) < 0 || ::dup2(console, 2) < 0) ::_exit(126);
    if (::chdir(workFolder) != 0) {
      std::fprintf(stderr, "measure: cannot enter %s: %s\n", workFolder, std::strerror(errno));
      ::_exit(126);
    }
    ::setenv("CLUSTERING_DRIVE_C", driveC, 1);
    ::execv(program[0], program);
    std::fprintf(stderr, "measure: cannot run %s: %s\n", program[0], std::strerror(errno));
    ::_exit(127);
  }

  int status = 0;
  rusage usage{};
  while (::wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::fprintf(stderr, "measure: lost %s: %s\n", program[0], std::strerror(errno));
      return 2;
    }
  }
  const double seconds = secondsNow() - start;
  const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  // ru_maxrss is in KiB on this host.
  std::printf("%.3f %.1f %d\n", seconds, static_cast<double>(usage.ru_maxrss) / 1024.0, exitStatus);
  return 0;
}
