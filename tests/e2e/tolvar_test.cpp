// tolvar run end to end: run files and matrix on a temporary drive C, the cluster count typed
// on standard input, the result file and the listing compared byte for byte.
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

const char* const NineGenes =
    "g1 1.0 2.0\n"
    "g2 1.5 1.8\n"
    "g3 5.0 8.0\n"
    "g4 8.0 8.0\n"
    "g5 1.0 0.6\n"
    "g6 9.0 11.0\n"
    "g7 8.0 2.0\n"
    "g8 10.0 2.0\n"
    "g9 9.0 3.0\n";

// Three restarts over the nine genes: sizes 8, 8 and 8 after redraws; the first and last are
// kept, the last with medoids g9 and g2.
const char* const NineGenesResult =
    "g8\tg8\t0\ng6\tg6\t0\ng9\tg9\t0\ng4\tg4\t0\ng7\tg7\t0\ng3\tg3\t0\ng5\tg5\t1\ng1\tg1\t1\ng2\tg2\t1\n";
const char* const NineGenesListing =
    "Cluster1\n"
    "g8\t10.000000\t2.000000\t\n"
    "g6\t9.000000\t11.000000\t\n"
    "g9\t9.000000\t3.000000\t\n"
    "g4\t8.000000\t8.000000\t\n"
    "g7\t8.000000\t2.000000\t\n"
    "g3\t5.000000\t8.000000\t\n"
    "Cluster2\n"
    "g5\t1.000000\t0.600000\t\n"
    "g1\t1.000000\t2.000000\t\n"
    "g2\t1.500000\t1.800000\t\n";

std::string generatedMatrix(int geneCount, int sampleCount) {
  std::string text;
  unsigned value = 12345;
  for (int i = 0; i < geneCount; ++i) {
    text += "gene" + std::to_string(i + 1);
    for (int s = 0; s < sampleCount; ++s) {
      value = value * 1103515245u + 12345u;
      text += " " + std::to_string(static_cast<int>((value >> 16) % 2000) - 1000) + "e-2";
    }
    text += "\n";
  }
  return text;
}

}  // namespace

