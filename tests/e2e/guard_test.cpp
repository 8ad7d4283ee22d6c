// The six built engines guarding their files: inputs and outputs that are no regular files,
// files another engine is writing, tokens too long or unprintable, answers no matrix needs and
// closed standard descriptors. Every refusal is checked for its message and exit status, every
// input for keeping its bytes (and a pipe for staying a pipe), and an output the refusal comes
// before for keeping its bytes too. No case can hang: the test support ends a blocked engine.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <csignal>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/engine_run.h"

using testsupport::crlf;
using testsupport::EngineRun;
using testsupport::ProgramResult;
using testsupport::quotedHost;
using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

struct Engine {
  std::string name;
  std::string program;
  std::string answers;  // a run of FiveGenes to a good end
  bool writesListing;
};

const Engine Engines[] = {
    {"varnek", VARNEK_PATH, "100\n", true}, {"tolvar", TOLVAR_PATH, "1\n", true},
    {"korrin", KORRIN_PATH, "2\n", false},  {"cure", CURE_PATH, "1 0.5 10\n", true},
    {"sting", STING_PATH, "1\n", true},     {"birch", BIRCH_PATH, "1\n2\n", true},
};

const Engine& engine(const std::string& name) {
  for (const Engine& e : Engines) {
    if (e.name == name) return e;
  }
  throw std::runtime_error("no engine " + name);
}

const std::string FiveGenes = crlf("g1\t0\ng2\t1\ng3\t5\ng4\t6\ng5\t20\n");
const std::string EarlierResult = "result of an earlier run\r\n";
const std::string EarlierListing = "listing of an earlier run\r\n";
const std::string RowHint = "; every row must be a gene name followed by one number per sample";

// What each input holds before a run: its bytes when it is a regular file, else its kind.
std::map<fs::path, std::string> inputsOf(const EngineRun& run) {
  std::map<fs::path, std::string> inputs;
  for (const fs::path& input : {run.driveC() / "outinfo.txt", run.driveC() / "doutinfo.txt", run.matrixFile()}) {
    const fs::file_status status = fs::status(input);
    inputs[input] = fs::is_regular_file(status) ? readFile(input) : "kind " + std::to_string(int(status.type()));
  }
  return inputs;
}

void makeFifo(const fs::path& path) {
  fs::remove(path);
  ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << std::strerror(errno);
}

// A socket bound to `path`; it stays a socket on disk after the descriptor is closed.
void makeSocket(const fs::path& path) {
  const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(s, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.string().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << std::strerror(errno);
  ::close(s);
}

// An exclusive lock on `path` held by this test process, as another engine would hold it.
struct HeldLock {
  explicit HeldLock(const fs::path& path) : descriptor(::open(path.c_str(), O_RDWR | O_CLOEXEC)) {
    EXPECT_GE(descriptor, 0);
    EXPECT_EQ(::flock(descriptor, LOCK_EX | LOCK_NB), 0);
  }
  ~HeldLock() { ::close(descriptor); }
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  int descriptor;
};

}  // namespace

