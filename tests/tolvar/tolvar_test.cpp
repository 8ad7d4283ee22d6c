#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/failure.h"
#include "tolvar/fast_sweep.h"
#include "tolvar/literal_sweep.h"
#include "tolvar/tolvar.h"

using namespace tolvar;
using clustering::EngineError;

namespace {

std::vector<GeneRow> namedRows(int geneCount) {
  std::vector<GeneRow> rows(static_cast<std::size_t>(geneCount));
  for (int i = 0; i < geneCount; ++i) rows[i].name = std::string("g").append(std::to_string(i + 1));
  return rows;
}

std::vector<GeneRow> oneSampleRows(const std::vector<double>& values) {
  std::vector<GeneRow> rows = namedRows(static_cast<int>(values.size()));
  for (std::size_t i = 0; i < values.size(); ++i) rows[i].values[0] = values[i];
  return rows;
}

std::vector<std::string> names(const std::vector<GeneRow>& rows) {
  std::vector<std::string> result;
  for (const GeneRow& row : rows) result.push_back(row.name);
  return result;
}

RandomSequence advanced(int draws) {
  RandomSequence sequence;
  for (int i = 0; i < draws; ++i) sequence.next();
  return sequence;
}

}  // namespace

TEST(DrawSubset, NineGenesTwoClustersDrawSizeEightAfterFiveAndMixTheTable) {
  std::vector<GeneRow> rows = namedRows(9);
  RandomSequence random;
  const Restart restart = drawSubset(rows, 2, random);
  // Size draws 41 and 18467 give 5, below 8, then 8; the first exchange is 6334 % 8 = 6 with
  // 26500 % 9 = 4.
  EXPECT_EQ(restart.subsetSize, 8);
  EXPECT_EQ(restart.medoids, (std::vector<int>{0, 1}));
  EXPECT_EQ(restart.nonMedoid, (std::vector<char>{0, 0, 1, 1, 1, 1, 1, 1}));
  EXPECT_EQ(names(rows), (std::vector<std::string>{"g5", "g6", "g2", "g9", "g7", "g1", "g3", "g8", "g4"}));
  RandomSequence expected = advanced(2 + 2 * 8);
  EXPECT_EQ(random.next(), expected.next()) << "two size draws and two draws per subset position";
}

TEST(DrawSubset, TheSizeDrawRepeatsUntilItMeetsTheOnlyPossibleSize) {
  // Five genes, one cluster: only size 4 is allowed; 41 % 5 = 1 and 18467 % 5 = 2 are drawn again.
  std::vector<GeneRow> rows = namedRows(5);
  RandomSequence random;
  EXPECT_EQ(drawSubset(rows, 1, random).subsetSize, 4);
  RandomSequence expected = advanced(3 + 2 * 4);
  EXPECT_EQ(random.next(), expected.next());
}

TEST(DrawSubset, RowsFromPosition32768OnNeverMove) {
  std::vector<GeneRow> rows = namedRows(33000);
  const std::vector<std::string> before = names(rows);
  RandomSequence random;
  for (int restart = 0; restart < 6; ++restart) drawSubset(rows, 1 + restart % 3, random);
  const std::vector<std::string> after = names(rows);
  EXPECT_NE(std::vector<std::string>(after.begin(), after.begin() + 32768),
            std::vector<std::string>(before.begin(), before.begin() + 32768));
  EXPECT_EQ(std::vector<std::string>(after.begin() + 32768, after.end()),
            std::vector<std::string>(before.begin() + 32768, before.end()));
}

TEST(InitialCost, APositionWithNoMedoidWithinTheCapAddsTheCap) {
  const std::vector<GeneRow> rows = oneSampleRows({0.0, 1.5, 500000.0, 2.0});
  Restart restart;
  restart.subsetSize = 3;  // position 3 lies outside the subset and adds nothing
  restart.medoids = {0};
  restart.nonMedoid = {0, 1, 1};
  EXPECT_EQ(initialCost(rows, 1, restart), 1.5 + NoNearbyMedoid);
}

