#include <gtest/gtest.h>

#include <sstream>

#include "common/failure.h"
#include "common/gene_row.h"

using namespace clustering;

namespace {

template <typename Row = GeneRow>
std::vector<Row> load(const std::string& matrix, int genes, int samples) {
  std::istringstream in(matrix);
  TokenReader reader(in);
  return loadGeneRows<Row>(reader, "m.txt", genes, samples);
}

std::string refusal(const std::string& matrix, int genes, int samples) {
  try {
    load(matrix, genes, samples);
  } catch (const EngineError& error) {
    return error.what();
  }
  return "accepted";
}

}  // namespace

TEST(LoadGeneRows, RowsSpreadOverLinesLoadAsOneRowPerLine) {
  const auto spread = load("g1 1\n2 g2\n3 4\n", 2, 2);
  const auto plain = load("g1 1 2\r\ng2 3 4\r\n", 2, 2);
  ASSERT_EQ(spread.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(spread[i].name, plain[i].name);
    EXPECT_EQ(spread[i].values, plain[i].values);
  }
  EXPECT_EQ(plain[1].values[1], 4.0);
  EXPECT_EQ(plain[1].values[2], 0.0);  // beyond sampleCount stays zero
}

TEST(LoadGeneRows, TokensAfterTheLastRowAreNeverRead) {
  EXPECT_EQ(load("g1 1 g2 2 trailing words NA\n", 2, 1).size(), 2u);
}

TEST(LoadGeneRows, LongNamesAreKeptWhole) {
  const std::string name(300, 'x');
  EXPECT_EQ(load(name + " 1\n", 1, 1)[0].name, name);
}

TEST(LoadGeneRows, AValueThatIsNoNumberNamesRowGeneSampleAndToken) {
  EXPECT_EQ(refusal("g1 1 2\ng2 3 4\ng3 5 NA\ng4 7 8\n", 4, 2),
            "matrix file m.txt: row 3 (gene \"g3\"), sample 2: \"NA\" is not a number; every row must be a gene "
            "name followed by one number per sample");
  EXPECT_EQ(refusal("g1 1.5x 2\n", 1, 2),
            "matrix file m.txt: row 1 (gene \"g1\"), sample 1: \"1.5x\" is not a number; every row must be a gene "
            "name followed by one number per sample");
  // An empty field in a tab-separated file runs into the next name.
  EXPECT_EQ(refusal("g1\t1\t\ng2\t3\t4\n", 2, 2),
            "matrix file m.txt: row 1 (gene \"g1\"), sample 2: \"g2\" is not a number; every row must be a gene "
            "name followed by one number per sample");
  EXPECT_EQ(refusal("g1 1e999\n", 1, 1),
            "matrix file m.txt: row 1 (gene \"g1\"), sample 1: \"1e999\" does not fit a double; every row must be "
            "a gene name followed by one number per sample");
}

TEST(LoadGeneRows, AShortMatrixIsRefusedWithItsCompleteRows) {
  EXPECT_EQ(refusal("g1 1 2\ng2 3\n", 3, 2),
            "matrix file m.txt ends after 1 complete row, but the dimensions run file gives 3 genes; correct the "
            "gene count or the matrix");
  EXPECT_EQ(refusal("", 2, 2),
            "matrix file m.txt ends after 0 complete rows, but the dimensions run file gives 2 genes; correct the "
            "gene count or the matrix");
}

TEST(LoadGeneRows, SinglePrecisionRowsReadFloats) {
  const auto rows = load<BasicGeneRow<float>>("g 0.1 1e-7\n", 1, 2);
  EXPECT_EQ(rows[0].values[0], 0.1f);
  EXPECT_EQ(rows[0].values[1], 1e-7f);
}

TEST(Distance, SumsSquaredDifferencesInSampleOrder) {
  GeneRow a;
  GeneRow b;
  a.values[0] = 0.0;
  a.values[1] = 3.0;
  b.values[0] = 4.0;
  b.values[1] = 0.0;
  b.values[2] = 100.0;  // beyond sampleCount
  EXPECT_EQ(euclideanDistance(a, b, 2), 5.0);
  EXPECT_EQ(euclideanDistance(a, b, 0), 0.0);
  EXPECT_EQ(euclideanDistance(a, a, 2), 0.0);
}
