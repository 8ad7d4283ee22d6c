// End-to-end runs of the built birch program in a sandboxed drive C: the console dialogue in
// its run order, and the result file and the listing byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/engine_run.h"

using testsupport::crlf;
using testsupport::EngineRun;
using testsupport::ProgramResult;

namespace {

const std::string Program = BIRCH_PATH;
const std::string Dialogue = "Enter threshold distance \nEnter minimum number of cluster\nClustering started\n";

// Runs birch on `matrix` with the two answers and expects a clean end with the plain dialogue.
void expectClusters(EngineRun& run, const std::string& matrix, int geneCount, int sampleCount,
                    const std::string& answers, const std::string& result, const std::string& listing) {
  run.prepare(matrix, geneCount, sampleCount);
  const ProgramResult ended = run.run(Program, answers);
  ASSERT_EQ(ended.exitCode, 0) << ended.err;
  EXPECT_EQ(ended.out, Dialogue);
  EXPECT_EQ(ended.err, "");
  EXPECT_EQ(run.result(), crlf(result));
  EXPECT_EQ(run.listing(), crlf(listing));
}

}  // namespace

TEST(BirchRun, ANegativeThresholdClustersByMergingAloneClosestCentroidsFirst) {
  EngineRun run;
  expectClusters(run, "g1 0 0\ng2 10 0\ng3 1 0\ng4 10 2\n", 4, 2, "-1\n2\n",
                 "g1\tg1\t0\ng3\tg3\t0\ng2\tg2\t1\ng4\tg4\t1\n",
                 "Cluster1\n"
                 "g1\t0.000000\t0.000000\t\n"
                 "g3\t1.000000\t0.000000\t\n"
                 "Cluster2\n"
                 "g2\t10.000000\t0.000000\t\n"
                 "g4\t10.000000\t2.000000\t\n");
}

TEST(BirchRun, ThresholdZeroJoinsEqualRowsOnlyAndSurplusHeadingsStayBare) {
  // Two features from three rows; five headings asked for, so nothing merges.
  EngineRun run;
  expectClusters(run, "g1 1 2\ng2 1 2\ng3 4 6\n", 3, 2, "0\n5\n", "g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t1\n",
                 "Cluster1\n"
                 "g1\t1.000000\t2.000000\t\n"
                 "g2\t1.000000\t2.000000\t\n"
                 "Cluster2\n"
                 "g3\t4.000000\t6.000000\t\n"
                 "Cluster3\nCluster4\nCluster5\n");
}

TEST(BirchRun, ARowExactlyTheThresholdAwayJoins) {
  // g3 lies exactly 5 from the centroid (1, 2); nothing else would keep it with g1 and g2, as
  // three clusters are allowed.
  EngineRun run;
  expectClusters(run, "g1 1 2\ng2 1 2\ng3 4 6\n", 3, 2, "5\n3\n", "g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\n",
                 "Cluster1\n"
                 "g1\t1.000000\t2.000000\t\n"
                 "g2\t1.000000\t2.000000\t\n"
                 "g3\t4.000000\t6.000000\t\n"
                 "Cluster2\nCluster3\n");
}

TEST(BirchRun, AThresholdOfSevenNinesOrMorePutsEveryGeneUnderTheFirstHeading) {
  for (const char* threshold : {"9999999.0", "1e12"}) {
    EngineRun run;
    expectClusters(run, "g1 0\ng2 2e7\ng3 -3e7\n", 3, 1, std::string(threshold) + "\n2\n",
                   "g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\n",
                   "Cluster1\n"
                   "g1\t0.000000\t\n"
                   "g2\t20000000.000000\t\n"
                   "g3\t-30000000.000000\t\n"
                   "Cluster2\n");
  }
}

TEST(BirchRun, ARowEquallyNearTwoFeaturesJoinsTheEarlierOne) {
  EngineRun run;
  expectClusters(run, "g1 0\ng2 10\ng3 5\n", 3, 1, "6\n3\n", "g1\tg1\t0\ng3\tg3\t0\ng2\tg2\t1\n",
                 "Cluster1\n"
                 "g1\t0.000000\t\n"
                 "g3\t5.000000\t\n"
                 "Cluster2\n"
                 "g2\t10.000000\t\n"
                 "Cluster3\n");
}

TEST(BirchRun, AmongEquallyClosePairsTheEarliestMerges) {
  // g1-g3, g1-g5 and g2-g4 all lie 1 apart: g1-g3 has the lowest first, then second index.
  EngineRun run;
  expectClusters(run, "g1 2\ng2 12\ng3 3\ng4 13\ng5 1\n", 5, 1, "-1\n4\n",
                 "g1\tg1\t0\ng3\tg3\t0\ng2\tg2\t1\ng4\tg4\t2\ng5\tg5\t3\n",
                 "Cluster1\n"
                 "g1\t2.000000\t\n"
                 "g3\t3.000000\t\n"
                 "Cluster2\n"
                 "g2\t12.000000\t\n"
                 "Cluster3\n"
                 "g4\t13.000000\t\n"
                 "Cluster4\n"
                 "g5\t1.000000\t\n");
}

TEST(BirchRun, MergedFeaturesBeyondTheThresholdShareOneHeadingInRowOrder) {
  // Absorption with threshold 1 gives {g1, g3}, {g2, g4} and {g5}; the first two lie 2.5
  // apart and still merge, and their rows come out interleaved in row order.
  EngineRun run;
  expectClusters(run, "g1 0\ng2 3\ng3 0.5\ng4 2.5\ng5 10\n", 5, 1, "1\n2\n",
                 "g1\tg1\t0\ng2\tg2\t0\ng3\tg3\t0\ng4\tg4\t0\ng5\tg5\t1\n",
                 "Cluster1\n"
                 "g1\t0.000000\t\n"
                 "g2\t3.000000\t\n"
                 "g3\t0.500000\t\n"
                 "g4\t2.500000\t\n"
                 "Cluster2\n"
                 "g5\t10.000000\t\n");
}