TEST(TolvarRun, NineGenesTwoClustersGiveTheWorkedExample) {
  EngineRun run;
  run.prepare(NineGenes, 9, 2);
  const auto outcome = run.run(TOLVAR_PATH, "2\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, Prompt) << "nothing but the prompt";
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(run.result(), crlf(NineGenesResult));
  EXPECT_EQ(run.listing(), crlf(NineGenesListing));
}

TEST(TolvarRun, AnAnswerThatIsNoNumberIsAskedAgain) {
  EngineRun run;
  run.prepare(NineGenes, 9, 2);
  const auto outcome = run.run(TOLVAR_PATH, "two\n2\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, std::string(Prompt) + "\"two\" is not a whole number; please answer again.\n" + Prompt);
  EXPECT_EQ(run.result(), crlf(NineGenesResult));
}

TEST(TolvarRun, RepeatedRunsWriteIdenticalFiles) {
  const std::string matrix = generatedMatrix(150, 6);
  EngineRun first;
  first.prepare(matrix, 150, 6);
  EngineRun second;
  second.prepare(matrix, 150, 6);
  ASSERT_EQ(first.run(TOLVAR_PATH, "4\n").exitCode, 0);
  ASSERT_EQ(second.run(TOLVAR_PATH, "4\n").exitCode, 0);
  EXPECT_EQ(first.result(), second.result());
  EXPECT_EQ(first.listing(), second.listing());
  EXPECT_NE(first.listing().find("Cluster4\r\n"), std::string::npos);
}

TEST(TolvarRun, NoRestartKeptPutsEveryGeneUnderTheFirstHeadingAndLeavesTheOthersEmpty) {
  // Genes 100000 apart: no restart ends below 9999, so all three slots designate one gene.
  std::string matrix;
  for (int i = 0; i < 13; ++i) matrix += "g" + std::to_string(i + 1) + " " + std::to_string(i * 100000) + "\n";
  EngineRun run;
  run.prepare(matrix, 13, 1);
  ASSERT_EQ(run.run(TOLVAR_PATH, "3\n").exitCode, 0);
  EXPECT_EQ(run.result(), crlf("g10\tg10\t0\ng11\tg11\t0\ng2\tg2\t0\ng6\tg6\t0\ng4\tg4\t0\ng9\tg9\t0\ng7\tg7\t0\n"
                               "g13\tg13\t0\ng12\tg12\t0\ng8\tg8\t0\ng5\tg5\t0\ng3\tg3\t0\ng1\tg1\t0\n"));
  EXPECT_EQ(run.listing(), crlf("Cluster1\n"
                                "g10\t900000.000000\t\ng11\t1000000.000000\t\ng2\t100000.000000\t\n"
                                "g6\t500000.000000\t\ng4\t300000.000000\t\ng9\t800000.000000\t\n"
                                "g7\t600000.000000\t\ng13\t1200000.000000\t\ng12\t1100000.000000\t\n"
                                "g8\t700000.000000\t\ng5\t400000.000000\t\ng3\t200000.000000\t\ng1\t0.000000\t\n"
                                "Cluster2\nCluster3\n"));
}

TEST(TolvarRun, NoClustersLeaveBothFilesEmpty) {
  EngineRun run;
  run.prepare(NineGenes, 9, 2);
  writeFile(run.resultFile(), "old result\r\n");
  const auto outcome = run.run(TOLVAR_PATH, "0\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(run.result(), "");
  EXPECT_EQ(run.listing(), "");
}

TEST(TolvarRun, TheResultFileIsEmptiedBeforeThePromptAndTheListingCreatedAfterIt) {
  EngineRun run;
  run.prepare(NineGenes, 9, 2);
  writeFile(run.resultFile(), "old result\r\n");
  writeFile(run.listingFile(), "old listing\r\n");
  const auto outcome = run.run(TOLVAR_PATH, "");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.out, Prompt);
  EXPECT_EQ(outcome.err, "tolvar: the console input ended before \"Enter number of cluster\" was answered\n");
  EXPECT_EQ(run.result(), "");
  EXPECT_EQ(run.listing(), "old listing\r\n");
}

TEST(TolvarRun, CountsNoDrawCouldMeetAreRefusedRightAfterThePrompt) {
  struct Case {
    int geneCount;
    const char* answer;
    const char* message;
  };
  const Case cases[] = {
      {9, "-1\n", "the number of clusters must be 0 or more, not -1"},
      {9, "3\n",
       "cannot form 3 clusters from 9 genes: the number of clusters must be from 0 to 2 (the genes must number more "
       "than four times the clusters, and at most 8191 clusters can be drawn)"},
      {40000, "8192\n",
       "cannot form 8192 clusters from 40000 genes: the number of clusters must be from 0 to 8191 (the genes must "
       "number more than four times the clusters, and at most 8191 clusters can be drawn)"},
      {0, "0\n", "the dimensions run file gives 0 genes; there is nothing to cluster"},
  };
  for (const Case& c : cases) {
    EngineRun run;
    run.prepare(NineGenes, c.geneCount, 2);
    const auto outcome = run.run(TOLVAR_PATH, c.answer);
    EXPECT_EQ(outcome.exitCode, 1) << c.answer;
    EXPECT_EQ(outcome.out, Prompt) << c.answer;
    EXPECT_EQ(outcome.err, std::string("tolvar: ") + c.message + "\n");
    EXPECT_EQ(readFile(run.matrixFile()), NineGenes) << "the matrix is untouched";
    EXPECT_FALSE(std::filesystem::exists(run.listingFile())) << c.answer;
  }
}

TEST(TolvarRun, RowsFromPosition32768OnNeverMoveAndAreStillWritten) {
  // Equal values keep the searches short; only the exchanges matter here. With one cluster the
  // result file lists the final table in order.
  const int geneCount = 32800;
  std::string matrix;
  for (int i = 1; i <= geneCount; ++i) matrix += "g" + std::to_string(i) + " 0.5\n";
  EngineRun run;
  run.prepare(matrix, geneCount, 1);
  const auto outcome = run.run(TOLVAR_PATH, "1\n");
  ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
  const std::string result = run.result();
  std::vector<std::string> order;
  for (std::size_t start = 0; start < result.size();) {
    const std::size_t tab = result.find('\t', start);
    order.push_back(result.substr(start, tab - start));
    start = result.find('\n', tab) + 1;
  }
  ASSERT_EQ(static_cast<int>(order.size()), geneCount);
  int moved = 0;
  for (int position = 0; position < geneCount; ++position) {
    const std::string original = "g" + std::to_string(position + 1);
    if (position >= 32768) {
      EXPECT_EQ(order[position], original) << "position " << position;
    } else if (order[position] != original) {
      ++moved;
    }
  }
  EXPECT_GT(moved, 1000);
  const std::string listing = run.listing();
  const std::string tail = "g32799\t0.500000\t\r\ng32800\t0.500000\t\r\n";
  ASSERT_GT(listing.size(), tail.size());
  EXPECT_EQ(listing.substr(listing.size() - tail.size()), tail);
}