TEST(GuardedFiles, EveryEngineRefusesWhatItCannotSafelyReadOrWriteAndKeepsItsInputs) {
  struct Case {
    std::string what;
    bool needsListing;  // korrin writes no listing and meets no such case
    bool keepsResult;   // refused before the result file is emptied
    bool keepsListing;
    std::function<void(EngineRun&, std::optional<HeldLock>&)> setUp;
    std::function<std::string(const EngineRun&)> message;
  };
  const auto usePaths = [](EngineRun& run, const std::string& matrix, const std::string& result) {
    run.writePathsRunFile(crlf(matrix + "\n" + result + "\n"));
  };
  const auto withMatrix = [](std::string matrix) {
    return [matrix](EngineRun& run, auto&) { writeFile(run.matrixFile(), matrix); };
  };
  const std::string longToken(std::size_t{3} << 19, 'x');  // 1.5 MiB
  const std::string cutQuote = "\"" + std::string(60, 'x') + "\"...";
  const Case cases[] = {
      {"matrix a named pipe", false, true, true, [](EngineRun& run, auto&) { makeFifo(run.matrixFile()); },
       [](const EngineRun& run) {
         return "cannot open the matrix file " + quotedHost(run.matrixFile()) + ": Is a named pipe, not a regular file";
       }},
      {"matrix a link to a device", false, true, true,
       [&](EngineRun& run, auto&) {
         fs::create_symlink("/dev/zero", run.driveC() / "data" / "zero.txt");
         usePaths(run, "C:\\data\\zero.txt", "C:\\data\\result.txt");
       },
       [](const EngineRun& run) {
         return "cannot open the matrix file " + quotedHost(run.driveC() / "data" / "zero.txt") +
                ": Is a character device, not a regular file";
       }},
      {"paths run file a named pipe", false, true, true,
       [](EngineRun& run, auto&) { makeFifo(run.driveC() / "outinfo.txt"); },
       [](const EngineRun& run) {
         return "cannot open " + run.pathsRunFileLabel() +
                ": Is a named pipe, not a regular file; choose the input and result files in the front end, or "
                "write the file by hand";
       }},
      {"dimensions run file a named pipe", false, true, true,
       [](EngineRun& run, auto&) { makeFifo(run.driveC() / "doutinfo.txt"); },
       [](const EngineRun& run) {
         return "cannot open " + run.dimensionsRunFileLabel() +
                ": Is a named pipe, not a regular file; enter the number of genes and samples in the front end, or "
                "write the file by hand";
       }},
      {"result a named pipe", false, false, true, [](EngineRun& run, auto&) { makeFifo(run.resultFile()); },
       [](const EngineRun& run) {
         return "cannot create the result file " + quotedHost(run.resultFile()) + ": Is a named pipe, not a regular file";
       }},
      {"result a device", false, false, true,
       [&](EngineRun& run, auto&) { usePaths(run, "C:\\data\\matrix.txt", "/dev/null"); },
       [](const EngineRun&) {
         return std::string("cannot create the result file \"/dev/null\": Is a character device, not a regular file");
       }},
      {"result a socket", false, false, true,
       [](EngineRun& run, auto&) {
         fs::remove(run.resultFile());
         makeSocket(run.resultFile());
       },
       [](const EngineRun& run) {
         return "cannot create the result file " + quotedHost(run.resultFile()) + ": Is a socket, not a regular file";
       }},
      {"listing a link to a device", true, false, false,
       [](EngineRun& run, auto&) {
         fs::remove(run.listingFile());
         fs::create_symlink("/dev/null", run.listingFile());
       },
       [](const EngineRun&) {
         return std::string(
             "cannot create the cluster listing \"outputcluster.txt\": Is a character device, not a regular file");
       }},
      {"result being written by another engine", false, true, true,
       [](EngineRun& run, auto& lock) { lock.emplace(run.resultFile()); },
       [](const EngineRun& run) {
         return "another engine is writing the result file " + quotedHost(run.resultFile()) + "; wait for it to end";
       }},
      {"listing being written by another engine", true, false, true,
       [](EngineRun& run, auto& lock) { lock.emplace(run.listingFile()); },
       [](const EngineRun&) {
         return std::string(
             "another engine is writing the cluster listing \"outputcluster.txt\" in this folder; wait for it to end");
       }},
      {"matrix path without a dot joined with the result path", false, true, true,
       [&](EngineRun& run, auto&) { usePaths(run, "C:\\data\\matrix", "C:\\data\\result.txt"); },
       [](const EngineRun& run) {
         return "cannot open the matrix file " + quotedHost(run.driveC() / "data" / "matrix C:" / "data" / "result.txt") +
                ": No such file or directory; this path was joined from 2 blank-separated pieces of c:\\outinfo.txt: "
                "a path ends with its first piece that holds a '.'";
       }},
      {"value with control bytes", false, false, false, withMatrix(crlf("g1\t\x1b]0;owned\x07\ng2\t1\n")),
       [=](const EngineRun& run) {
         return "matrix file " + quotedHost(run.matrixFile()) +
                ": row 1 (gene \"g1\"), sample 1: \"\\x1b]0;owned\\x07\" is not a number" + RowHint;
       }},
      {"gene name with control bytes", false, false, false, withMatrix(crlf("g\x1b[2Jone\tNA\n")),
       [=](const EngineRun& run) {
         return "matrix file " + quotedHost(run.matrixFile()) +
                ": row 1 (gene \"g\\x1b[2Jone\"), sample 1: \"NA\" is not a number" + RowHint;
       }},
      {"value longer than a mebibyte", false, false, false, withMatrix("g1\t" + longToken + "\r\n"),
       [=](const EngineRun& run) {
         return "matrix file " + quotedHost(run.matrixFile()) + ": row 1 (gene \"g1\"), sample 1: " + cutQuote +
                " is longer than 1048576 characters" + RowHint;
       }},
      {"gene name longer than a mebibyte", false, false, false, withMatrix(longToken + "\t1\r\n"),
       [=](const EngineRun& run) {
         return "matrix file " + quotedHost(run.matrixFile()) + ": row 1: the gene name " + cutQuote +
                " is longer than 1048576 characters" + RowHint;
       }},
      {"gene count with a control byte", false, false, true,
       [](EngineRun& run, auto&) { run.writeDimensionsRunFile("5\x1b\r\n1\r\n"); },
       [](const EngineRun& run) {
         return run.dimensionsRunFileLabel() + ": the gene count (line 1) \"5\\x1b\" is not a whole number";
       }},
  };
  for (const Case& c : cases) {
    for (const Engine& e : Engines) {
      if (c.needsListing && !e.writesListing) continue;
      SCOPED_TRACE(c.what + ", " + e.name);
      EngineRun run;
      run.prepare(FiveGenes, 5, 1);
      writeFile(run.resultFile(), EarlierResult);
      writeFile(run.listingFile(), EarlierListing);
      std::optional<HeldLock> lock;
      c.setUp(run, lock);
      const std::map<fs::path, std::string> inputs = inputsOf(run);

      const ProgramResult refused = run.run(e.program, e.answers);
      EXPECT_EQ(refused.exitCode, 1);
      EXPECT_EQ(refused.err, e.name + ": " + c.message(run) + "\n");
      EXPECT_EQ(inputsOf(run), inputs);
      if (c.keepsResult) {
        EXPECT_EQ(run.result(), EarlierResult);
      }
      if (c.keepsListing) {
        EXPECT_EQ(run.listing(), EarlierListing);
      }
    }
  }
}

