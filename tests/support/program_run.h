// Runs a built program the way a user would: answers on standard input, a working folder and
// extra environment variables; hands back its exit status and both output streams. A program
// still running after HangLimitSeconds is ended by SIGALRM (exit status 128 + 14), so a
// program that blocks fails its test instead of hanging it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

struct ProgramResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline constexpr unsigned HangLimitSeconds = 120;

using Environment = std::vector<std::pair<std::string, std::string>>;

// `closedDescriptors` (of 0, 1, 2) are closed when the program starts, as a launcher may leave them.
ProgramResult runProgram(const std::string& program, const std::string& input,
                         const std::filesystem::path& workFolder, const Environment& environment,
                         const std::vector<int>& closedDescriptors = {});

// The last step of starting a program in a child process whose standard streams are set: enters
// the working folder, adds the environment, arms the hang limit and becomes the program.
[[noreturn]] void execProgram(const std::string& program, const std::filesystem::path& workFolder,
                              const Environment& environment);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view content);
// Turns every "\n" into "\r\n": the line ends of every file the programs write.
std::string crlf(std::string_view text);

}  // namespace testsupport
