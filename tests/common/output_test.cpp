#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/failure.h"
#include "common/gene_row.h"
#include "support/program_run.h"

using namespace clustering;

TEST(FormatFixed, SixDecimalsAsPrintfPrintsThem) {
  EXPECT_EQ(formatFixed(0.5), "0.500000");
  EXPECT_EQ(formatFixed(-1234.5), "-1234.500000");
  EXPECT_EQ(formatFixed(1e-7), "0.000000");
  EXPECT_EQ(formatFixed(1251.2727272727), "1251.272727");
}

TEST(ClusterWriter, WritesResultLinesAndListingWithCrLf) {
  char folder[] = "/tmp/writer_XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::filesystem::path root = folder;
  {
    OutputFile result(root / "result.txt", "result file");
    OutputFile listing(root / "listing.txt", "cluster listing");
    ClusterWriter withBlank(result, &listing, HeadingStyle::WithBlank);
    GeneRow g1;
    g1.name = "g1";
    g1.values[0] = 0.5;
    g1.values[1] = -1234.5;
    GeneRow g2;
    g2.name = "g2";
    withBlank.heading(0);
    withBlank.member(g1, 2, 0);
    withBlank.member(g2, 2, 0);
    ClusterWriter noBlank(result, &listing, HeadingStyle::NoBlank);
    noBlank.heading(1);
    noBlank.member(g2, 0, 1);
    noBlank.finish();
  }
  EXPECT_EQ(testsupport::readFile(root / "result.txt"), "g1\tg1\t0\r\ng2\tg2\t0\r\ng2\tg2\t1\r\n");
  EXPECT_EQ(testsupport::readFile(root / "listing.txt"),
            "Cluster 1\r\ng1\t0.500000\t-1234.500000\t\r\ng2\t0.000000\t0.000000\t\r\nCluster2\r\ng2\t\r\n");
  std::filesystem::remove_all(root);
}

TEST(ClusterWriter, AFullDiskIsRefusedNotReportedAsSuccess) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  OutputFile result("/dev/full", "result file");
  ClusterWriter writer(result, nullptr, HeadingStyle::NoBlank);
  GeneRow g;
  g.name = "g";
  for (int i = 0; i < 10000; ++i) writer.member(g, 1, 0);
  EXPECT_THROW(writer.finish(), EngineError);
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
