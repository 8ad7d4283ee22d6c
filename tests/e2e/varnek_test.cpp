// The built varnek run as a user runs it: the threshold typed on standard input, the run files
// and the matrix on a temporary drive C, the listing in a working folder of its own. Result
// file, listing (CR LF line ends) and console text (LF) are compared byte for byte; every
// refusal is checked for its message, exit status 1 and a matrix left exactly as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/engine_run.h"

using testsupport::crlf;
using testsupport::EngineRun;
using testsupport::ProgramResult;
using testsupport::quotedHost;
using testsupport::readFile;
using testsupport::writeFile;

namespace fs = std::filesystem;

namespace {

const std::string Varnek = VARNEK_PATH;
const std::string Prompt = "Enter distance threshold\n";
const std::string Started = "Clustering started\n";

// Worked example: one sample per gene, values 0, 1, 5, 6, 20; three chains, (0, 1) scores 81.
const std::string FiveGenes = crlf("g1\t0\ng2\t1\ng3\t5\ng4\t6\ng5\t20\n");
const std::string FiveGenesMerged = crlf("g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\ng4\tg4\t0\ng5\tg5\t1\n");
const std::string FiveGenesMergedListing = crlf(
    "Cluster 1\ng1\t0.000000\t\ng2\t1.000000\t\ng3\t5.000000\t\ng4\t6.000000\t\n"
    "Cluster 2\ng5\t20.000000\t\n");
const std::string FiveGenesChains = crlf("g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t1\ng4\tg4\t1\ng5\tg5\t2\n");
const std::string FiveGenesChainsListing = crlf(
    "Cluster 1\ng1\t0.000000\t\ng2\t1.000000\t\n"
    "Cluster 2\ng3\t5.000000\t\ng4\t6.000000\t\n"
    "Cluster 3\ng5\t20.000000\t\n");
const std::string FiveGenesPass = "mini=0\tminj=1\tval=81.000000\n";

struct Outcome {
  std::string console;
  std::string result;
  std::string listing;
};

// Runs varnek to a good end and hands back what it printed and wrote.
Outcome runToEnd(const EngineRun& run, const std::string& answer) {
  const ProgramResult ended = run.run(Varnek, answer);
  EXPECT_EQ(ended.exitCode, 0) << ended.err;
  EXPECT_EQ(ended.err, "");
  return Outcome{ended.out, fs::exists(run.resultFile()) ? run.result() : "(no result file)",
                 fs::exists(run.listingFile()) ? run.listing() : "(no listing)"};
}

Outcome clustered(const std::string& matrix, int geneCount, int sampleCount, const std::string& answer) {
  EngineRun run;
  run.prepare(matrix, geneCount, sampleCount);
  return runToEnd(run, answer);
}

// Runs varnek expecting it to refuse with `message`; the file at `matrix` must keep every byte.
ProgramResult expectRefusal(const EngineRun& run, const std::string& answer, const std::string& message,
                            const fs::path& matrix) {
  const bool hadMatrix = fs::exists(matrix);
  const std::string before = hadMatrix ? readFile(matrix) : "";
  const ProgramResult refused = run.run(Varnek, answer);
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_EQ(refused.err, "varnek: " + message + "\n");
  EXPECT_EQ(fs::exists(matrix), hadMatrix);
  if (hadMatrix && fs::exists(matrix)) {
    EXPECT_EQ(readFile(matrix), before) << "the matrix was changed";
  }
  return refused;
}

ProgramResult expectRefusal(const EngineRun& run, const std::string& answer, const std::string& message) {
  return expectRefusal(run, answer, message, run.matrixFile());
}

const std::string RowHint = "; every row must be a gene name followed by one number per sample";

}  // namespace

