// End-to-end runs of the built sting program in a sandboxed drive C: the prompt, the result file
// and the cluster listing byte for byte, for the worked example and the edge cases of the grid.
#include <gtest/gtest.h>

#include <string>

#include "support/engine_run.h"

using testsupport::crlf;

namespace {

const char* const Prompt = "Enter distance threshold\n";

struct StingRun {
  testsupport::ProgramResult program;
  std::string result;
  std::string listing;
};

StingRun runSting(const std::string& matrix, int geneCount, int sampleCount, const std::string& answer) {
  testsupport::EngineRun sandbox;
  sandbox.prepare(matrix, geneCount, sampleCount);
  StingRun run;
  run.program = sandbox.run(STING_PATH, answer);
  if (run.program.exitCode == 0) {
    run.result = sandbox.result();
    run.listing = sandbox.listing();
  }
  return run;
}

// A one-sample matrix with a threshold below every distance, so that every grid cell is written
// as a cluster of its own and the listing shows which rows share a cell.
StingRun cellsOfColumn(const std::string& matrix, int geneCount) { return runSting(matrix, geneCount, 1, "-1\n"); }

const char* const WorkedExample =
    "g1\t0.0\t10.0\n"
    "g2\t4.0\t0.0\n"
    "g3\t0.5\t9.0\n"
    "g4\t1.2\t10.0\n"
    "g5\t0.4\t2.0\n";

}  // namespace

TEST(StingRun, WorkedExampleWithThreshold1Point2) {
  const StingRun run = runSting(WorkedExample, 5, 2, "1.2\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.program.out, Prompt);
  EXPECT_EQ(run.program.err, "");
  EXPECT_EQ(run.result, crlf("g1\tg1\t0\ng3\tg3\t0\ng4\tg4\t0\ng2\tg2\t1\ng5\tg5\t2\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\n"
                              "g1\t0.000000\t10.000000\t\n"
                              "g3\t0.500000\t9.000000\t\n"
                              "g4\t1.200000\t10.000000\t\n"
                              "Cluster2\n"
                              "g2\t4.000000\t0.000000\t\n"
                              "Cluster3\n"
                              "g5\t0.400000\t2.000000\t\n"));
}

TEST(StingRun, AnswerThatIsNoNumberIsAskedAgain) {
  const StingRun run = runSting(WorkedExample, 5, 2, "abc\n1.2\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.program.out,
            "Enter distance threshold\n\"abc\" is not a number; please answer again.\nEnter distance threshold\n");
  EXPECT_EQ(run.result, crlf("g1\tg1\t0\ng3\tg3\t0\ng4\tg4\t0\ng2\tg2\t1\ng5\tg5\t2\n"));
}

TEST(StingRun, NegativeThresholdMakesEveryCellAClusterOfItsOwn) {
  const StingRun run = runSting(WorkedExample, 5, 2, "-1\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("g1\tg1\t0\ng3\tg3\t0\ng2\tg2\t1\ng4\tg4\t2\ng5\tg5\t3\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\n"
                              "g1\t0.000000\t10.000000\t\n"
                              "g3\t0.500000\t9.000000\t\n"
                              "Cluster2\n"
                              "g2\t4.000000\t0.000000\t\n"
                              "Cluster3\n"
                              "g4\t1.200000\t10.000000\t\n"
                              "Cluster4\n"
                              "g5\t0.400000\t2.000000\t\n"));
}

TEST(StingRun, IntervalsOfAColumnFrom0Point1To0Point9) {
  // 0.3 lies below the stepped bound 0.30000000000000004 and joins 0.1; 0.9 lies only in a fifth
  // interval, apart from 0.7 and 0.8.
  const StingRun run = cellsOfColumn("a 0.1\nb 0.3\nc 0.5\nd 0.7\ne 0.8\nf 0.9\n", 6);
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t0\nc\tc\t1\nd\td\t2\ne\te\t2\nf\tf\t3\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\na\t0.100000\t\nb\t0.300000\t\nCluster2\nc\t0.500000\t\n"
                              "Cluster3\nd\t0.700000\t\ne\t0.800000\t\nCluster4\nf\t0.900000\t\n"));
}

TEST(StingRun, IntervalsOfAColumnFrom0To1) {
  // Inner boundaries take the upper interval; the maximum shares the last one.
  const StingRun run = cellsOfColumn("a 0.0\nb 0.2\nc 0.25\nd 0.3\ne 0.5\nf 0.75\ng 1.0\n", 7);
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t0\nc\tc\t1\nd\td\t1\ne\te\t2\nf\tf\t3\ng\tg\t3\n"));
}

