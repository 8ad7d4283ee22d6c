#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/failure.h"
#include "common/fixed_notation.h"
#include "common/gene_row.h"
#include "support/engine_run.h"

using namespace clustering;

TEST(FormatFixed, SixDecimalsAsPrintfPrintsThem) {
  EXPECT_EQ(formatFixed(0.5), "0.500000");
  EXPECT_EQ(formatFixed(-1234.5), "-1234.500000");
  EXPECT_EQ(formatFixed(1e-7), "0.000000");
  EXPECT_EQ(formatFixed(1251.2727272727), "1251.272727");
}

TEST(WriteClusters, WritesResultLinesAndListingWithCrLfEmptyClustersKeepingTheirHeadings) {
  char folder[] = "/tmp/writer_XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::filesystem::path root = folder;
  std::vector<GeneRow> rows(2);
  rows[0].name = "g1";
  rows[0].values[0] = 0.5;
  rows[0].values[1] = -1234.5;
  rows[1].name = "g2";
  {
    OutputFile result(root / "result.txt", "result file");
    ClusterListing listing{OutputFile(root / "listing.txt", "cluster listing"), HeadingStyle::WithBlank};
    writeClusters(result, &listing, rows, 2, std::vector<std::vector<int>>{{0, 1}, {}, {1}});
    OutputFile noListing(root / "alone.txt", "result file");
    writeClusters(noListing, nullptr, rows, 2, std::vector<std::vector<int>>{{1}, {0}});
    OutputFile noSamples(root / "result0.txt", "result file");
    ClusterListing noBlank{OutputFile(root / "listing0.txt", "cluster listing"), HeadingStyle::NoBlank};
    writeClusters(noSamples, &noBlank, rows, 0, std::vector<std::vector<int>>{{1}});
  }
  EXPECT_EQ(testsupport::readFile(root / "result.txt"), "g1\tg1\t0\r\ng2\tg2\t0\r\ng2\tg2\t2\r\n");
  EXPECT_EQ(testsupport::readFile(root / "listing.txt"),
            "Cluster 1\r\ng1\t0.500000\t-1234.500000\t\r\ng2\t0.000000\t0.000000\t\r\nCluster 2\r\n"
            "Cluster 3\r\ng2\t0.000000\t0.000000\t\r\n");
  EXPECT_EQ(testsupport::readFile(root / "alone.txt"), "g2\tg2\t0\r\ng1\tg1\t1\r\n");
  EXPECT_EQ(testsupport::readFile(root / "listing0.txt"), "Cluster1\r\ng2\t\r\n");
  std::filesystem::remove_all(root);
}

TEST(WriteClusters, AFullDiskIsRefusedNotReportedAsSuccess) {
  // A file size limit fails the writes as a full disk does.
  char folder[] = "/tmp/writer_XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::filesystem::path root = folder;
  rlimit before{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
  const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = before;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string refusal = "accepted";
  {
    OutputFile result(root / "result.txt", "result file");
    std::vector<GeneRow> rows(1);
    rows[0].name = "g";
    try {
      writeClusters(result, nullptr, rows, 1, std::vector<std::vector<int>>{std::vector<int>(100000, 0)});
    } catch (const EngineError& error) {
      refusal = error.what();
    }
  }
  ::setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previousHandler);
  EXPECT_EQ(refusal, "cannot write the result file " + testsupport::quotedHost(root / "result.txt") + ": File too large");
  std::filesystem::remove_all(root);
}

TEST(Console, ANonNumberGetsAHintAndThePromptAgain) {
  std::istringstream in("abc\n  2.5\n");
  std::ostringstream out;
  Console console(in, out);
  EXPECT_EQ(console.askNumber("Enter distance threshold\n"), 2.5);
  EXPECT_EQ(out.str(),
            "Enter distance threshold\n\"abc\" is not a number; please answer again.\nEnter distance threshold\n");
}

TEST(Console, SeveralValuesComeFromOneAnswerAndABadOneRestartsIt) {
  std::istringstream in("3 x 2\n3\n0.5\n2.0\n");
  std::ostringstream out;
  Console console(in, out);
  int count = 0;
  double alpha = 0.0;
  double threshold = 0.0;
  console.ask("Three values\n", {&count, &alpha, &threshold});
  EXPECT_EQ(count, 3);
  EXPECT_EQ(alpha, 0.5);
  EXPECT_EQ(threshold, 2.0);
  EXPECT_EQ(out.str(), "Three values\n\"x\" is not a number; please answer again.\nThree values\n");
}

TEST(Console, WholeNumberPromptsRefuseFractionsAndTheEndOfInputIsRefused) {
  std::istringstream in("2.5\n");
  std::ostringstream out;
  Console console(in, out);
  try {
    console.askWholeNumber("Enter number of cluster\n");
    FAIL() << "the end of input was accepted";
  } catch (const EngineError& error) {
    EXPECT_STREQ(error.what(), "the console input ended before \"Enter number of cluster\" was answered");
  }
  EXPECT_EQ(out.str(),
            "Enter number of cluster\n\"2.5\" is not a whole number; please answer again.\nEnter number of cluster\n");
}
