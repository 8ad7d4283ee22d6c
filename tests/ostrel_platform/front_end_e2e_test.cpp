// The whole road of a user, with the real program start and the real varnek: "Select Input
// File", "Enter Input Description", "Enter Output File Name", "Start Clustering", "VARNEK". The
// terminal is a script that types the user's answer into the engine, so the test can wait for
// the engine to end and compare what it wrote with a run of varnek by hand on the same files.
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <thread>

#include "ostrel/forms/program_start.h"
#include "ostrel/front_end_fixture.h"

using testsupport::readFile;
using testsupport::writeFile;
namespace fs = std::filesystem;

namespace {

const std::string Matrix =
    "YAL001W\t2.010\t2.579\t2.921\n"
    "YAL004W\t7.889\t7.148\t5.463\n"
    "YAL007W\t3.417\t4.499\t4.277\n"
    "YAL010W\t1.789\t2.236\t3.107\n"
    "YAL013W\t7.608\t7.138\t4.869\n"
    "YAL016W\t3.530\t4.180\t4.395\n"
    "YAL019W\t2.250\t2.410\t3.020\n";

// Holds the process's working folder, PATH and terminal for one test and puts them back.
class ProcessSetting {
 public:
  ProcessSetting() : folder_(fs::current_path()) {
    for (const char* name : {"PATH", "CLUSTERING_TERMINAL"}) {
      const char* value = std::getenv(name);
      saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
  }
  ~ProcessSetting() {
    fs::current_path(folder_);
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }

 private:
  fs::path folder_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class WholeRoad : public ostreltest::FrontEnd {
 protected:
  void SetUp() override {
    terminalFolder_ = sandbox.driveC().parent_path() / "terminal";
    fs::create_directories(terminalFolder_);
    writeFile(terminalFolder_ / "answers.txt", "2.5\n");
    // The window of the started program: it answers the engine's prompt from a file, keeps what
    // the engine printed, and says when the engine has ended and how.
    const fs::path terminal = terminalFolder_ / "answering-terminal";
    writeFile(terminal, "#!/bin/sh\n"
                        "[ \"$1\" = -e ] && shift\n"
                        "\"$@\" < '" + (terminalFolder_ / "answers.txt").string() + "' > '" +
                            (terminalFolder_ / "console.txt").string() + "' 2>&1\n"
                        "echo $? > '" + (terminalFolder_ / "status.tmp").string() + "'\n"
                        "mv '" + (terminalFolder_ / "status.tmp").string() + "' '" +
                            (terminalFolder_ / "status.txt").string() + "'\n");
    fs::permissions(terminal, fs::perms::owner_all);
    ::setenv("CLUSTERING_TERMINAL", (terminal.string() + " -e").c_str(), 1);
    // The engines stand beside the front end; a test program is not the front end, so the
    // engines' folder is put on PATH as well.
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", (fs::path(VARNEK_PATH).parent_path().string() + ":" + path).c_str(), 1);
    fs::current_path(sandbox.work());  // the front end's working folder
    runtime.setProgramStarter(ostrel::forms::startProgram);
  }

  std::optional<std::string> engineStatus() const {
    const fs::path status = terminalFolder_ / "status.txt";
    for (int tries = 0; tries < 300; ++tries) {
      if (fs::exists(status)) return readFile(status);
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return std::nullopt;
  }

  ProcessSetting setting_;
  fs::path terminalFolder_;
};

TEST_F(WholeRoad, FromSelectInputFileToVarneksResultAndListing) {
  writeFile(sandbox.matrixFile(), Matrix);
  selectInputFile(sandbox.matrixFile().string());
  enterInputDescription("7", "3");
  enterOutputFileName(sandbox.resultFile().string());
  startClustering();
  EXPECT_EQ(backend.visibleForms(), ostreltest::Visible{"Form3"});
  backend.click("Form3", "Command12");  // "VARNEK"

  EXPECT_EQ(backend.messageBoxes(), std::vector<std::string>{});
  EXPECT_EQ(backend.visibleForms(), ostreltest::Visible{"Form1"});
  const auto status = engineStatus();
  ASSERT_TRUE(status.has_value()) << "varnek did not end";
  EXPECT_EQ(*status, "0\n") << readFile(terminalFolder_ / "console.txt");
  EXPECT_NE(readFile(terminalFolder_ / "console.txt").find("Enter distance threshold"), std::string::npos);

  // The listing lands in the front end's working folder, the result where the user chose it.
  ASSERT_TRUE(fs::exists(sandbox.listingFile()));
  ASSERT_TRUE(fs::exists(sandbox.resultFile()));
  const std::string result = sandbox.result();
  const std::string listing = sandbox.listing();
  EXPECT_NE(result.find("YAL001W\tYAL001W\t"), std::string::npos) << result;

  // Byte for byte what varnek writes when run by hand on the run files the front end wrote.
  fs::remove(sandbox.resultFile());
  fs::remove(sandbox.listingFile());
  const testsupport::ProgramResult byHand = sandbox.run(VARNEK_PATH, "2.5\n");
  ASSERT_EQ(byHand.exitCode, 0) << byHand.err;
  EXPECT_EQ(result, sandbox.result());
  EXPECT_EQ(listing, sandbox.listing());
}

TEST_F(WholeRoad, AnEngineThatFailsReportsInItsWindowAndTheFrontEndGoesOn) {
  // No matrix where the paths run file points: varnek ends with its message and status 1.
  selectInputFile(sandbox.matrixFile().string());
  enterInputDescription("7", "3");
  enterOutputFileName(sandbox.resultFile().string());
  startClustering();
  backend.click("Form3", "Command12");

  EXPECT_EQ(backend.messageBoxes(), std::vector<std::string>{});
  EXPECT_EQ(backend.visibleForms(), ostreltest::Visible{"Form1"});
  const auto status = engineStatus();
  ASSERT_TRUE(status.has_value());
  // The window waited for Enter (the answers ran out, which ends the wait) after saying why.
  const std::string console = readFile(terminalFolder_ / "console.txt");
  EXPECT_EQ(*status, "1\n") << console;
  EXPECT_NE(console.find("varnek: "), std::string::npos) << console;
  EXPECT_NE(console.find("varnek.exe ended with status 1. Press Enter to close this window."), std::string::npos)
      << console;
}

TEST_F(WholeRoad, AProgramFoundNowhereIsReportedAndTheFrontEndGoesOn) {
  startClustering();
  backend.click("Form3", "Command13");  // "DBSCAN": an outside program nobody installed here
  ASSERT_EQ(backend.messageBoxes().size(), 1u);
  EXPECT_EQ(backend.messageBoxes()[0].rfind("Cannot start dbscan.exe: no program dbscan.exe or dbscan in ", 0), 0u)
      << backend.messageBoxes()[0];
  EXPECT_EQ(backend.visibleForms(), ostreltest::Visible{"Form1"});
  EXPECT_FALSE(backend.quitRequested());
}

}  // namespace
