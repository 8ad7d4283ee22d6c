#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "common/failure.h"
#include "common/host_path.h"
#include "common/run_files.h"

using namespace clustering;

namespace {

std::vector<std::string> runPaths(const std::string& text) {
  std::istringstream in(text);
  TokenReader reader(in);
  std::vector<std::string> paths;
  while (auto path = readRunPath(reader)) paths.push_back(path->text);
  return paths;
}

// The counts of a dimensions run file that holds `text`.
Dimensions countsOf(const std::string& text) {
  std::istringstream in(text);
  return parseDimensions(in, "dims");
}

std::string refusal(const std::string& dimensions) {
  try {
    countsOf(dimensions);
  } catch (const EngineError& error) {
    return error.what();
  }
  return "accepted";
}

}  // namespace

TEST(ReadRunPath, PathsWithSingleBlanksComeBackUnchanged) {
  EXPECT_EQ(runPaths("C:\\My Data\\set one.txt\r\nC:\\Results\\out 1.txt\r\n"),
            (std::vector<std::string>{"C:\\My Data\\set one.txt", "C:\\Results\\out 1.txt"}));
}

TEST(ReadRunPath, RunsOfBlanksAndTabsBecomeOneBlank) {
  EXPECT_EQ(runPaths("C:\\My  Data\\a\tb.txt\r\nout.txt\r\n"),
            (std::vector<std::string>{"C:\\My Data\\a b.txt", "out.txt"}));
}

TEST(ReadRunPath, ADottedFolderEndsThePathEarly) {
  EXPECT_EQ(runPaths("C:\\data.old\\my set.txt\r\nC:\\out.txt\r\n"),
            (std::vector<std::string>{"C:\\data.old\\my", "set.txt", "C:\\out.txt"}));
}

TEST(ReadRunPath, APathWithoutADotTakesTheNextTokensAndEndsAtTheEndOfTheFile) {
  EXPECT_EQ(runPaths("C:\\data\\matrix\r\nC:\\out.txt\r\n"),
            (std::vector<std::string>{"C:\\data\\matrix C:\\out.txt"}));
  EXPECT_EQ(runPaths("C:\\in.txt\r\nC:\\results\\out"), (std::vector<std::string>{"C:\\in.txt", "C:\\results\\out"}));
  EXPECT_TRUE(runPaths("\r\n \r\n").empty());
}

TEST(Dimensions, TheFirstTwoWholeNumbersCountWhereverTheLinesBreak) {
  const Dimensions two = countsOf("120\r\n40\r\n");
  EXPECT_EQ(two.geneCount, 120);
  EXPECT_EQ(two.sampleCount, 40);
  const Dimensions four = countsOf("120\r\n40\r\n0.5\r\n3\r\n");
  EXPECT_EQ(four.geneCount, 120);
  EXPECT_EQ(four.sampleCount, 40);
  const Dimensions oneLine = countsOf("  7 3");
  EXPECT_EQ(oneLine.geneCount, 7);
  EXPECT_EQ(oneLine.sampleCount, 3);
}

TEST(Dimensions, CountsThatCannotBeReadAreRefusedNotLeftAtZero) {
  EXPECT_EQ(refusal("\r\n12\r\n"), "dims holds no sample count (line 2); it must hold the number of genes and the "
                                   "number of samples, one whole number per line");
  EXPECT_EQ(refusal(""), "dims holds no gene count (line 1); it must hold the number of genes and the number of "
                         "samples, one whole number per line");
  EXPECT_EQ(refusal("120abc\r\n40\r\n"), "dims: the gene count (line 1) \"120abc\" is not a whole number");
  EXPECT_EQ(refusal("12\r\nforty\r\n"), "dims: the sample count (line 2) \"forty\" is not a whole number");
  EXPECT_EQ(refusal("12\r\n99999999999\r\n"), "dims: the sample count (line 2) \"99999999999\" is too large");
}

TEST(Dimensions, NegativeTooManySamplesAndNoGenesAreRefused) {
  auto refusedCounts = [](int genes, int samples, ZeroGenes zero) -> std::string {
    try {
      requireUsableCounts(Dimensions{genes, samples}, zero);
    } catch (const EngineError& error) {
      return error.what();
    }
    return "accepted";
  };
  EXPECT_EQ(refusedCounts(-1, 3, ZeroGenes::Allow), "the dimensions run file c:\\doutinfo.txt gives a negative gene count (-1)");
  EXPECT_EQ(refusedCounts(3, -2, ZeroGenes::Allow), "the dimensions run file c:\\doutinfo.txt gives a negative sample count (-2)");
  EXPECT_EQ(refusedCounts(3, 101, ZeroGenes::Allow),
            "the dimensions run file c:\\doutinfo.txt gives 101 samples; at most 100 samples per gene are supported");
  EXPECT_EQ(refusedCounts(0, 3, ZeroGenes::Refuse), "the dimensions run file c:\\doutinfo.txt gives 0 genes; there is nothing to cluster");
  EXPECT_EQ(refusedCounts(0, 3, ZeroGenes::Allow), "accepted");
  EXPECT_EQ(refusedCounts(5, 100, ZeroGenes::Refuse), "accepted");
  EXPECT_EQ(refusedCounts(5, 0, ZeroGenes::Refuse), "accepted");
}

TEST(HostPath, DriveCPathsLiveUnderTheDriveFolderWithBackslashesAsSeparators) {
  ::setenv("CLUSTERING_DRIVE_C", "/tmp/drive", 1);
  EXPECT_EQ(resolveHostPath("c:\\outinfo.txt"), std::filesystem::path("/tmp/drive/outinfo.txt"));
  EXPECT_EQ(resolveHostPath("C:\\My Data\\set one.txt"), std::filesystem::path("/tmp/drive/My Data/set one.txt"));
  EXPECT_EQ(resolveHostPath("/home/x/a\\b.txt"), std::filesystem::path("/home/x/a\\b.txt"));
  EXPECT_EQ(resolveHostPath("set.txt"), std::filesystem::path("set.txt"));
  ::unsetenv("CLUSTERING_DRIVE_C");
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(resolveHostPath("c:\\doutinfo.txt"), std::filesystem::path("/home/someone/.clustering/drive_c/doutinfo.txt"));
}
