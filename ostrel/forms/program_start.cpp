#include "ostrel/forms/program_start.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace ostrel::forms {

namespace {

std::string reasonOf(int error) { return std::strerror(error); }

bool isExecutableFile(const std::filesystem::path& candidate) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(candidate, ignored) && ::access(candidate.c_str(), X_OK) == 0;
}

bool endsWithExe(const std::string& name) {
  if (name.size() <= 4) return false;
  std::string tail = name.substr(name.size() - 4);
  std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
  return tail == ".exe";
}

std::vector<std::filesystem::path> pathFolders(const std::string& pathVariable) {
  std::vector<std::filesystem::path> folders;
  std::error_code ignored;
  const std::filesystem::path current = std::filesystem::current_path(ignored);
  std::string::size_type start = 0;
  while (true) {
    const std::string::size_type end = pathVariable.find(':', start);
    const std::string entry = pathVariable.substr(start, end == std::string::npos ? end : end - start);
    folders.push_back(entry.empty() ? current : std::filesystem::absolute(entry, ignored));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return folders;
}

std::string pathVariable() {
  const char* path = std::getenv("PATH");
  return path != nullptr ? path : "";
}

std::filesystem::path ownFolder() {
  std::error_code failed;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", failed);
  return failed ? std::filesystem::path() : self.parent_path();
}

// The terminal's own program: a word with a slash is a path, any other is looked up in PATH.
std::optional<std::filesystem::path> locateTerminal(const std::string& word, const std::string& path) {
  if (word.find('/') != std::string::npos) {
    if (isExecutableFile(word)) return std::filesystem::path(word);
    return std::nullopt;
  }
  for (const auto& folder : pathFolders(path)) {
    if (isExecutableFile(folder / word)) return folder / word;
  }
  return std::nullopt;
}

// Starts the terminal as a grandchild that nobody waits for, so that it never becomes a zombie of
// ours. A pipe closed on exec tells whether the exec itself succeeded: it reaches end of file
// empty on success, or carries the errno of the failed exec or fork.
int startDetached(const std::filesystem::path& terminal, const std::vector<std::string>& words) {
  std::vector<char*> argv;
  for (const auto& word : words) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return errno;
  const pid_t middle = ::fork();
  if (middle < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return error;
  }
  if (middle == 0) {
    ::close(report[0]);
    const pid_t runner = ::fork();
    if (runner == 0) {
      ::setsid();  // the window lives on its own, untouched by signals aimed at the front end's group
      ::execv(terminal.c_str(), argv.data());
    }
    if (runner > 0) ::_exit(0);
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
    ::_exit(127);
  }
  ::close(report[1]);
  int error = 0;
  std::size_t received = 0;
  while (received < sizeof error) {
    const ssize_t got = ::read(report[0], reinterpret_cast<char*>(&error) + received, sizeof error - received);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    received += static_cast<std::size_t>(got);
  }
  ::close(report[0]);
  while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
  }
  return received == sizeof error ? error : 0;
}

}  // namespace

std::vector<std::filesystem::path> programFolders(const std::filesystem::path& ownFolder,
                                                  const std::string& pathVariable) {
  std::vector<std::filesystem::path> folders;
  if (!ownFolder.empty()) folders.push_back(ownFolder);
  std::error_code ignored;
  folders.push_back(std::filesystem::current_path(ignored));
  for (auto& folder : pathFolders(pathVariable)) folders.push_back(std::move(folder));
  return folders;
}

std::optional<std::filesystem::path> findProgram(const std::string& bareName,
                                                 const std::vector<std::filesystem::path>& folders) {
  if (bareName.empty()) return std::nullopt;
  for (const auto& folder : folders) {
    if (folder.empty()) continue;
    if (isExecutableFile(folder / bareName)) return folder / bareName;
    if (endsWithExe(bareName)) {
      const auto withoutExe = folder / bareName.substr(0, bareName.size() - 4);
      if (isExecutableFile(withoutExe)) return withoutExe;
    }
  }
  return std::nullopt;
}

std::vector<std::string> terminalPrefix(const char* clusteringTerminal, const std::string& pathVariable) {
  std::vector<std::string> words;
  if (clusteringTerminal != nullptr) {
    std::istringstream blanks(clusteringTerminal);
    for (std::string word; blanks >> word;) words.push_back(word);
  }
  if (!words.empty()) return words;
  if (locateTerminal("x-terminal-emulator", pathVariable)) return {"x-terminal-emulator", "-e"};
  return {"xterm", "-e"};
}

std::vector<std::string> keptWindowCommand(const std::filesystem::path& program, const std::string& bareName) {
  // $1 is the program's path, $2 the name the user knows it by.
  static const std::string wrapper =
      "\"$1\"; status=$?; "
      "if [ \"$status\" -ne 0 ]; then "
      "printf '\\n%s ended with status %s. Press Enter to close this window.\\n' \"$2\" \"$status\"; "
      "read -r answer; "
      "fi; "
      "exit \"$status\"";
  return {"/bin/sh", "-c", wrapper, "ostrel-start", program.string(), bareName};
}

std::string startProgram(const std::string& bareName) {
  const std::string path = pathVariable();
  const std::filesystem::path own = ownFolder();
  const auto program = findProgram(bareName, programFolders(own, path));
  if (!program) {
    std::string names = bareName;
    if (endsWithExe(bareName)) names += " or " + bareName.substr(0, bareName.size() - 4);
    return "no program " + names + " in the front end's folder" + (own.empty() ? "" : " (" + own.string() + ")") +
           ", the current folder or PATH";
  }
  std::vector<std::string> command = terminalPrefix(std::getenv("CLUSTERING_TERMINAL"), path);
  const auto terminal = locateTerminal(command.front(), path);
  if (!terminal) {
    return "no terminal window for " + bareName + ": \"" + command.front() +
           "\" was not found (set CLUSTERING_TERMINAL to a terminal command, e.g. \"xterm -e\")";
  }
  for (auto& word : keptWindowCommand(*program, bareName)) command.push_back(std::move(word));
  if (const int error = startDetached(*terminal, command); error != 0) {
    return "the terminal window for " + bareName + " could not be started (" + terminal->string() +
           "): " + reasonOf(error);
  }
  return "";
}

}  // namespace ostrel::forms