namespace {

// An engine started with its answers still to come: it runs up to its first prompt and waits
// there, holding every file it has created so far.
class PausedEngine {
 public:
  PausedEngine(const Engine& engine, const EngineRun& run, const std::string& prompt) {
    int answers[2];
    int console[2];
    if (::pipe(answers) != 0 || ::pipe(console) != 0) throw std::runtime_error("pipe failed");
    const testsupport::Environment environment = run.environment();
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(answers[0], 0);
      ::dup2(console[1], 1);
      ::dup2(console[1], 2);
      for (int end : {answers[0], answers[1], console[0], console[1]}) ::close(end);
      testsupport::execProgram(engine.program, run.work(), environment);
    }
    ::close(answers[0]);
    ::close(console[1]);
    answers_ = answers[1];
    console_ = console[0];
    while (console_text_.size() < prompt.size() && readConsole()) {
    }
    EXPECT_EQ(console_text_, prompt);
  }

  // Answers, lets the engine end and hands back its exit status and console.
  ProgramResult finish(const std::string& answers) {
    std::signal(SIGPIPE, SIG_IGN);  // an engine that ended early fails the test, not the test program
    EXPECT_EQ(::write(answers_, answers.data(), answers.size()), static_cast<ssize_t>(answers.size()));
    ::close(answers_);
    while (readConsole()) {
    }
    ::close(console_);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    return ProgramResult{WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), console_text_, ""};
  }

 private:
  bool readConsole() {
    char block[4096];
    const ssize_t count = ::read(console_, block, sizeof block);
    if (count > 0) console_text_.append(block, static_cast<std::size_t>(count));
    return count > 0;
  }

  pid_t pid_ = -1;
  int answers_ = -1;
  int console_ = -1;
  std::string console_text_;
};

}  // namespace

TEST(GuardedFiles, TwoEnginesOnOneFolderOrOneResultFileLeaveTheWholeOutputOfOne) {
  // The outputs of birch run alone, to compare with.
  EngineRun alone;
  alone.prepare(FiveGenes, 5, 1);
  ASSERT_EQ(alone.run(engine("birch").program, "1\n2\n").exitCode, 0);

  // birch waits at its first prompt holding its result file and its listing.
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  PausedEngine birch(engine("birch"), run, "Enter threshold distance \n");

  // varnek from the same folder, with run files of its own, meets the listing.
  EngineRun sameFolder;
  sameFolder.prepare(FiveGenes, 5, 1);
  const ProgramResult varnek = testsupport::runProgram(engine("varnek").program, "100\n", run.work(),
                                                       sameFolder.environment());
  EXPECT_EQ(varnek.exitCode, 1);
  EXPECT_EQ(varnek.err,
            "varnek: another engine is writing the cluster listing \"outputcluster.txt\" in this folder; wait for it "
            "to end\n");

  // korrin from another folder, with the same run files, meets the result file.
  EngineRun otherFolder;
  const ProgramResult korrin = testsupport::runProgram(engine("korrin").program, "2\n", otherFolder.work(),
                                                       run.environment());
  EXPECT_EQ(korrin.exitCode, 1);
  EXPECT_EQ(korrin.err,
            "korrin: another engine is writing the result file " + quotedHost(run.resultFile()) + "; wait for it to end\n");

  const ProgramResult ended = birch.finish("1\n2\n");
  EXPECT_EQ(ended.exitCode, 0) << ended.out;
  EXPECT_EQ(run.result(), alone.result());
  EXPECT_EQ(run.listing(), alone.listing());
}