TEST(VarnekRun, FiveGenesMergeOncePastThresholdAndStopAtTwoClusters) {
  const Outcome merged = clustered(FiveGenes, 5, 1, "100\n");
  EXPECT_EQ(merged.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(merged.result, FiveGenesMerged);
  EXPECT_EQ(merged.listing, FiveGenesMergedListing);

  const Outcome unmerged = clustered(FiveGenes, 5, 1, "50\n");
  EXPECT_EQ(unmerged.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(unmerged.result, FiveGenesChains);
  EXPECT_EQ(unmerged.listing, FiveGenesChainsListing);
}

TEST(VarnekRun, ZeroWeightChainsAreScoredByTheUnweightedForm) {
  const Outcome run = clustered(crlf("g1\t0\ng2\t0\ng3\t10\ng4\t10\ng5\t30\n"), 5, 1, "1000\n");
  EXPECT_EQ(run.console, Prompt + Started + "mini=0\tminj=1\tval=800.000000\n");
  EXPECT_EQ(run.result, FiveGenesMerged);
  EXPECT_EQ(run.listing, crlf("Cluster 1\ng1\t0.000000\t\ng2\t0.000000\t\ng3\t10.000000\t\ng4\t10.000000\t\n"
                              "Cluster 2\ng5\t30.000000\t\n"));
}

TEST(VarnekRun, TheLastSlotMovesIntoTheMergedSlotAndTheOutputFollowsTheSlots) {
  const Outcome run = clustered(crlf("g1\t0\ng2\t1\ng3\t10\ng4\t11\ng5\t30\ng6\t31\ng7\t50\n"), 7, 1, "500\n");
  EXPECT_EQ(run.console, Prompt + Started + "mini=0\tminj=1\tval=361.000000\nmini=0\tminj=2\tval=1251.266667\n");
  EXPECT_EQ(run.result, crlf("g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\ng4\tg4\t0\ng7\tg7\t1\ng5\tg5\t2\ng6\tg6\t2\n"));
  EXPECT_EQ(run.listing, crlf("Cluster 1\ng1\t0.000000\t\ng2\t1.000000\t\ng3\t10.000000\t\ng4\t11.000000\t\n"
                              "Cluster 2\ng7\t50.000000\t\n"
                              "Cluster 3\ng5\t30.000000\t\ng6\t31.000000\t\n"));
}

TEST(VarnekRun, AChainMeetingAnEarlierChainStaysApartUntilMerged) {
  const Outcome run = clustered(crlf("g1\t0\ng2\t2\ng3\t5\ng4\t9\n"), 4, 1, "500\n");
  EXPECT_EQ(run.console, Prompt + Started + "mini=0\tminj=1\tval=30.250000\n");
  EXPECT_EQ(run.result, crlf("g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\ng4\tg4\t1\n"));
  EXPECT_EQ(run.listing,
            crlf("Cluster 1\ng1\t0.000000\t\ng2\t2.000000\t\ng3\t5.000000\t\nCluster 2\ng4\t9.000000\t\n"));
}

TEST(VarnekRun, TheThresholdItselfMergesAndAScoreAboveEndsAfterItsLine) {
  const Outcome equal = clustered(FiveGenes, 5, 1, "81\n");
  EXPECT_EQ(equal.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(equal.result, FiveGenesMerged);
  const Outcome above = clustered(FiveGenes, 5, 1, "80.99\n");
  EXPECT_EQ(above.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(above.result, FiveGenesChains);
  const Outcome negative = clustered(FiveGenes, 5, 1, "-5\n");
  EXPECT_EQ(negative.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(negative.result, FiveGenesChains);
  EXPECT_EQ(negative.listing, FiveGenesChainsListing);
}

TEST(VarnekRun, OfEqualBestScoresThePairMetFirstMerges) {
  const Outcome run = clustered(crlf("a\t0\nb\t0\nc\t10\nd\t10\ne\t20\nf\t20\n"), 6, 1, "1000\n");
  EXPECT_EQ(run.console, Prompt + Started + "mini=0\tminj=1\tval=800.000000\n");
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t0\nc\tc\t0\nd\td\t0\ne\te\t1\nf\tf\t1\n"));
}

TEST(VarnekRun, TwoChainsOrFewerRunNoPass) {
  const Outcome two = clustered(crlf("g1\t0\ng2\t1\ng3\t5\ng4\t6\n"), 4, 1, "1e300\n");
  EXPECT_EQ(two.console, Prompt + Started);
  EXPECT_EQ(two.result, crlf("g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t1\ng4\tg4\t1\n"));

  const Outcome single = clustered(crlf("solo\t3.5\t-2\n"), 1, 2, "100\n");
  EXPECT_EQ(single.console, Prompt + Started);
  EXPECT_EQ(single.result, crlf("solo\tsolo\t0\n"));
  EXPECT_EQ(single.listing, crlf("Cluster 1\nsolo\t3.500000\t-2.000000\t\n"));
}

TEST(VarnekRun, GenesFartherThanInfiniteDistanceStayApartWithoutAPassLine) {
  const Outcome run = clustered(crlf("near\t0\nfar\t1e7\nfarther\t2e7\n"), 3, 1, "1e300\n");
  EXPECT_EQ(run.console, Prompt + Started);
  EXPECT_EQ(run.result, crlf("near\tnear\t0\nfar\tfar\t1\nfarther\tfarther\t2\n"));
  EXPECT_EQ(run.listing, crlf("Cluster 1\nnear\t0.000000\t\nCluster 2\nfar\t10000000.000000\t\n"
                              "Cluster 3\nfarther\t20000000.000000\t\n"));
}

TEST(VarnekRun, ValuesAreListedWithSixDecimals) {
  const Outcome run = clustered(crlf("a\t0.5\t-1234.5\t1e-7\nb\t2\t+3.25E1\t.125\n"), 2, 3, "0\n");
  EXPECT_EQ(run.console, Prompt + Started);
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t0\n"));
  EXPECT_EQ(run.listing, crlf("Cluster 1\na\t0.500000\t-1234.500000\t0.000000\t\nb\t2.000000\t32.500000\t0.125000\t\n"));
}

TEST(VarnekRun, NoSamplesMakeEveryDistanceZero) {
  // g1 and g2 link to each other, g3 and g4 to g1: chains g1 g2, g3, g4, every score 0.
  const Outcome run = clustered(crlf("g1\ng2\ng3\ng4\n"), 4, 0, "0\n");
  EXPECT_EQ(run.console, Prompt + Started + "mini=0\tminj=1\tval=0.000000\n");
  EXPECT_EQ(run.result, crlf("g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\ng4\tg4\t1\n"));
  EXPECT_EQ(run.listing, crlf("Cluster 1\ng1\t\ng2\t\ng3\t\nCluster 2\ng4\t\n"));
}

TEST(VarnekRun, RowsSpreadOverLinesLoadAsOneRowPerLine) {
  const Outcome spread = clustered("g1\r\n0 g2\r\n1\r\ng3 5 g4\t6  g5\n20", 5, 1, "100\n");
  EXPECT_EQ(spread.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(spread.result, FiveGenesMerged);
  EXPECT_EQ(spread.listing, FiveGenesMergedListing);
}

TEST(VarnekRun, TokensAfterTheLastRowAreNeverRead) {
  const Outcome run = clustered(FiveGenes + "g6\tNA\tnotes\r\n", 5, 1, "100\n");
  EXPECT_EQ(run.result, FiveGenesMerged);
}

TEST(VarnekRun, LongNamesAreKeptWhole) {
  const std::string longName(300, 'n');
  const Outcome run = clustered(longName + "\t1\r\nshort\t2\r\n", 2, 1, "0\n");
  EXPECT_EQ(run.result, crlf(longName + "\t" + longName + "\t0\nshort\tshort\t0\n"));
  EXPECT_EQ(run.listing, crlf("Cluster 1\n" + longName + "\t1.000000\t\nshort\t2.000000\t\n"));
}

TEST(VarnekRun, AFourLineDimensionsFileCountsOnlyItsFirstTwoLines) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  run.writeDimensionsRunFile(crlf("5\n1\n0.5\n3\n"));
  const Outcome outcome = runToEnd(run, "100\n");
  EXPECT_EQ(outcome.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(outcome.result, FiveGenesMerged);
  EXPECT_EQ(outcome.listing, FiveGenesMergedListing);
}

TEST(VarnekRun, ANonNumberAnswerIsAskedAgain) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  const Outcome outcome = runToEnd(run, "ten\nnan 3\n100\n");
  EXPECT_EQ(outcome.console, Prompt + "\"ten\" is not a number; please answer again.\n" + Prompt +
                                 "\"nan\" is not a number; please answer again.\n" + Prompt + Started +
                                 FiveGenesPass);
  EXPECT_EQ(outcome.result, FiveGenesMerged);
}

TEST(VarnekRunPaths, PathsWithBlanksAreReadWhole) {
  EngineRun run;
  run.prepare("", 5, 1);
  writeFile(run.driveC() / "My Data" / "set one.txt", FiveGenes);
  fs::create_directories(run.driveC() / "Results");
  run.writePathsRunFile(crlf("C:\\My Data\\set one.txt\nC:\\Results\\out 1.txt\n"));
  const Outcome outcome = runToEnd(run, "100\n");
  EXPECT_EQ(outcome.console, Prompt + Started + FiveGenesPass);
  EXPECT_EQ(readFile(run.driveC() / "Results" / "out 1.txt"), FiveGenesMerged);
  EXPECT_EQ(outcome.listing, FiveGenesMergedListing);
}

TEST(VarnekRunPaths, TwoBlanksInARowAreReadAsOne) {
  EngineRun run;
  run.prepare("", 5, 1);
  writeFile(run.driveC() / "My Data" / "set one.txt", FiveGenes);
  writeFile(run.driveC() / "My  Data" / "set one.txt", "not\tthis\tmatrix\r\n");
  run.writePathsRunFile(crlf("C:\\My  Data\\set one.txt\nC:\\data\\result.txt\n"));
  const Outcome outcome = runToEnd(run, "100\n");
  EXPECT_EQ(outcome.result, FiveGenesMerged);
  EXPECT_EQ(outcome.listing, FiveGenesMergedListing);
}

TEST(VarnekRunPaths, ADottedFolderEndsTheMatrixPathAndTheRestBecomesTheResultPath) {
  EngineRun run;
  run.prepare("", 5, 1);
  writeFile(run.driveC() / "data.old" / "my set.txt", FiveGenes);
  run.writePathsRunFile(crlf("C:\\data.old\\my set.txt\nC:\\out.txt\n"));
  // Usually no file is named like the cut path: refused, and the matrix is kept.
  expectRefusal(run, "100\n",
                "cannot open the matrix file " + quotedHost(run.driveC() / "data.old" / "my") +
                    ": No such file or directory",
                run.driveC() / "data.old" / "my set.txt");
  EXPECT_FALSE(fs::exists(run.driveC() / "out.txt"));

  // When one is, it is clustered and the result lands in the working folder as set.txt.
  writeFile(run.driveC() / "data.old" / "my", FiveGenes);
  const Outcome outcome = runToEnd(run, "100\n");
  EXPECT_EQ(readFile(run.work() / "set.txt"), FiveGenesMerged);
  EXPECT_EQ(outcome.listing, FiveGenesMergedListing);
  EXPECT_FALSE(fs::exists(run.driveC() / "out.txt"));
  EXPECT_EQ(readFile(run.driveC() / "data.old" / "my set.txt"), FiveGenes);
}

TEST(VarnekRefusal, RunFilesAndMatrixThatCannotBeOpened) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  fs::remove(run.driveC() / "outinfo.txt");
  const ProgramResult noPaths = expectRefusal(
      run, "100\n",
      "cannot open " + run.pathsRunFileLabel() +
          ": No such file or directory; choose the input and result files in the front end, or write the file by "
          "hand");
  EXPECT_EQ(noPaths.out, Prompt);
  EXPECT_FALSE(fs::exists(run.resultFile()));

  run.prepare(FiveGenes, 5, 1);
  fs::remove(run.driveC() / "doutinfo.txt");
  expectRefusal(run, "100\n",
                "cannot open " + run.dimensionsRunFileLabel() +
                    ": No such file or directory; enter the number of genes and samples in the front end, or "
                    "write the file by hand");

  run.prepare(FiveGenes, 5, 1);
  fs::remove(run.resultFile());
  run.writePathsRunFile(crlf("C:\\data\\absent.txt\nC:\\data\\result.txt\n"));
  expectRefusal(run, "100\n",
                "cannot open the matrix file " + quotedHost(run.driveC() / "data" / "absent.txt") +
                    ": No such file or directory");
  EXPECT_FALSE(fs::exists(run.resultFile()));
}

TEST(VarnekRefusal, AFolderWhereAFileIsReadIsRefusedByName) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  fs::create_directories(run.driveC() / "set.d");
  run.writePathsRunFile(crlf("C:\\set.d\nC:\\data\\result.txt\n"));
  expectRefusal(run, "100\n", "cannot open the matrix file " + quotedHost(run.driveC() / "set.d") + ": Is a directory");

  run.prepare(FiveGenes, 5, 1);
  fs::remove(run.driveC() / "doutinfo.txt");
  fs::create_directories(run.driveC() / "doutinfo.txt");
  expectRefusal(run, "100\n",
                "cannot open " + run.dimensionsRunFileLabel() +
                    ": Is a directory; enter the number of genes and samples in the front end, or write the file "
                    "by hand");
}

TEST(VarnekRefusal, AResultFileOrListingThatCannotBeCreated) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  run.writePathsRunFile(crlf("C:\\data\\matrix.txt\nC:\\no such folder\\result.txt\n"));
  expectRefusal(run, "100\n",
                "cannot create the result file " + quotedHost(run.driveC() / "no such folder" / "result.txt") +
                    ": No such file or directory");

  run.prepare(FiveGenes, 5, 1);
  fs::create_directories(run.work() / "outputcluster.txt");
  expectRefusal(run, "100\n", "cannot create the cluster listing \"outputcluster.txt\": Is a directory");
}

TEST(VarnekRefusal, AResultPathNamingTheMatrixHoweverSpelled) {
  EngineRun run;
  const std::string matrixTwice = "the matrix file itself; choose another result file so that the matrix is not emptied";
  for (const std::string& spelling :
       {std::string("C:\\data\\matrix.txt"), std::string("c:\\data\\..\\data\\matrix.txt"),
        std::string("C:/data//matrix.txt"), (run.driveC() / "data" / "matrix.txt").string()}) {
    SCOPED_TRACE(spelling);
    run.prepare(FiveGenes, 5, 1);
    run.writePathsRunFile(crlf("C:\\data\\matrix.txt\n" + spelling + "\n"));
    const ProgramResult refused = run.run(Varnek, "100\n");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.err.find(matrixTwice), std::string::npos) << refused.err;
    EXPECT_EQ(readFile(run.matrixFile()), FiveGenes);
  }
  // Exact message for the plain spelling and for "..".
  run.prepare(FiveGenes, 5, 1);
  run.writePathsRunFile(crlf("C:\\data\\matrix.txt\nC:\\data\\..\\data\\matrix.txt\n"));
  expectRefusal(run, "100\n",
                "the result file " + quotedHost(run.driveC() / "data" / ".." / "data" / "matrix.txt") + " is " + matrixTwice);

  // A symbolic link and a hard link to the matrix are the matrix too.
  fs::create_symlink(run.matrixFile(), run.driveC() / "data" / "link.txt");
  run.writePathsRunFile(crlf("C:\\data\\matrix.txt\nC:\\data\\link.txt\n"));
  expectRefusal(run, "100\n", "the result file " + quotedHost(run.driveC() / "data" / "link.txt") + " is " + matrixTwice);
  fs::create_hard_link(run.matrixFile(), run.driveC() / "data" / "same.txt");
  run.writePathsRunFile(crlf("C:\\data\\matrix.txt\nC:\\data\\same.txt\n"));
  expectRefusal(run, "100\n", "the result file " + quotedHost(run.driveC() / "data" / "same.txt") + " is " + matrixTwice);
  EXPECT_FALSE(fs::exists(run.listingFile()));
}

TEST(VarnekRefusal, AResultPathNamingARunFileKeepsTheRunFiles) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  const std::string dimensions = readFile(run.driveC() / "doutinfo.txt");
  run.writePathsRunFile(crlf("C:\\data\\matrix.txt\nc:\\doutinfo.txt\n"));
  expectRefusal(run, "100\n", "the result file " + quotedHost(run.driveC() / "doutinfo.txt") +
                                  " is the run file c:\\doutinfo.txt; choose another result file");
  EXPECT_EQ(readFile(run.driveC() / "doutinfo.txt"), dimensions);
  const std::string paths = crlf("C:\\data\\matrix.txt\nC:\\outinfo.txt\n");
  run.writePathsRunFile(paths);
  expectRefusal(run, "100\n", "the result file " + quotedHost(run.driveC() / "outinfo.txt") +
                                  " is the run file c:\\outinfo.txt; choose another result file");
  EXPECT_EQ(readFile(run.driveC() / "outinfo.txt"), paths);
}

