// The built cure program end to end: the prompt answered on standard input, the run files on a
// temporary drive C, and the result file, the listing and the console compared byte for byte.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/engine_run.h"

using testsupport::crlf;
using testsupport::EngineRun;
using Clusters = std::vector<std::vector<int>>;
using Table = std::vector<std::vector<double>>;

namespace {

const std::string Prompt = "Enter number of representative, alpha and distance threshold\n";

std::string printed(const char* format, double value) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, format, value);
  return std::string(buffer, static_cast<std::size_t>(length));
}

std::string geneName(std::size_t row) {
  char name[24];
  std::snprintf(name, sizeof name, "g%zu", row);
  return name;
}

Table oneSample(const std::vector<double>& values) {
  Table table;
  for (double v : values) table.push_back({v});
  return table;
}

// Genes g0, g1, ... with the given values; the run files as the front end writes them.
void prepare(EngineRun& run, const Table& table, int sampleCount) {
  std::string matrix;
  for (std::size_t i = 0; i < table.size(); ++i) {
    matrix += geneName(i);
    for (double v : table[i]) {
      matrix += '\t';
      matrix += printed("%.17g", v);
    }
    matrix += "\n";
  }
  run.prepare(matrix, static_cast<int>(table.size()), sampleCount);
}

struct Files {
  std::string result;
  std::string listing;
};

Files expectedFiles(const Table& table, const Clusters& clusters) {
  Files files;
  for (std::size_t k = 0; k < clusters.size(); ++k) {
    files.listing += "Cluster";
    files.listing += std::to_string(k + 1) + "\n";
    for (int row : clusters[k]) {
      const std::string name = geneName(static_cast<std::size_t>(row));
      files.result += name + "\t" + name + "\t" + std::to_string(k) + "\n";
      files.listing += name + "\t";
      for (double v : table[static_cast<std::size_t>(row)]) files.listing += printed("%f", v) + "\t";
      files.listing += "\n";
    }
  }
  return {crlf(files.result), crlf(files.listing)};
}

}  // namespace

