// Times one run of a program as a user runs an engine, and reports its cost:
//   measure [--limit SECONDS] <drive C folder> <working folder> <input file> <console file>
//           <program> [arguments...]
// The program starts in the working folder with CLUSTERING_DRIVE_C set, reads the input file as
// its standard input and writes standard output and error to the console file. One line goes to
// standard output: wall seconds, peak resident memory in MiB (from the child's own rusage) and
// the program's exit status, separated by blanks. With --limit, a program still running after
// that many seconds is killed and the status reads "stopped"; the figures are then those up to
// the kill. It prints figures and judges nothing.
#include <fcntl.h>
#include <signal.h>
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

timespec durationOf(double seconds) {
  timespec duration{};
  duration.tv_sec = static_cast<time_t>(seconds);
  duration.tv_nsec = static_cast<long>((seconds - static_cast<double>(duration.tv_sec)) * 1e9);
  return duration;
}

}  // namespace

int main(int argc, char** argv) {
  double limit = 0.0;  // seconds; 0: no limit
  if (argc >= 3 && std::strcmp(argv[1], "--limit") == 0) {
    char* end = nullptr;
    limit = std::strtod(argv[2], &end);
    if (end == argv[2] || *end != '\0' || !(limit > 0.0) || limit > 1e9) {
      std::fprintf(stderr, "measure: the limit must be a number of seconds above 0, not %s\n", argv[2]);
      return 2;
    }
    argc -= 2;
    argv += 2;
  }
  if (argc < 6) {
    std::fprintf(stderr,
                 "usage: measure [--limit SECONDS] <drive C folder> <working folder> <input file> <console file> "
                 "<program> [arguments...]\n");
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

  // The child's end is awaited as a signal, so that the wait can also end at the limit. Blocked,
  // it stays pending until taken; the child gets the mask it would have had.
  sigset_t childEnded;
  sigset_t previousMask;
  sigemptyset(&childEnded);
  sigaddset(&childEnded, SIGCHLD);
  sigprocmask(SIG_BLOCK, &childEnded, &previousMask);

  const double start = secondsNow();
  const pid_t child = ::fork();
  if (child < 0) {
    std::fprintf(stderr, "measure: cannot start %s: %s\n", program[0], std::strerror(errno));
    return 2;
  }
  if (child == 0) {
    sigprocmask(SIG_SETMASK, &previousMask, nullptr);
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
  bool stopped = false;
  for (;;) {
    const pid_t ended = ::wait4(child, &status, stopped ? 0 : WNOHANG, &usage);
    if (ended == child) break;
    if (ended < 0 && errno != EINTR) {
      std::fprintf(stderr, "measure: lost %s: %s\n", program[0], std::strerror(errno));
      return 2;
    }
    if (ended < 0) continue;
    // Still running: wait for its end, the limit, or a second, whichever comes first; the
    // second only guards against a signal that never comes.
    double slice = 1.0;
    if (limit > 0.0) {
      const double remaining = start + limit - secondsNow();
      if (remaining <= 0.0) {
        ::kill(child, SIGKILL);
        stopped = true;
        continue;
      }
      if (remaining < slice) slice = remaining;
    }
    const timespec wait = durationOf(slice);
    sigtimedwait(&childEnded, nullptr, &wait);
  }
  const double seconds = secondsNow() - start;
  // ru_maxrss is in KiB on this host.
  const double peak = static_cast<double>(usage.ru_maxrss) / 1024.0;
  if (stopped) {
    std::printf("%.3f %.1f stopped\n", seconds, peak);
  } else {
    const int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::printf("%.3f %.1f %d\n", seconds, peak, exitStatus);
  }
  return 0;
}
