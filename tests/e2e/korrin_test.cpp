// korrin run end to end: run files and matrix on a temporary drive C, the cluster count typed
// on standard input, the result file compared byte for byte; no listing is ever written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/engine_run.h"

using testsupport::crlf;
using testsupport::EngineRun;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

const char* const Prompt = "Enter number of cluster\n";

// Three groups of four genes; from the random partition 2 2 1 1 2 1 0 0 1 2 2 2 the means
// settle after three reassignments.
const char* const TwelveGenes =
    "YAL001C 0.12 1.5 -0.3\n"
    "YAL002W 0.10 1.4 -0.2\n"
    "YAL003W 2.5 -1.0 0.8\n"
    "YAL004W 2.7 -0.9 0.7\n"
    "YAL005C 0.2 1.6 -0.25\n"
    "YAL007C -1.5 -1.5 2.0\n"
    "YAL008W -1.4 -1.6 2.2\n"
    "YAL009W 2.6 -1.1 0.9\n"
    "YAL010C -1.6 -1.4 1.9\n"
    "YAL011W 0.05 1.45 -0.35\n"
    "YAL012W 2.4 -0.95 0.75\n"
    "YAL013W -1.45 -1.55 2.1\n";

const char* const TwelveGenesResult =
    "YAL007C\tYAL007C\t0\nYAL008W\tYAL008W\t0\nYAL010C\tYAL010C\t0\nYAL013W\tYAL013W\t0\n"
    "YAL003W\tYAL003W\t1\nYAL004W\tYAL004W\t1\nYAL009W\tYAL009W\t1\nYAL012W\tYAL012W\t1\n"
    "YAL001C\tYAL001C\t2\nYAL002W\tYAL002W\t2\nYAL005C\tYAL005C\t2\nYAL011W\tYAL011W\t2\n";

}  // namespace

TEST(KorrinRun, TwelveGenesThreeClustersSettleIntoTheirGroups) {
  EngineRun run;
  run.prepare(TwelveGenes, 12, 3);
  const auto outcome = run.run(KORRIN_PATH, "3\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, Prompt) << "nothing but the prompt";
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(run.result(), crlf(TwelveGenesResult));
  EXPECT_FALSE(std::filesystem::exists(run.listingFile())) << "korrin writes no listing";
}

TEST(KorrinRun, AllZeroDataWritesTheRandomPartition22112AndLeavesAListingUntouched) {
  EngineRun run;
  run.prepare("z1 0 0\nz2 0 0\nz3 0 0\nz4 0 0\nz5 0 0\n", 5, 2);
  writeFile(run.listingFile(), "Cluster1\r\nfrom another engine\r\n");
  const auto outcome = run.run(KORRIN_PATH, "3\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(run.result(), crlf("z3\tz3\t1\nz4\tz4\t1\nz1\tz1\t2\nz2\tz2\t2\nz5\tz5\t2\n"));
  EXPECT_EQ(run.listing(), "Cluster1\r\nfrom another engine\r\n");
}

TEST(KorrinRun, WithMoreClustersThanGenesAGeneNearZeroMovesIntoTheLowestEmptyCluster) {
  // The draws put every gene in cluster 4 or 5; g1 is nearer the zero mean of the empty
  // clusters than to the mean of cluster 5, and clusters 1 to 3 end without lines.
  EngineRun run;
  run.prepare("g1 0.5\ng2 20\ng3 30\ng4 31\ng5 21\n", 5, 1);
  ASSERT_EQ(run.run(KORRIN_PATH, "6\n").exitCode, 0);
  EXPECT_EQ(run.result(), crlf("g1\tg1\t0\ng3\tg3\t4\ng4\tg4\t4\ng2\tg2\t5\ng5\tg5\t5\n"));
}

TEST(KorrinRun, RepeatedRunsWriteIdenticalResultFiles) {
  EngineRun first;
  first.prepare(TwelveGenes, 12, 3);
  EngineRun second;
  second.prepare(TwelveGenes, 12, 3);
  ASSERT_EQ(first.run(KORRIN_PATH, "4\n").exitCode, 0);
  ASSERT_EQ(second.run(KORRIN_PATH, "4\n").exitCode, 0);
  EXPECT_EQ(first.result(), second.result());
  EXPECT_FALSE(first.result().empty());
}

TEST(KorrinRun, NoGenesLeaveTheResultFileEmpty) {
  EngineRun run;
  run.prepare("", 0, 3);
  writeFile(run.resultFile(), "old result\r\n");
  const auto outcome = run.run(KORRIN_PATH, "2\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(run.result(), "");
}

TEST(KorrinRun, AnAnswerThatIsNoNumberIsAskedAgain) {
  EngineRun run;
  run.prepare(TwelveGenes, 12, 3);
  const auto outcome = run.run(KORRIN_PATH, "3.5\n3\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, std::string(Prompt) + "\"3.5\" is not a whole number; please answer again.\n" + Prompt);
  EXPECT_EQ(run.result(), crlf(TwelveGenesResult));
}

TEST(KorrinRun, ClusterCountsBelowOneAreRefusedRightAfterThePrompt) {
  for (const char* answer : {"0\n", "-3\n"}) {
    EngineRun run;
    run.prepare(TwelveGenes, 12, 3);
    const auto outcome = run.run(KORRIN_PATH, answer);
    EXPECT_EQ(outcome.exitCode, 1) << answer;
    EXPECT_EQ(outcome.out, Prompt);
    const std::string count(answer, std::string(answer).size() - 1);
    EXPECT_EQ(outcome.err, "korrin: the number of clusters must be 1 or more, not " + count + "\n");
    EXPECT_EQ(readFile(run.matrixFile()), TwelveGenes) << "the matrix is untouched";
    EXPECT_FALSE(std::filesystem::exists(run.listingFile()));
  }
}