TEST(BirchRun, ClustersWholeLateInTheMatrixAreWrittenInFull) {
  EngineRun run;
  expectClusters(run, "a1 0\na2 0.1\nb1 50\nb2 50.2\nc1 -70\nc2 -70.3\n", 6, 1, "-1\n3\n",
                 "a1\ta1\t0\na2\ta2\t0\nb1\tb1\t1\nb2\tb2\t1\nc1\tc1\t2\nc2\tc2\t2\n",
                 "Cluster1\n"
                 "a1\t0.000000\t\n"
                 "a2\t0.100000\t\n"
                 "Cluster2\n"
                 "b1\t50.000000\t\n"
                 "b2\t50.200000\t\n"
                 "Cluster3\n"
                 "c1\t-70.000000\t\n"
                 "c2\t-70.300000\t\n");
}

TEST(BirchRun, OneGeneWithThreeClustersAskedForGivesTwoBareHeadings) {
  EngineRun run;
  expectClusters(run, "g1 1.5 -2\n", 1, 2, "0.5\n3\n", "g1\tg1\t0\n",
                 "Cluster1\n"
                 "g1\t1.500000\t-2.000000\t\n"
                 "Cluster2\nCluster3\n");
}

TEST(BirchRun, FeaturesTooFarApartToMergeAreEachWrittenSoNoGeneIsLeftOut) {
  // g1 and g3 merge; g2 lies 1999999.5 from them and g4 exactly 999999 from g2: no pair is
  // left to merge, and all three features are written though one cluster was asked for.
  EngineRun run;
  expectClusters(run, "g1 0\ng2 2000000\ng3 1\ng4 2999999\n", 4, 1, "-1\n1\n",
                 "g1\tg1\t0\ng3\tg3\t0\ng2\tg2\t1\ng4\tg4\t2\n",
                 "Cluster1\n"
                 "g1\t0.000000\t\n"
                 "g3\t1.000000\t\n"
                 "Cluster2\n"
                 "g2\t2000000.000000\t\n"
                 "Cluster3\n"
                 "g4\t2999999.000000\t\n");
}

TEST(BirchRun, TooFewClustersAndNonNumbersAreAskedAgain) {
  EngineRun run;
  run.prepare("g1 0\ng2 1\n", 2, 1);
  const ProgramResult ended = run.run(Program, "abc\n0.5\n0\n-2\nmany\n1\n");
  ASSERT_EQ(ended.exitCode, 0) << ended.err;
  EXPECT_EQ(ended.out,
            "Enter threshold distance \n"
            "\"abc\" is not a number; please answer again.\n"
            "Enter threshold distance \n"
            "Enter minimum number of cluster\n"
            "\"0\" is too few; the minimum number of clusters is 1 or more; please answer again.\n"
            "Enter minimum number of cluster\n"
            "\"-2\" is too few; the minimum number of clusters is 1 or more; please answer again.\n"
            "Enter minimum number of cluster\n"
            "\"many\" is not a whole number; please answer again.\n"
            "Enter minimum number of cluster\n"
            "Clustering started\n");
  EXPECT_EQ(run.result(), crlf("g1\tg1\t0\ng2\tg2\t0\n"));
}

TEST(BirchRun, NoGenesAreRefusedBeforeAnyPrompt) {
  EngineRun run;
  run.prepare("", 0, 3);
  const ProgramResult ended = run.run(Program, "1\n1\n");
  EXPECT_EQ(ended.exitCode, 1);
  EXPECT_EQ(ended.out, "");
  EXPECT_EQ(ended.err.rfind("birch: ", 0), 0u) << ended.err;
  EXPECT_NE(ended.err.find("0 genes"), std::string::npos) << ended.err;
  EXPECT_FALSE(std::filesystem::exists(run.listingFile()));
}

TEST(BirchRun, RunFilesAndListingComeBeforeThePromptsAndTheMatrixAfterThem) {
  {
    // The listing already exists, empty, when the prompts go unanswered.
    EngineRun run;
    run.prepare("g1 0\n", 1, 1);
    const ProgramResult ended = run.run(Program, "");
    EXPECT_EQ(ended.exitCode, 1);
    EXPECT_EQ(ended.out, "Enter threshold distance \n");
    EXPECT_NE(ended.err.find("Enter threshold distance"), std::string::npos) << ended.err;
    EXPECT_EQ(run.listing(), "");
    EXPECT_EQ(run.result(), "");
  }
  {
    // No paths run file: refused before a prompt is shown.
    EngineRun run;
    run.writeDimensionsRunFile(crlf("1\n1\n"));
    const ProgramResult ended = run.run(Program, "1\n1\n");
    EXPECT_EQ(ended.exitCode, 1);
    EXPECT_EQ(ended.out, "");
    EXPECT_FALSE(std::filesystem::exists(run.listingFile()));
  }
  {
    // A bad matrix value is met only after both answers, and nothing is clustered.
    EngineRun run;
    run.prepare("g1 0\ng2 NA\n", 2, 1);
    const ProgramResult ended = run.run(Program, "1\n1\n");
    EXPECT_EQ(ended.exitCode, 1);
    EXPECT_EQ(ended.out, "Enter threshold distance \nEnter minimum number of cluster\n");
    EXPECT_NE(ended.err.find("NA"), std::string::npos) << ended.err;
  }
}