TEST(CureEngine, AClosestDistanceEqualToTheThresholdMerges) {
  EngineRun run;
  prepare(run, oneSample({0, 3, 10, 20}), 1);
  const auto outcome = run.run(CURE_PATH, "3 0.5 3\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, Prompt);
  EXPECT_EQ(outcome.err, "");
  EXPECT_EQ(run.result(), "g0\tg0\t0\r\ng1\tg1\t0\r\ng2\tg2\t1\r\ng3\tg3\t2\r\n");
  EXPECT_EQ(run.listing(),
            "Cluster1\r\ng0\t0.000000\t\r\ng1\t3.000000\t\r\nCluster2\r\ng2\t10.000000\t\r\n"
            "Cluster3\r\ng3\t20.000000\t\r\n");
}

TEST(CureEngine, WorkedExamplesAndEdgeCases) {
  struct Case {
    const char* what;
    Table table;
    std::string answer;
    Clusters expected;
  };
  const std::vector<Case> cases = {
      {"ties go to the pair met first", oneSample({0, 1, 5, 6}), "3 0.5 1", {{0, 1}, {2, 3}}},
      {"the representative formula", oneSample({10, 11, 12, 100}), "3 0.5 5", {{0, 1}, {2}, {3}}},
      {"alpha 0", oneSample({10, 11, 0.2, 50}), "3 0 1", {{0, 1, 2}, {3}}},
      {"four identical rows", oneSample({7, 7, 7, 7}), "3 0.5 0", {{0, 1}, {2, 3}}},
      {"five identical rows", oneSample({7, 7, 7, 7, 7}), "3 0.5 0", {{0, 1, 2, 3}, {4}}},
      {"all rows zero", oneSample({0, 0, 0, 0, 0}), "3 0.5 0", {{0, 1, 2, 3}, {4}}},
      {"members exactly on their mean", {{5, 5}, {1, 1}, {1, 1}, {9, 9}, {9.5, 9.5}}, "3 1 2", {{0}, {1, 2, 3, 4}}},
      {"points InfiniteDistance or more apart", oneSample({0, 1999998, 3999996}), "3 0.5 1e300", {{0}, {1}, {2}}},
      {"threshold 0 with distinct rows", oneSample({1, 2, 3}), "3 0.5 0", {{0}, {1}, {2}}},
      {"a negative threshold", oneSample({4, 4, 4}), "3 0.5 -1", {{0}, {1}, {2}}},
      {"one gene", oneSample({4}), "3 0.5 100", {{0}}},
      {"two genes", oneSample({4, 4}), "3 0.5 100", {{0}, {1}}},
      {"an overflowing mean", oneSample({1e308, 1e308, 0, 5, 9}), "3 0 10", {{0, 1}, {2, 3, 4}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EngineRun run;
    prepare(run, c.table, static_cast<int>(c.table[0].size()));
    const auto outcome = run.run(CURE_PATH, c.answer + "\n");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, Prompt);
    const Files expected = expectedFiles(c.table, c.expected);
    EXPECT_EQ(run.result(), expected.result);
    EXPECT_EQ(run.listing(), expected.listing);
  }
}

TEST(CureEngine, TheNumberOfRepresentativesChangesNothing) {
  const Table table = oneSample({0, 3, 10, 20});
  const Files expected = expectedFiles(table, {{0, 1}, {2}, {3}});
  for (const char* count : {"0", "1", "20", "-4"}) {
    SCOPED_TRACE(count);
    EngineRun run;
    prepare(run, table, 1);
    EXPECT_EQ(run.run(CURE_PATH, std::string(count) + "\n0.5\n3\n").exitCode, 0);
    EXPECT_EQ(run.result(), expected.result);
    EXPECT_EQ(run.listing(), expected.listing);
  }
}

TEST(CureEngine, NoGenesLeaveBothFilesCreatedAndEmpty) {
  EngineRun run;
  run.prepare("", 0, 3);
  testsupport::writeFile(run.resultFile(), "old result\r\n");
  const auto outcome = run.run(CURE_PATH, "3 0.5 2\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, Prompt);
  EXPECT_EQ(run.result(), "");
  EXPECT_EQ(run.listing(), "");
}

TEST(CureEngine, AnAnswerThatIsNotANumberIsAskedAgain) {
  EngineRun run;
  prepare(run, oneSample({0, 3, 10, 20}), 1);
  const auto outcome = run.run(CURE_PATH, "three 0.5 3\n2.5 0.5 3\n3 half 3\n3 0.5 3\n");
  EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
  EXPECT_EQ(outcome.out, Prompt + "\"three\" is not a whole number; please answer again.\n" + Prompt +
                             "\"2.5\" is not a whole number; please answer again.\n" + Prompt +
                             "\"half\" is not a number; please answer again.\n" + Prompt);
  EXPECT_EQ(run.result(), expectedFiles(oneSample({0, 3, 10, 20}), {{0, 1}, {2}, {3}}).result);
}

TEST(CureEngine, AnAnswerCutShortIsRefusedBeforeAnyFileIsTouched) {
  EngineRun run;
  prepare(run, oneSample({0, 3, 10, 20}), 1);
  testsupport::writeFile(run.resultFile(), "earlier result\r\n");
  const auto outcome = run.run(CURE_PATH, "3 0.5\n");
  EXPECT_EQ(outcome.exitCode, 1);
  EXPECT_EQ(outcome.out, Prompt);
  EXPECT_EQ(outcome.err,
            "cure: the console input ended before \"Enter number of representative, alpha and distance threshold\" "
            "was answered\n");
  EXPECT_EQ(run.result(), "earlier result\r\n");
  EXPECT_FALSE(std::filesystem::exists(run.listingFile()));
}

TEST(CureEngine, AValueThatIsNotANumberIsRefusedWithItsRowAndGene) {
  EngineRun run;
  run.prepare("g0 1\ng1 NA\ng2 3\n", 3, 1);
  const auto outcome = run.run(CURE_PATH, "3 0.5 3\n");
  EXPECT_EQ(outcome.exitCode, 1);
  const std::string matrixPath = run.matrixFile().string();
  EXPECT_EQ(outcome.err, "cure: matrix file \"" + matrixPath +
                             "\": row 2 (gene \"g1\"), sample 1: \"NA\" is not a number; every row must be a gene "
                             "name followed by one number per sample\n");
}