TEST(VarnekRefusal, AMatrixNamedLikeTheListingInTheWorkingFolderIsKept) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  writeFile(run.work() / "outputcluster.txt", FiveGenes);
  run.writePathsRunFile(crlf("outputcluster.txt\nC:\\data\\result.txt\n"));
  expectRefusal(run, "100\n",
                "the matrix file \"outputcluster.txt\" is the cluster listing outputcluster.txt of the working "
                "folder, which would be emptied; rename the matrix or start the engine in another folder",
                run.work() / "outputcluster.txt");
}

TEST(VarnekRefusal, APathsRunFileWithoutAResultPath) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  const std::string noResult = run.pathsRunFileLabel() + " holds no result path; line 2 must name the result file";
  run.writePathsRunFile(crlf("C:\\data\\matrix.txt\n"));
  expectRefusal(run, "100\n", noResult);
  run.writePathsRunFile("C:\\data\\matrix.txt \r\n \t\r\n");
  expectRefusal(run, "100\n", noResult);
  run.writePathsRunFile("");
  expectRefusal(run, "100\n", run.pathsRunFileLabel() + " holds no matrix path; line 1 must name the matrix file");
  EXPECT_FALSE(fs::exists(run.resultFile()));
}

TEST(VarnekRefusal, CountsThatCannotBeUsed) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  const std::string dims = run.dimensionsRunFileLabel();
  const std::string shortDims = "the dimensions run file c:\\doutinfo.txt";
  const std::string twoNumbers =
      "; it must hold the number of genes and the number of samples, one whole number per line";
  struct Case {
    std::string file;
    std::string message;
  };
  const Case cases[] = {
      {"", dims + " holds no gene count (line 1)" + twoNumbers},
      {"\r\n12\r\n", dims + " holds no sample count (line 2)" + twoNumbers},
      {"120abc\r\n1\r\n", dims + ": the gene count (line 1) \"120abc\" is not a whole number"},
      {"5\r\none\r\n", dims + ": the sample count (line 2) \"one\" is not a whole number"},
      {"5\r\n1.0\r\n", dims + ": the sample count (line 2) \"1.0\" is not a whole number"},
      {"3000000000\r\n1\r\n", dims + ": the gene count (line 1) \"3000000000\" is too large"},
      {"-5\r\n1\r\n", shortDims + " gives a negative gene count (-5)"},
      {"5\r\n-1\r\n", shortDims + " gives a negative sample count (-1)"},
      {"5\r\n101\r\n", shortDims + " gives 101 samples; at most 100 samples per gene are supported"},
      {"0\r\n1\r\n", shortDims + " gives 0 genes; there is nothing to cluster"},
  };
  for (const Case& bad : cases) {
    SCOPED_TRACE(bad.file);
    run.writeDimensionsRunFile(bad.file);
    expectRefusal(run, "100\n", bad.message);
    EXPECT_FALSE(fs::exists(run.listingFile()));
  }
}

