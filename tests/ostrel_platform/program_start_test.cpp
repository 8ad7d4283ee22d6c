// Program start: where a bare name is looked up, which terminal opens the window, and what the
// window does when the program ends. A shell script stands in for the terminal, so the tests see
// the exact command and can play the user who presses Enter.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>
#include <cstdlib>
#include <thread>

#include "ostrel/forms/program_start.h"
#include "support/program_run.h"

using ostrel::forms::findProgram;
using ostrel::forms::programFolders;
using ostrel::forms::startProgram;
using ostrel::forms::terminalPrefix;
using testsupport::readFile;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

// A fresh folder per test, an environment restored afterwards, and helpers to lay out programs.
class ProgramStart : public ::testing::Test {
 protected:
  void SetUp() override {
    char folderTemplate[] = "/tmp/program_start_XXXXXX";
    ASSERT_NE(::mkdtemp(folderTemplate), nullptr);
    root_ = folderTemplate;
    saveVariable("PATH");
    saveVariable("CLUSTERING_TERMINAL");
    saveVariable("OSTREL_TEST_MARK");
    savedFolder_ = fs::current_path();
  }
  void TearDown() override {
    fs::current_path(savedFolder_);
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  void saveVariable(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }

  fs::path folder(const std::string& name) {
    fs::create_directories(root_ / name);
    return root_ / name;
  }

  static fs::path script(const fs::path& path, const std::string& body) {
    writeFile(path, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all | fs::perms::group_read | fs::perms::others_read);
    return path;
  }

  // A terminal that logs the words it was given, one per line, then runs the command after "-e"
  // with standard input from `input` and its output into out.txt, and records the exit status.
  fs::path fakeTerminal(const fs::path& input) {
    const fs::path here = folder("terminal");
    return script(here / "fake-terminal",
                  "printf '%s\\n' \"$@\" > '" + (here / "words.txt").string() + "'\n"
                  "[ \"$1\" = -e ] && shift\n"
                  "\"$@\" < '" + input.string() + "' > '" + (here / "out.txt").string() + "' 2>&1\n"
                  "echo $? > '" + (here / "status.tmp").string() + "'\n"
                  "mv '" + (here / "status.tmp").string() + "' '" + (here / "status.txt").string() + "'\n");
  }

  fs::path terminalFile(const std::string& name) { return root_ / "terminal" / name; }

  static bool waitFor(const std::function<bool()>& condition) {
    for (int tries = 0; tries < 1000; ++tries) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

  static std::string contentOr(const fs::path& path, const std::string& missing) {
    return fs::exists(path) ? readFile(path) : missing;
  }

  fs::path root_;
  fs::path savedFolder_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// ---- lookup -------------------------------------------------------------------------------

TEST_F(ProgramStart, FoldersAreOwnFolderThenCurrentFolderThenEachPathEntry) {
  const fs::path own = folder("own");
  const fs::path current = folder("current");
  fs::current_path(current);
  EXPECT_EQ(programFolders(own, "/usr/local/bin:/bin"),
            (std::vector<fs::path>{own, current, "/usr/local/bin", "/bin"}));
  // An empty PATH entry stands for the current folder, as in any shell.
  EXPECT_EQ(programFolders(own, "/bin::"), (std::vector<fs::path>{own, current, "/bin", current, current}));
  // No own folder known: the search starts at the current folder.
  EXPECT_EQ(programFolders({}, "/bin"), (std::vector<fs::path>{current, "/bin"}));
}

TEST_F(ProgramStart, TheFirstFolderHoldingTheProgramWins) {
  const fs::path own = folder("own");
  const fs::path current = folder("current");
  const fs::path onPath = folder("path");
  const std::vector<fs::path> folders{own, current, onPath};
  script(onPath / "cure.exe", "");
  EXPECT_EQ(findProgram("cure.exe", folders), onPath / "cure.exe");
  script(current / "cure.exe", "");
  EXPECT_EQ(findProgram("cure.exe", folders), current / "cure.exe");
  script(own / "cure.exe", "");
  EXPECT_EQ(findProgram("cure.exe", folders), own / "cure.exe");
}

TEST_F(ProgramStart, ExeNameAlsoFindsTheProgramWithoutExe) {
  const fs::path own = folder("own");
  const fs::path onPath = folder("path");
  script(onPath / "cure.exe", "");
  script(own / "cure", "");
  // Folder order comes first: the engine beside the front end beats a cure.exe further on.
  EXPECT_EQ(findProgram("cure.exe", {own, onPath}), own / "cure");
  // Within one folder the name as given comes first.
  script(own / "cure.exe", "");
  EXPECT_EQ(findProgram("cure.exe", {own, onPath}), own / "cure.exe");
  script(own / "tool", "");
  EXPECT_EQ(findProgram("tool.EXE", {own}), own / "tool");
  // Only ".exe" is dropped; a name without it is looked up as it stands.
  EXPECT_EQ(findProgram("tool.bat", {own}), std::nullopt);
  EXPECT_EQ(findProgram(".exe", {own}), std::nullopt);
}

TEST_F(ProgramStart, FilesThatCannotRunAreNotPrograms) {
  const fs::path own = folder("own");
  const fs::path onPath = folder("path");
  writeFile(own / "varnek", "not executable");
  fs::create_directories(own / "varnek.exe");
  script(onPath / "varnek", "");
  EXPECT_EQ(findProgram("varnek.exe", {own, onPath}), onPath / "varnek");
  EXPECT_EQ(findProgram("", {own, onPath}), std::nullopt);
}

TEST_F(ProgramStart, ANameFoundNowhereGivesAReasonNamingIt) {
  fs::current_path(folder("empty"));
  ::setenv("PATH", folder("nothing").c_str(), 1);
  const std::string reason = startProgram("dbscan.exe");
  EXPECT_NE(reason.find("no program dbscan.exe or dbscan in "), std::string::npos) << reason;
  EXPECT_NE(reason.find("PATH"), std::string::npos) << reason;
}

// ---- terminal -----------------------------------------------------------------------------

TEST_F(ProgramStart, TerminalPrefixComesFromTheVariableSplitOnBlanks) {
  EXPECT_EQ(terminalPrefix("  /opt/term  --hold\t-e ", "/bin"),
            (std::vector<std::string>{"/opt/term", "--hold", "-e"}));
  EXPECT_EQ(terminalPrefix("konsole -e", ""), (std::vector<std::string>{"konsole", "-e"}));
}

TEST_F(ProgramStart, WithoutTheVariableTheDebianTerminalThenXterm) {
  const fs::path bin = folder("bin");
  EXPECT_EQ(terminalPrefix(nullptr, bin.string()), (std::vector<std::string>{"xterm", "-e"}));
  EXPECT_EQ(terminalPrefix("   ", bin.string()), (std::vector<std::string>{"xterm", "-e"}));
  script(bin / "x-terminal-emulator", "");
  EXPECT_EQ(terminalPrefix(nullptr, "/nowhere:" + bin.string()),
            (std::vector<std::string>{"x-terminal-emulator", "-e"}));
}

TEST_F(ProgramStart, ATerminalThatCannotStartGivesAReasonNamingTheProgram) {
  const fs::path bin = folder("bin");
  script(bin / "varnek-probe", "exit 0\n");
  ::setenv("PATH", bin.c_str(), 1);
  fs::current_path(folder("work"));

  ::setenv("CLUSTERING_TERMINAL", (root_ / "no-such-terminal").c_str(), 1);
  std::string reason = startProgram("varnek-probe.exe");
  EXPECT_NE(reason.find("varnek-probe.exe"), std::string::npos) << reason;
  EXPECT_NE(reason.find("no-such-terminal"), std::string::npos) << reason;

  ::unsetenv("CLUSTERING_TERMINAL");  // and no x-terminal-emulator or xterm on this PATH
  reason = startProgram("varnek-probe.exe");
  EXPECT_NE(reason.find("varnek-probe.exe"), std::string::npos) << reason;
  EXPECT_NE(reason.find("xterm"), std::string::npos) << reason;

  // Found, but the system refuses to run it: the exec's own reason comes back.
  writeFile(bin / "broken-terminal", std::string("\x7f" "ELF garbage", 12));
  fs::permissions(bin / "broken-terminal", fs::perms::owner_all);
  ::setenv("CLUSTERING_TERMINAL", "broken-terminal -e", 1);
  reason = startProgram("varnek-probe.exe");
  EXPECT_NE(reason.find("varnek-probe.exe"), std::string::npos) << reason;
  EXPECT_NE(reason.find("could not be started"), std::string::npos) << reason;
  EXPECT_NE(reason.find("Exec format error"), std::string::npos) << reason;
}

// ---- the started window -------------------------------------------------------------------

TEST_F(ProgramStart, RunsTheFoundProgramInTheTerminalWithWorkingFolderAndEnvironment) {
  const fs::path bin = folder("bin");
  const fs::path work = folder("work");
  script(bin / "listing-probe", "pwd > where.txt\necho \"$OSTREL_TEST_MARK\" >> where.txt\n");
  ::setenv("PATH", ("/usr/bin:/bin:" + bin.string()).c_str(), 1);
  ::setenv("OSTREL_TEST_MARK", "inherited", 1);
  ::setenv("CLUSTERING_TERMINAL", (fakeTerminal("/dev/null").string() + "  -e").c_str(), 1);
  fs::current_path(work);

  ASSERT_EQ(startProgram("listing-probe.exe"), "");
  ASSERT_TRUE(waitFor([&] { return fs::exists(terminalFile("status.txt")); }));
  EXPECT_EQ(readFile(terminalFile("status.txt")), "0\n");
  EXPECT_EQ(readFile(work / "where.txt"), work.string() + "\ninherited\n");
  // The terminal gets its prefix, then a shell wrapper that is handed the path and the bare name.
  const std::string words = readFile(terminalFile("words.txt"));
  EXPECT_EQ(words.substr(0, words.find('\n') + 1), "-e\n");
  EXPECT_NE(words.find("\n/bin/sh\n-c\n"), std::string::npos) << words;
  const std::string pathThenName = '\n' + (bin / "listing-probe").string() + "\nlisting-probe.exe\n";
  EXPECT_NE(words.find(pathThenName), std::string::npos) << words;
  // A program that succeeds closes its window without asking for Enter.
  EXPECT_EQ(readFile(terminalFile("out.txt")), "");
}

TEST_F(ProgramStart, AFailedProgramKeepsItsWindowUntilEnter) {
  const fs::path bin = folder("bin");
  script(bin / "failing-probe", "echo 'failing-probe: cannot open c:\\outinfo.txt'\nexit 3\n");
  ::setenv("PATH", ("/usr/bin:/bin:" + bin.string()).c_str(), 1);
  const fs::path enter = root_ / "enter";
  ASSERT_EQ(::mkfifo(enter.c_str(), 0600), 0);
  // Opened for reading and writing, so neither side blocks and no end of file is seen early.
  const int keyboard = ::open(enter.c_str(), O_RDWR);
  ASSERT_GE(keyboard, 0);
  ::setenv("CLUSTERING_TERMINAL", (fakeTerminal(enter).string() + " -e").c_str(), 1);
  fs::current_path(folder("work"));

  // startProgram returns at once, while the program's window is still waiting for the user.
  ASSERT_EQ(startProgram("failing-probe.exe"), "");
  ASSERT_TRUE(waitFor([&] { return contentOr(terminalFile("out.txt"), "").find("Press Enter") != std::string::npos; }));
  EXPECT_EQ(readFile(terminalFile("out.txt")),
            "failing-probe: cannot open c:\\outinfo.txt\n\nfailing-probe.exe ended with status 3. Press Enter to close this window.\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(terminalFile("status.txt"))) << "the window closed without Enter";

  ASSERT_EQ(::write(keyboard, "\n", 1), 1);
  ASSERT_TRUE(waitFor([&] { return fs::exists(terminalFile("status.txt")); }));
  EXPECT_EQ(readFile(terminalFile("status.txt")), "3\n");
  ::close(keyboard);
}

TEST_F(ProgramStart, StartedWindowsLeaveNoChildBehind) {
  const fs::path bin = folder("bin");
  script(bin / "quiet-probe", "exit 0\n");
  ::setenv("PATH", ("/usr/bin:/bin:" + bin.string()).c_str(), 1);
  ::setenv("CLUSTERING_TERMINAL", (fakeTerminal("/dev/null").string() + " -e").c_str(), 1);
  fs::current_path(folder("work"));
  for (int start = 0; start < 3; ++start) ASSERT_EQ(startProgram("quiet-probe.exe"), "");
  ASSERT_TRUE(waitFor([&] { return fs::exists(terminalFile("status.txt")); }));
  // The windows run as grandchildren that nobody needs to wait for: we have no child at all.
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
