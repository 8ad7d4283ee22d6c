// Chain merging on small in-memory tables: nearest links and their ties, chains and their
// weights, the merge score in both of its forms, and the merge passes with their slot
// compaction, tie-breaks and threshold. Links and merges are taken with the literal steps and
// with the fast ones, which must agree.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <utility>

#include "varnek/fast_linking.h"
#include "varnek/fast_merging.h"
#include "varnek/literal_method.h"

using clustering::GeneRow;
using clustering::InfiniteDistance;
using namespace varnek;

namespace {

// One sample per row, named g1, g2, ... in order.
std::vector<GeneRow> oneSampleRows(std::initializer_list<double> values) {
  std::vector<GeneRow> rows;
  for (double value : values) {
    GeneRow row;
    row.name = "g";
    row.name += std::to_string(rows.size() + 1);
    row.values[0] = value;
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::vector<int>> membersOf(const std::vector<ClusterSlot>& slots) {
  std::vector<std::vector<int>> members;
  for (const ClusterSlot& slot : slots) members.push_back(slot.members);
  return members;
}

std::vector<double> weightsOf(const std::vector<ClusterSlot>& slots) {
  std::vector<double> weights;
  for (const ClusterSlot& slot : slots) weights.push_back(slot.weight);
  return weights;
}

// The literal links, once the fast ones have been seen to be the same.
std::vector<NeighbourLink> linkNearestNeighbours(const std::vector<GeneRow>& rows, int sampleCount) {
  const std::vector<NeighbourLink> literal = LiteralLinking().link(rows, sampleCount);
  const std::vector<NeighbourLink> fast = FastLinking().link(rows, sampleCount);
  EXPECT_EQ(fast.size(), literal.size());
  for (std::size_t i = 0; i < fast.size() && i < literal.size(); ++i) {
    EXPECT_EQ(fast[i].nearest, literal[i].nearest) << "row " << i;
    EXPECT_EQ(fast[i].distance, literal[i].distance) << "row " << i;
  }
  return literal;
}

struct Clustering {
  std::vector<ClusterSlot> slots;
  std::vector<MergePass> passes;
};

Clustering mergeWith(const std::vector<GeneRow>& rows, int sampleCount, std::vector<ClusterSlot> slots,
                     double mergeThreshold, MergeStep&& step) {
  Clustering run;
  mergeClusters(rows, sampleCount, slots, mergeThreshold, step,
                [&run](const MergePass& pass) { run.passes.push_back(pass); });
  run.slots = std::move(slots);
  return run;
}

// The literal merging of the given slots, once the fast one has been seen to be the same.
Clustering mergeSlots(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<ClusterSlot>& slots,
                      double mergeThreshold) {
  const Clustering literal = mergeWith(rows, sampleCount, slots, mergeThreshold, LiteralMerging());
  const Clustering fast = mergeWith(rows, sampleCount, slots, mergeThreshold, FastMerging());
  EXPECT_EQ(membersOf(fast.slots), membersOf(literal.slots));
  EXPECT_EQ(weightsOf(fast.slots), weightsOf(literal.slots));
  EXPECT_EQ(fast.passes.size(), literal.passes.size());
  for (std::size_t k = 0; k < fast.passes.size() && k < literal.passes.size(); ++k) {
    EXPECT_EQ(fast.passes[k].a, literal.passes[k].a) << "pass " << k + 1;
    EXPECT_EQ(fast.passes[k].b, literal.passes[k].b) << "pass " << k + 1;
    EXPECT_EQ(fast.passes[k].score, literal.passes[k].score) << "pass " << k + 1;
  }
  return literal;
}

// The literal clustering, once the fast links and merging have been seen to be the same.
Clustering cluster(const std::vector<GeneRow>& rows, int sampleCount, double mergeThreshold) {
  std::vector<NeighbourLink> links = linkNearestNeighbours(rows, sampleCount);
  return mergeSlots(rows, sampleCount, buildChains(links), mergeThreshold);
}

void expectPasses(const std::vector<MergePass>& passes, std::initializer_list<MergePass> expected) {
  ASSERT_EQ(passes.size(), expected.size());
  std::size_t k = 0;
  for (const MergePass& want : expected) {
    EXPECT_EQ(passes[k].a, want.a) << "pass " << k + 1;
    EXPECT_EQ(passes[k].b, want.b) << "pass " << k + 1;
    EXPECT_DOUBLE_EQ(passes[k].score, want.score) << "pass " << k + 1;
    ++k;
  }
}

using Members = std::vector<std::vector<int>>;

}  // namespace

TEST(LinkNearestNeighbours, EveryRowLinksToItsNearestOtherRowAndTiesGoToTheLowerRow) {
  const std::vector<NeighbourLink> links = linkNearestNeighbours(oneSampleRows({0, 1, 5, 6, 20}), 1);
  const int nearest[] = {1, 0, 3, 2, 3};
  const double distance[] = {1.0, 1.0, 1.0, 1.0, 14.0};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(links[i].nearest, nearest[i]) << "row " << i;
    EXPECT_EQ(links[i].distance, distance[i]) << "row " << i;
    EXPECT_EQ(links[i].state, 1) << "row " << i;
  }
  // g2 is 10 from g1 and from g3; g5 is 20 from g3 and from g4.
  EXPECT_EQ(linkNearestNeighbours(oneSampleRows({0, 10, 20}), 1)[1].nearest, 0);
  EXPECT_EQ(linkNearestNeighbours(oneSampleRows({0, 0, 10, 10, 30}), 1)[4].nearest, 2);
}

TEST(LinkNearestNeighbours, DistancesRunOverEverySampleInUse) {
  std::vector<GeneRow> rows = oneSampleRows({0, 0, 0});
  rows[1].values[1] = 3.0;  // g2 = (0, 3), 3 from g1
  rows[2].values[1] = 4.0;  // g3 = (0, 4), 1 from g2
  rows[0].values[2] = 99.0;  // beyond the two samples in use
  const std::vector<NeighbourLink> links = linkNearestNeighbours(rows, 2);
  EXPECT_EQ(links[0].nearest, 1);
  EXPECT_EQ(links[0].distance, 3.0);
  EXPECT_EQ(links[2].nearest, 1);
  EXPECT_EQ(links[2].distance, 1.0);
}

TEST(LinkNearestNeighbours, ARowWithNoOtherRowNearerThanInfiniteDistanceLinksToItself) {
  const std::vector<NeighbourLink> lonely = linkNearestNeighbours(oneSampleRows({42}), 1);
  EXPECT_EQ(lonely[0].nearest, 0);
  EXPECT_EQ(lonely[0].distance, InfiniteDistance);
  // Exactly InfiniteDistance apart is not nearer; g3 links to g2 as usual.
  const std::vector<NeighbourLink> far = linkNearestNeighbours(oneSampleRows({0, 999999, 999999.5}), 1);
  EXPECT_EQ(far[0].nearest, 0);
  EXPECT_EQ(far[0].distance, InfiniteDistance);
  EXPECT_EQ(far[2].nearest, 1);
  EXPECT_EQ(far[2].distance, 0.5);
}

TEST(BuildChains, ChainsStartAtTheLowestUnplacedRowAndFollowTheLinks) {
  std::vector<NeighbourLink> links = linkNearestNeighbours(oneSampleRows({0, 1, 5, 6, 20}), 1);
  const std::vector<ClusterSlot> slots = buildChains(links);
  EXPECT_EQ(membersOf(slots), (Members{{0, 1}, {2, 3}, {4}}));
  EXPECT_EQ(weightsOf(slots), (std::vector<double>{1.0, 1.0, 0.0}));
  for (const NeighbourLink& link : links) EXPECT_EQ(link.state, -1);
}

TEST(BuildChains, AChainMeetingAnEarlierChainStaysACluster) {
  // g3's nearest is g2 (3.0), already placed; g4's is g3 (4.0).
  std::vector<NeighbourLink> links = linkNearestNeighbours(oneSampleRows({0, 2, 5, 9}), 1);
  const std::vector<ClusterSlot> slots = buildChains(links);
  EXPECT_EQ(membersOf(slots), (Members{{0, 1}, {2}, {3}}));
  EXPECT_EQ(weightsOf(slots), (std::vector<double>{2.0, 0.0, 0.0}));
}

TEST(BuildChains, TheWeightCountsEveryEdgeButTheClosingOne) {
  // g1 -> g2 (3) -> g3 (2) -> g4 (1) -> back to g3.
  std::vector<NeighbourLink> links = linkNearestNeighbours(oneSampleRows({0, 3, 5, 6}), 1);
  const std::vector<ClusterSlot> slots = buildChains(links);
  EXPECT_EQ(membersOf(slots), (Members{{0, 1, 2, 3}}));
  EXPECT_EQ(weightsOf(slots), (std::vector<double>{6.0}));
}

TEST(BuildChains, SelfLinkedRowsFormChainsOfTheirOwn) {
  std::vector<NeighbourLink> one = linkNearestNeighbours(oneSampleRows({7}), 1);
  const std::vector<ClusterSlot> single = buildChains(one);
  EXPECT_EQ(membersOf(single), (Members{{0}}));
  EXPECT_EQ(single[0].weight, 0.0);
  std::vector<NeighbourLink> far = linkNearestNeighbours(oneSampleRows({0, 5e6, 1, 1e7}), 1);
  const std::vector<ClusterSlot> slots = buildChains(far);
  EXPECT_EQ(membersOf(slots), (Members{{0, 2}, {1}, {3}}));
  EXPECT_EQ(weightsOf(slots), (std::vector<double>{1.0, 0.0, 0.0}));
}

TEST(BuildChains, IdenticalRowsChainWithWeightZero) {
  std::vector<NeighbourLink> links = linkNearestNeighbours(oneSampleRows({3, 3, 3}), 1);
  const std::vector<ClusterSlot> slots = buildChains(links);
  EXPECT_EQ(membersOf(slots), (Members{{0, 1}, {2}}));
  EXPECT_EQ(weightsOf(slots), (std::vector<double>{0.0, 0.0}));
}

TEST(MergeScore, WeightedAndUnweightedForms) {
  // Closeness 4.5 times interconnectivity 18.
  EXPECT_EQ(mergeScore(18.0, 2, 1.0, 2, 1.0), 81.0);
  // One weight zero: closeness (58 / 3) / (2 * 1 / 3) = 29, interconnectivity 116.
  EXPECT_EQ(mergeScore(58.0, 2, 1.0, 1, 0.0), 3364.0);
  EXPECT_EQ(mergeScore(58.0, 1, 0.0, 2, 1.0), 3364.0);
  // Both weights zero: closeness 40 / 4, interconnectivity 2 * 40.
  EXPECT_EQ(mergeScore(40.0, 2, 0.0, 2, 0.0), 800.0);
  EXPECT_EQ(mergeScore(0.0, 3, 0.0, 1, 0.0), 0.0);
  // Rounded step by step in the stated order: 274 / 3 times 137 / 6 / (10 / 6).
  const double closeness = (137.0 / 6) / (4 * 2.0 / 6 + 2 * 1.0 / 6);
  const double interconnectivity = (2.0 * 137.0) / 3.0;
  EXPECT_EQ(mergeScore(137.0, 4, 2.0, 2, 1.0), closeness * interconnectivity);
}

TEST(MergeClusters, MergesTheBestPairWhileItsScoreIsAtMostTheThreshold) {
  const auto rows = oneSampleRows({0, 1, 5, 6, 20});
  Clustering merged = cluster(rows, 1, 100.0);
  expectPasses(merged.passes, {{0, 1, 81.0}});
  EXPECT_EQ(membersOf(merged.slots), (Members{{0, 1, 2, 3}, {4}}));
  EXPECT_EQ(weightsOf(merged.slots), (std::vector<double>{2.0, 0.0}));

  Clustering unmerged = cluster(rows, 1, 50.0);
  expectPasses(unmerged.passes, {{0, 1, 81.0}});
  EXPECT_EQ(membersOf(unmerged.slots), (Members{{0, 1}, {2, 3}, {4}}));

  Clustering zeroWeights = cluster(oneSampleRows({0, 0, 10, 10, 30}), 1, 1000.0);
  expectPasses(zeroWeights.passes, {{0, 1, 800.0}});
  EXPECT_EQ(membersOf(zeroWeights.slots), (Members{{0, 1, 2, 3}, {4}}));

  Clustering joined = cluster(oneSampleRows({0, 2, 5, 9}), 1, 500.0);
  expectPasses(joined.passes, {{0, 1, 30.25}});
  EXPECT_EQ(membersOf(joined.slots), (Members{{0, 1, 2}, {3}}));
}

TEST(MergeClusters, TheLastLiveSlotMovesIntoThePlaceOfTheSlotMergedAway) {
  Clustering run = cluster(oneSampleRows({0, 1, 10, 11, 30, 31, 50}), 1, 500.0);
  const double closeness = (137.0 / 6) / (4 * 2.0 / 6 + 2 * 1.0 / 6);
  expectPasses(run.passes, {{0, 1, 361.0}, {0, 2, closeness * ((2.0 * 137.0) / 3.0)}});
  EXPECT_EQ(membersOf(run.slots), (Members{{0, 1, 2, 3}, {6}, {4, 5}}));
  EXPECT_EQ(weightsOf(run.slots), (std::vector<double>{2.0, 0.0, 1.0}));
}

TEST(MergeClusters, WhenTheLastSlotIsMergedAwayItSimplyDropsOut) {
  // Slots g1 g2, g3 g4, g5; (1, 2) scores 49, (0, 1) 1521.
  Clustering run = cluster(oneSampleRows({0, 1, 20, 21, 23}), 1, 100.0);
  expectPasses(run.passes, {{1, 2, 49.0}});
  EXPECT_EQ(membersOf(run.slots), (Members{{0, 1}, {2, 3, 4}}));
  EXPECT_EQ(weightsOf(run.slots), (std::vector<double>{1.0, 1.0}));
}

TEST(MergeClusters, OfEqualBestScoresThePairMetFirstMerges) {
  // (0, 1) and (1, 2) both score 800; (0, 2) 3200.
  Clustering run = cluster(oneSampleRows({0, 0, 10, 10, 20, 20}), 1, 1000.0);
  expectPasses(run.passes, {{0, 1, 800.0}});
  EXPECT_EQ(membersOf(run.slots), (Members{{0, 1, 2, 3}, {4, 5}}));
}

TEST(MergeClusters, AScoreEqualToTheThresholdMergesAndOneAboveEndsAfterItsReport) {
  const auto rows = oneSampleRows({0, 1, 5, 6, 20});
  Clustering equal = cluster(rows, 1, 81.0);
  EXPECT_EQ(membersOf(equal.slots), (Members{{0, 1, 2, 3}, {4}}));
  Clustering above = cluster(rows, 1, 80.999999);
  expectPasses(above.passes, {{0, 1, 81.0}});
  EXPECT_EQ(membersOf(above.slots), (Members{{0, 1}, {2, 3}, {4}}));
  Clustering negative = cluster(rows, 1, -1.0);
  expectPasses(negative.passes, {{0, 1, 81.0}});
  EXPECT_EQ(membersOf(negative.slots), (Members{{0, 1}, {2, 3}, {4}}));
}

TEST(MergeClusters, MergingNeverGoesBelowTwoClustersAndTwoChainsRunNoPass) {
  Clustering all = cluster(oneSampleRows({0, 1, 10, 11, 30, 31, 50}), 1, 1e300);
  EXPECT_EQ(all.passes.size(), 2u);
  EXPECT_EQ(all.slots.size(), 2u);
  Clustering two = cluster(oneSampleRows({0, 1, 5, 6}), 1, 1e300);
  EXPECT_TRUE(two.passes.empty());
  EXPECT_EQ(membersOf(two.slots), (Members{{0, 1}, {2, 3}}));
  Clustering one = cluster(oneSampleRows({4}), 1, 1e300);
  EXPECT_TRUE(one.passes.empty());
  EXPECT_EQ(membersOf(one.slots), (Members{{0}}));
}

TEST(MergeClusters, APassWithNoPairBelowInfiniteDistanceEndsTheMergingUnreported) {
  // Three lonely rows: every connection term is InfiniteDistance, so every score is far above it.
  Clustering run = cluster(oneSampleRows({0, 1e7, 2e7}), 1, 1e300);
  EXPECT_TRUE(run.passes.empty());
  EXPECT_EQ(membersOf(run.slots), (Members{{0}, {1}, {2}}));
}

TEST(MergeClusters, IdenticalRowsScoreByTheZeroWeightForm) {
  // Chains g1 g2, g3, g4 and g5, all of weight 0 (g3 and g4 link to g1, already placed).
  // The identical rows score 0: pass 1 joins g3 to g1 g2, g5 moves into slot 1, pass 2 joins g4.
  Clustering run = cluster(oneSampleRows({2, 2, 2, 2, 9}), 1, 0.0);
  expectPasses(run.passes, {{0, 1, 0.0}, {0, 2, 0.0}});
  EXPECT_EQ(membersOf(run.slots), (Members{{0, 1, 2, 3}, {4}}));
}


TEST(MergeClusters, PlantedSlotsMergeAsTheMethodReads) {
  // Slots given by hand (members by row, weights as set), `samples` values per row.
  struct Case {
    const char* what;
    std::vector<double> values;
    std::vector<ClusterSlot> slots;
    double mergeThreshold;
    std::vector<std::pair<int, int>> passes;
    int samples = 1;
  };
  constexpr double AtInfinity = 333.66649999995832;  // (2, 1.0) with (1, 0.0) scores 999999 exactly
  constexpr double Huge = 1e159;  // chain weights so far above the distances that every score underflows
  const Case cases[] = {
      {"(0, 2) and (1, 2) tie at 81 and slot 1's best partner is merged away; its pair with the moved slot "
       "scores far more, so (0, 1) at about 91.3 is next",
       {0, 1, 10, 11, 5, 6, 100}, {{{0, 1}, 1.0}, {{2, 3}, 1.0}, {{4, 5}, 1.0}, {{6}, 0.0}}, 100.0,
       {{0, 2}, {0, 1}}},
      // After (1, 2) merges, the merged slot and the moved one mirror each other around slot 0: the
      // same distances, summed in other orders, since the values have no exact binary form.
      {"mirrored: (0, 1) and (0, 2) tie at about 209.148 and the first merges",
       {0, 1.46, -13.175000000000001, -14.332000000000001, 14.635000000000002, 15.792000000000002},
       {{{0, 1}, 0.156}, {{2}, 1.8345}, {{3}, 1.8345}, {{4, 5}, 3.669}}, 1e300, {{1, 2}, {0, 1}}},
      {"mirrored: (0, 2) scores two units in the last place less than (0, 1), at about 521.536",
       {0, 1.202, -16.908999999999999, -18.477999999999998, 18.110999999999997, 19.679999999999996},
       {{{0, 1}, 1.2669999999999999}, {{2}, 0.90800000000000003}, {{3}, 0.90800000000000003}, {{4, 5}, 1.8160000000000001}},
       1e300, {{1, 2}, {0, 2}}},
      {"slot 0's best partner absorbs slot 2: their pair scored 400 and now scores about 620",
       {0, 10, 10.5, 100}, {{{0}, 0.0}, {{1}, 0.0}, {{2}, 0.0}, {{3}, 0.0}}, 1000.0, {{1, 2}, {0, 1}}},
      {"a score of exactly InfiniteDistance is no candidate", {0, 0.5, AtInfinity, 1e7},
       {{{0, 1}, 1.0}, {{2}, 0.0}, {{3}, 0.0}}, 1e300, {}},
      {"one just below it is", {0, 0.5, std::nextafter(AtInfinity, 0.0), 1e7},
       {{{0, 1}, 1.0}, {{2}, 0.0}, {{3}, 0.0}}, 1e300, {{0, 1}}},
      // Slots 1 and 3 mirror each other across slot 4's line, so (1, 4) and (3, 4) score alike.
      {"slot 4 moves into slot 2, so its pair with slot 3 folds slot 4's terms first: the connection sum is a "
       "unit in the last place less, and (2, 3) at about 26.98 beats (1, 2)",
       {100, 0, 0, -5, 101, 0, 0, 5, 1, 0, -2, 0}, {{{0}, 0.0}, {{1}, 0.0}, {{2}, 0.0}, {{3}, 0.0}, {{4, 5}, 3.0}},
       1e300, {{0, 2}, {2, 3}, {1, 2}}, 2},
      // Chain weights of 1e159 make every score underflow, so the merged slot's bound is its score.
      {"slot 0's pair with the slot merged from 4 and 5 ties its best (0, 3), slot 3 being its mirror image; "
       "once the merged slot moves into slot 2 that pair comes first",
       {0, 100, 101, 5, 5, -5, -5},
       {{{0}, Huge}, {{1}, Huge}, {{2}, Huge}, {{3, 4}, 2 * Huge}, {{5}, Huge}, {{6}, Huge}}, 1e300,
       {{4, 5}, {1, 2}, {0, 2}, {0, 2}}},
  };
  for (const Case& planted : cases) {
    SCOPED_TRACE(planted.what);
    const auto samples = static_cast<std::size_t>(planted.samples);
    std::vector<GeneRow> rows(planted.values.size() / samples);
    for (std::size_t v = 0; v < planted.values.size(); ++v) rows[v / samples].values[v % samples] = planted.values[v];
    const Clustering run = mergeSlots(rows, planted.samples, planted.slots, planted.mergeThreshold);
    ASSERT_EQ(run.passes.size(), planted.passes.size());
    for (std::size_t k = 0; k < run.passes.size(); ++k) {
      EXPECT_EQ(run.passes[k].a, planted.passes[k].first) << "pass " << k + 1;
      EXPECT_EQ(run.passes[k].b, planted.passes[k].second) << "pass " << k + 1;
    }
  }
}