TEST(GuardedFiles, AnswersBeyondTheRangeOrUnprintableAreAskedAgain) {
  struct Case {
    std::string engine;
    int geneCount;
    std::string answers;
    std::string console;
    std::string plainAnswers;  // the same run answered at once, for the files it writes
  };
  const std::string birchPrompts = "Enter threshold distance \nEnter minimum number of cluster\n";
  const std::string clusterPrompt = "Enter number of cluster\n";
  const std::string birchMost = "\"32768\" is too many; the minimum number of clusters is from 1 to 32767; please "
                                "answer again.\nEnter minimum number of cluster\n";
  const Case cases[] = {
      {"birch", 5, "1\n2147483647\n32768\n2\n",
       birchPrompts +
           "\"2147483647\" is too many; the minimum number of clusters is from 1 to 32767; please answer again.\n"
           "Enter minimum number of cluster\n" +
           birchMost + "Clustering started\n",
       "1\n2\n"},
      // As many as 32767 headings are written, nearly all of them bare, as birch's rules say.
      {"birch", 5, "1\n32767\n", birchPrompts + "Clustering started\n", "1\n32767\n"},
      {"korrin", 5, "2147483647\n2\n",
       clusterPrompt + "\"2147483647\" is too many; the number of clusters is from 1 to 32767; please answer again.\n" +
           clusterPrompt,
       "2\n"},
      {"korrin", 40000, "40001\n1\n",
       clusterPrompt + "\"40001\" is too many; the number of clusters is from 1 to 40000; please answer again.\n" +
           clusterPrompt,
       "1\n"},
      {"varnek", 5, "\x1b[2J\n100\n",
       "Enter distance threshold\n\"\\x1b[2J\" is not a number; please answer again.\nEnter distance threshold\n"
       "Clustering started\nmini=0\tminj=1\tval=81.000000\n",
       "100\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.engine + " " + c.answers);
    std::string matrix = FiveGenes;
    if (c.geneCount != 5) {
      matrix.clear();
      for (int i = 0; i < c.geneCount; ++i) matrix += "g" + std::to_string(i + 1) + " " + std::to_string(i % 7) + "\n";
    }
    EngineRun asked;
    asked.prepare(matrix, c.geneCount, 1);
    const ProgramResult ended = asked.run(engine(c.engine).program, c.answers);
    EXPECT_EQ(ended.exitCode, 0) << ended.err;
    EXPECT_EQ(ended.out, c.console);
    EngineRun plain;
    plain.prepare(matrix, c.geneCount, 1);
    ASSERT_EQ(plain.run(engine(c.engine).program, c.plainAnswers).exitCode, 0);
    EXPECT_EQ(asked.result(), plain.result());
    if (engine(c.engine).writesListing) {
      EXPECT_EQ(asked.listing(), plain.listing());
    }
  }
}

TEST(GuardedFiles, AClosedStandardStreamNeverLetsConsoleTextIntoAFile) {
  struct Case {
    std::string engine;
    int closed;
    std::string matrix;
    int exitCode;
  };
  const Case cases[] = {
      {"korrin", 1, FiveGenes, 0},
      {"birch", 1, FiveGenes, 0},
      // The refusal has nowhere to go; it must not land in the result file.
      {"cure", 2, crlf("g1\tNA\n"), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.engine + " without descriptor " + std::to_string(c.closed));
    EngineRun closed;
    closed.prepare(c.matrix, 5, 1);
    const ProgramResult ended = closed.run(engine(c.engine).program, engine(c.engine).answers, {c.closed});
    EXPECT_EQ(ended.exitCode, c.exitCode);
    EXPECT_EQ(c.closed == 1 ? ended.out : ended.err, "");
    EngineRun open;
    open.prepare(c.matrix, 5, 1);
    EXPECT_EQ(open.run(engine(c.engine).program, engine(c.engine).answers).exitCode, c.exitCode);
    EXPECT_EQ(closed.result(), open.result());
    if (engine(c.engine).writesListing) {
      EXPECT_EQ(closed.listing(), open.listing());
    }
  }
}
