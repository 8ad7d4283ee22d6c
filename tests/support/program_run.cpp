#include "program_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace testsupport {

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const std::filesystem::path& path, std::string_view content) {
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string crlf(std::string_view text) {
  std::string converted;
  for (char c : text) {
    if (c == '\n') converted += '\r';
    converted += c;
  }
  return converted;
}

ProgramResult runProgram(const std::string& program, const std::string& input,
                         const std::filesystem::path& workFolder, const Environment& environment,
                         const std::vector<int>& closedDescriptors) {
  char folderTemplate[] = "/tmp/program_run_XXXXXX";
  if (::mkdtemp(folderTemplate) == nullptr) throw std::runtime_error("mkdtemp failed");
  const std::filesystem::path scratch = folderTemplate;
  const std::filesystem::path inPath = scratch / "in";
  const std::filesystem::path outPath = scratch / "out";
  const std::filesystem::path errPath = scratch / "err";
  writeFile(inPath, input);

  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int in = ::open(inPath.c_str(), O_RDONLY);
    const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    for (int opened : {in, out, err}) {
      if (opened > 2) ::close(opened);
    }
    for (int closed : closedDescriptors) ::close(closed);
    execProgram(program, workFolder, environment);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  ProgramResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = readFile(outPath);
  result.err = readFile(errPath);
  std::filesystem::remove_all(scratch);
  return result;
}

void execProgram(const std::string& program, const std::filesystem::path& workFolder,
                 const Environment& environment) {
  if (::chdir(workFolder.c_str()) != 0) ::_exit(126);
  for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
  ::alarm(HangLimitSeconds);  // outlives exec
  ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
  ::_exit(127);
}

}  // namespace testsupport