TEST(VarnekRefusal, MatrixValuesThatAreNotNumbers) {
  EngineRun run;
  const std::string matrix = quotedHost(run.matrixFile());
  struct Case {
    std::string matrix;
    std::string message;
  };
  const Case cases[] = {
      {"g1 1 2\r\ng2 3 4\r\ng3 5 NA\r\ng4 7 8\r\n",
       "row 3 (gene \"g3\"), sample 2: \"NA\" is not a number" + RowHint},
      {"g1 1 2\r\ng2 nan 4\r\ng3 5 6\r\ng4 7 8\r\n",
       "row 2 (gene \"g2\"), sample 1: \"nan\" is not a number" + RowHint},
      {"g1 1 2\r\ng2 3 4\r\ng3 5 6\r\ng4 1.5x 8\r\n",
       "row 4 (gene \"g4\"), sample 1: \"1.5x\" is not a number" + RowHint},
      {"g1\t1\t\r\ng2\t3\t4\r\ng3\t5\t6\r\ng4\t7\t8\r\n",
       "row 1 (gene \"g1\"), sample 2: \"g2\" is not a number" + RowHint},
      {"g1 1 2\r\ng2 1e999 4\r\ng3 5 6\r\ng4 7 8\r\n",
       "row 2 (gene \"g2\"), sample 1: \"1e999\" does not fit a double" + RowHint},
      {"g1 1 2\r\ng2 3 inf\r\ng3 5 6\r\ng4 7 8\r\n",
       "row 2 (gene \"g2\"), sample 2: \"inf\" is not a number" + RowHint},
      {"g1 1 2\r\ng2 3 4\r\ng3 5\r\n",
       "ends after 2 complete rows, but the dimensions run file gives 4 genes; correct the gene count or the matrix"},
      {"", "ends after 0 complete rows, but the dimensions run file gives 4 genes; correct the gene count or the "
           "matrix"},
  };
  for (const Case& bad : cases) {
    SCOPED_TRACE(bad.matrix);
    run.prepare(bad.matrix, 4, 2);
    const std::string separator = bad.message.rfind("row", 0) == 0 ? ": " : " ";
    const ProgramResult refused = expectRefusal(run, "100\n", "matrix file " + matrix + separator + bad.message);
    EXPECT_EQ(refused.out, Prompt);
    EXPECT_EQ(run.result(), "");  // created empty before the rows were read, as always
  }
}

TEST(VarnekRefusal, TheEndOfTheConsoleInputBeforeAnAnswer) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  writeFile(run.resultFile(), "earlier result\r\n");
  const std::string ended = "the console input ended before \"Enter distance threshold\" was answered";
  EXPECT_EQ(expectRefusal(run, "", ended).out, Prompt);
  EXPECT_EQ(expectRefusal(run, "many\n", ended).out,
            Prompt + "\"many\" is not a number; please answer again.\n" + Prompt);
  // Nothing was touched before the answer: the earlier result and no listing.
  EXPECT_EQ(run.result(), "earlier result\r\n");
  EXPECT_FALSE(fs::exists(run.listingFile()));
}

TEST(VarnekRefusal, AGeneCountFarBeyondTheMatrixIsRefusedAsAShortMatrix) {
  EngineRun run;
  run.prepare(FiveGenes, 5, 1);
  run.writeDimensionsRunFile(crlf("2000000000\n1\n"));
  expectRefusal(run, "100\n",
                "matrix file " + quotedHost(run.matrixFile()) +
                    " ends after 5 complete rows, but the dimensions run file gives 2000000000 genes; correct the "
                    "gene count or the matrix");
}
