// Runs a built program the way a user would: answers on standard input, a working folder and
// extra environment variables; hands back its exit status and both output streams.
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

ProgramResult runProgram(const std::string& program, const std::string& input,
                         const std::filesystem::path& workFolder,
                         const std::vector<std::pair<std::string, std::string>>& environment);

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, std::string_view content);
// Turns every "\n" into "\r\n": the line ends of every file the programs write.
std::string crlf(std::string_view text);

}  // namespace testsupport