TEST(SwapSearch, EachTrialTermIsCappedAtTheCurrentCost) {
  // The far gene adds the initial cap 99999 and then, in every trial, the current cost 100002;
  // capped at 99999 instead, the swap to position 1 would look cheaper (100001).
  const std::vector<GeneRow> rows = oneSampleRows({0.0, 1.0, 2.0, 1e6});
  LiteralSweep literal;
  FastSweep fast;
  for (SweepStep* sweep : {static_cast<SweepStep*>(&literal), static_cast<SweepStep*>(&fast)}) {
    Restart restart;
    restart.subsetSize = 4;
    restart.medoids = {0};
    restart.nonMedoid = {0, 1, 1, 1};
    restart.totalCost = initialCost(rows, 1, restart);
    EXPECT_EQ(restart.totalCost, 100002.0);
    swapSearch(rows, 1, restart, *sweep);
    EXPECT_EQ(restart.totalCost, 100002.0);
    EXPECT_EQ(restart.medoids, (std::vector<int>{0}));
  }
}

TEST(SearchMedoids, EqualGenesEndAtCostZeroAndAllLandInTheFirstCluster) {
  std::vector<GeneRow> rows = oneSampleRows(std::vector<double>(13, 4.25));
  RandomSequence random;
  FastSweep sweep;
  EXPECT_EQ(searchMedoids(rows, 1, 3, random, sweep), std::vector<int>(13, 0));
}

TEST(SearchMedoids, NoClustersDrawsSizesButAssignsNothing) {
  std::vector<GeneRow> rows = namedRows(3);
  RandomSequence random;
  FastSweep sweep;
  EXPECT_EQ(searchMedoids(rows, 0, 0, random, sweep), std::vector<int>(3, 0));
}

TEST(KeptMedoids, DesignateTheirGenesThroughLaterExchangesAndNeedALowerCost) {
  std::vector<GeneRow> rows = oneSampleRows({1.0, 2.0, 3.0, 4.0});
  KeptMedoids kept = initialKeptMedoids(rows, 2);
  EXPECT_EQ(kept.cost, UnkeptRestartCost);
  EXPECT_EQ(kept.genes[0].name, "g1");
  EXPECT_EQ(kept.genes[1].name, "g1");

  Restart restart;
  restart.medoids = {2, 3};
  restart.totalCost = UnkeptRestartCost;
  keepIfCheaper(rows, restart, kept);
  EXPECT_EQ(kept.genes[0].name, "g1") << "a cost equal to the kept one is not kept";

  restart.totalCost = 5.0;
  keepIfCheaper(rows, restart, kept);
  std::swap(rows[2], rows[0]);
  EXPECT_EQ(kept.cost, 5.0);
  EXPECT_EQ(kept.genes[0].name, "g3");
  EXPECT_EQ(kept.genes[0].values[0], 3.0);
  EXPECT_EQ(kept.genes[1].name, "g4");
}

TEST(AssignRows, ADistanceMustBeBelowTheStartCostElseTheGeneStaysInSlotZero) {
  const std::vector<GeneRow> medoids = oneSampleRows({0.0, 10.0});
  const std::vector<GeneRow> rows = oneSampleRows({1.0, 9.0, 100.0, 5.0, 10.0});
  // 100 is 90 from the nearer medoid; 5 lies halfway and takes the first slot met.
  EXPECT_EQ(assignRows(rows, 1, medoids, 50.0), (std::vector<int>{0, 1, 0, 0, 1}));
  EXPECT_EQ(assignRows(rows, 1, medoids, 0.0), (std::vector<int>{0, 0, 0, 0, 0}));
}

TEST(AssignRows, AMedoidGeneLandsInTheLowestSlotWithItsValues) {
  const std::vector<GeneRow> medoids = oneSampleRows({7.0, 3.0, 3.0});
  const std::vector<GeneRow> rows = oneSampleRows({3.0, 7.0});
  EXPECT_EQ(assignRows(rows, 1, medoids, 1.0), (std::vector<int>{1, 0}));
}

TEST(ClusterCount, OnlyCountsASubsetDrawCanMeetAreAccepted) {
  // Refusal messages are checked on the built program.
  EXPECT_NO_THROW(requireDrawableClusterCount(9, 2));
  EXPECT_NO_THROW(requireDrawableClusterCount(1, 0));
  EXPECT_NO_THROW(requireDrawableClusterCount(40000, 8191));
  EXPECT_THROW(requireDrawableClusterCount(8, 2), EngineError);
  EXPECT_THROW(requireDrawableClusterCount(40000, 8192), EngineError);
  EXPECT_THROW(requireDrawableClusterCount(2000000000, 2000000000), EngineError);
  EXPECT_THROW(requireDrawableClusterCount(0, 0), EngineError);
  EXPECT_THROW(requireDrawableClusterCount(9, -1), EngineError);
}