TEST(StingRun, AConstantColumnSeparatesNoRows) {
  const StingRun run = runSting("x 0 7\ny 0.5 7\nz 4 7\n", 3, 2, "-1\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("x\tx\t0\ny\ty\t0\nz\tz\t1\n"));
  EXPECT_EQ(run.listing,
            crlf("Cluster1\nx\t0.000000\t7.000000\t\ny\t0.500000\t7.000000\t\nCluster2\nz\t4.000000\t7.000000\t\n"));
}

TEST(StingRun, ANegativeColumnRunsUpTo0) {
  // Range -4 to 0.0, width 1: -1 and -0.5 share the last interval.
  const StingRun run = cellsOfColumn("a -4\nb -3.5\nc -3\nd -2\ne -1\nf -0.5\n", 6);
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t0\nc\tc\t1\nd\td\t2\ne\te\t3\nf\tf\t3\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\na\t-4.000000\t\nb\t-3.500000\t\nCluster2\nc\t-3.000000\t\n"
                              "Cluster3\nd\t-2.000000\t\nCluster4\ne\t-1.000000\t\nf\t-0.500000\t\n"));
}

TEST(StingRun, AColumnAbove999999StartsItsFirstIntervalThere) {
  // Range 999999 to 1000004, width 1.25: 1000000.5 joins 1000001, not 1000000.
  const StingRun run = cellsOfColumn("a 1000000\nb 1000000.5\nc 1000001\nd 1000004\n", 4);
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t1\nc\tc\t1\nd\td\t2\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\na\t1000000.000000\t\nCluster2\nb\t1000000.500000\t\nc\t1000001.000000\t\n"
                              "Cluster3\nd\t1000004.000000\t\n"));
}

TEST(StingRun, ColumnsOfAdjacentDoublesEndWithEveryValuePlaced) {
  // 1.0000000000000002 is the double after 1.0: the width no longer moves the bound, the stepping
  // ends, and the maximum takes the next index.
  StingRun run = cellsOfColumn("a 1.0\nb 1.0000000000000002\nc 1.0\n", 3);
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("a\ta\t0\nc\tc\t0\nb\tb\t1\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\na\t1.000000\t\nc\t1.000000\t\nCluster2\nb\t1.000000\t\n"));

  // Across 2.0 the bound moves once and then sticks: three values, three cells.
  run = cellsOfColumn("a 1.9999999999999998\nb 2.0000000000000004\nc 2.0\n", 3);
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t1\nc\tc\t2\n"));

  // The smallest double above 0: a quarter of the range is 0.
  run = cellsOfColumn("a 0\nb 4.9406564584124654e-324\n", 2);
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("a\ta\t0\nb\tb\t1\n"));
}

TEST(StingRun, MeansAtExactlyTheThresholdJoin) {
  const std::string matrix = "p 0\nq 4\n";
  StingRun run = runSting(matrix, 2, 1, "4\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("p\tp\t0\nq\tq\t0\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\np\t0.000000\t\nq\t4.000000\t\n"));
  run = runSting(matrix, 2, 1, "3.9999999\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("p\tp\t0\nq\tq\t1\n"));
}

TEST(StingRun, AChainOfCloseCellsIsOneCluster) {
  // A-C and C-B lie 2 apart, A-B 4: with threshold 2 all three are one cluster, written in cell
  // order; just below 2 each is alone.
  const std::string matrix = "A 0\nB 4\nC 2\n";
  StingRun run = runSting(matrix, 3, 1, "2\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("A\tA\t0\nB\tB\t0\nC\tC\t0\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\nA\t0.000000\t\nB\t4.000000\t\nC\t2.000000\t\n"));
  run = runSting(matrix, 3, 1, "1.99\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("A\tA\t0\nB\tB\t1\nC\tC\t2\n"));
}

TEST(StingRun, NoGenesWritesBothFilesEmpty) {
  const StingRun run = runSting("", 0, 3, "1\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.program.out, Prompt);
  EXPECT_EQ(run.result, "");
  EXPECT_EQ(run.listing, "");
}

TEST(StingRun, NoSamplesPutsEveryGeneInOneCluster) {
  const StingRun run = runSting("g1\ng2\ng3\n", 3, 0, "-5\n");
  ASSERT_EQ(run.program.exitCode, 0) << run.program.err;
  EXPECT_EQ(run.result, crlf("g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\n"));
  EXPECT_EQ(run.listing, crlf("Cluster1\ng1\t\ng2\t\ng3\t\n"));
}

TEST(StingRun, AValueThatIsNoNumberIsRefusedNamingRowAndToken) {
  const StingRun run = runSting("g1 1 2\ng2 NA 4\n", 2, 2, "1\n");
  EXPECT_EQ(run.program.exitCode, 1);
  EXPECT_NE(run.program.err.find("sting: matrix file "), std::string::npos) << run.program.err;
  EXPECT_NE(run.program.err.find("row 2 (gene \"g2\"), sample 1: \"NA\" is not a number"), std::string::npos)
      << run.program.err;
}
