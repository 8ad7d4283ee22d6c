// cure's merge loop given the kept search against the same loop given the literal one, on
// generated tables with ties on purpose: alphas that keep the points exact in binary (0, 0.5, 1,
// 2: many equal distances) and one that does not, thresholds at, just below and just above
// distances at which the literal loop merges. Both must merge the same pairs at the same
// distances, in the same order, and leave the same tables to the bit of every point.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "bench/matrix_generator.h"
#include "cure/cure.h"

using namespace cure;

namespace {

// Passes on what the search it is given finds, and keeps each pair.
class RecordedSearch final : public ClosestPairSearch {
 public:
  explicit RecordedSearch(ClosestPairSearch& search) : search_(search) {}
  void start(const ClusterTables& tables, int sampleCount) override { search_.start(tables, sampleCount); }
  std::optional<ClosestPair> closestPair(const ClusterTables& tables) override {
    const std::optional<ClosestPair> pair = search_.closestPair(tables);
    if (pair) pairs.push_back(*pair);
    return pair;
  }
  void merged(const ClusterTables& tables, int kept, int retired) override { search_.merged(tables, kept, retired); }

  std::vector<ClosestPair> pairs;

 private:
  ClosestPairSearch& search_;
};

struct Run {
  std::vector<ClosestPair> pairs;
  ClusterTables tables;
};

Run run(const generated::Matrix& matrix, double alpha, double threshold, ClosestPairSearch&& search) {
  Run result{{}, startClusters(matrix.rows)};
  RecordedSearch recorded(search);
  mergeClusters(matrix.rows, matrix.sampleCount, alpha, threshold, recorded, result.tables);
  result.pairs = std::move(recorded.pairs);
  return result;
}

testing::AssertionResult sameRun(const Run& kept, const Run& literal, int sampleCount) {
  for (std::size_t k = 0; k < std::min(kept.pairs.size(), literal.pairs.size()); ++k) {
    const ClosestPair& a = kept.pairs[k];
    const ClosestPair& b = literal.pairs[k];
    if (a.first != b.first || a.second != b.second ||
        std::bit_cast<std::uint64_t>(a.minDistance) != std::bit_cast<std::uint64_t>(b.minDistance)) {
      return testing::AssertionFailure() << "step " << k << ": (" << a.first << ", " << a.second << ") at "
                                         << a.minDistance << ", literally (" << b.first << ", " << b.second
                                         << ") at " << b.minDistance;
    }
  }
  if (kept.pairs.size() != literal.pairs.size()) {
    return testing::AssertionFailure() << kept.pairs.size() << " steps, literally " << literal.pairs.size();
  }
  if (kept.tables.clusterHead != literal.tables.clusterHead ||
      kept.tables.liveClusterCount != literal.tables.liveClusterCount) {
    return testing::AssertionFailure() << "cluster heads";
  }
  for (std::size_t i = 0; i < kept.tables.representatives.size(); ++i) {
    const ClusterRepresentatives& a = kept.tables.representatives[i];
    const ClusterRepresentatives& b = literal.tables.representatives[i];
    if (a.repCount != b.repCount) return testing::AssertionFailure() << "repCount of row " << i;
    for (int s = 0; a.repCount == 1 && s < sampleCount; ++s) {
      if (std::bit_cast<std::uint64_t>(a.point[s]) != std::bit_cast<std::uint64_t>(b.point[s])) {
        return testing::AssertionFailure() << "point of row " << i << ", sample " << s;
      }
    }
  }
  return testing::AssertionSuccess();
}

// For each alpha: merging all the way, which shows the deciding distances, then thresholds of
// -1, 0 and at, below and above the distance of a drawn step. Small reserves make the kept
// search replace partners and lower horizons all the time.
void expectSameMerges(const generated::Matrix& matrix, std::uint64_t seed, const std::vector<double>& alphas) {
  constexpr double Huge = std::numeric_limits<double>::infinity();
  generated::Draws draws(seed);
  const int reserveSize = std::vector<int>{0, 1, 2, clustering::NearestPartners::DefaultReserveSize}[seed % 4];
  for (double alpha : alphas) {
    const std::string label = matrix.label + ", alpha " + std::to_string(alpha) + ", reserve " +
                              std::to_string(reserveSize);
    const Run all = run(matrix, alpha, std::numeric_limits<double>::max(), LiteralClosestPairs());
    ASSERT_TRUE(sameRun(run(matrix, alpha, std::numeric_limits<double>::max(), KeptClosestPairs(reserveSize)), all,
                        matrix.sampleCount))
        << label << ", merged all the way";
    std::vector<double> thresholds{-1.0, 0.0};
    if (!all.pairs.empty()) {
      const double d = all.pairs[static_cast<std::size_t>(draws.between(0, static_cast<int>(all.pairs.size()) - 1))]
                           .minDistance;
      thresholds.insert(thresholds.end(), {d, std::nextafter(d, -Huge), std::nextafter(d, Huge)});
    }
    for (double threshold : thresholds) {
      ASSERT_TRUE(sameRun(run(matrix, alpha, threshold, KeptClosestPairs(reserveSize)),
                          run(matrix, alpha, threshold, LiteralClosestPairs()), matrix.sampleCount))
          << label << ", threshold " << threshold;
    }
  }
}

}  // namespace

TEST(CureKeptSearch, MergesAsTheLiteralSearchOnGeneratedTables) {
  for (std::uint64_t seed = 1; seed <= 300; ++seed) {
    expectSameMerges(generated::drawCase(seed, 2, 40, 40), seed, {0.0, 0.5, 1.0, 2.0, -0.7});
    if (HasFatalFailure()) return;
  }
  // Enough genes for the kept table to be compacted as clusters retire.
  for (std::uint64_t seed = 1001; seed <= 1006; ++seed) {
    expectSameMerges(generated::drawCase(seed, 70, 110, 12), seed, {0.5, 2.0});
    if (HasFatalFailure()) return;
  }
}

TEST(CureKeptSearch, PlantedTables) {
  struct Planted {
    const char* what;
    generated::Matrix matrix;
    double alpha;
    int reserveSize;
  };
  const auto rows = [](const std::vector<std::vector<double>>& values) {
    generated::Matrix matrix{"planted", static_cast<int>(values[0].size()), std::vector<GeneRow>(values.size())};
    for (std::size_t r = 0; r < values.size(); ++r) {
      std::copy(values[r].begin(), values[r].end(), matrix.rows[r].values.begin());
    }
    return matrix;
  };
  const std::vector<Planted> planted = {
      // Rows 1 and 2 merge; head 1's new point (0, 1) lies sqrt 2 from row 0, exactly as far as
      // row 0's kept partner 3, so (0, 1) merges next: the lower head wins the tie.
      {"a moved point as near as the kept partner", rows({{1, 0}, {-1, -1}, {-1, 0}, {0, -1}}), 2.0,
       clustering::NearestPartners::DefaultReserveSize},
      {"a moved point as near as a reserved one",
       rows({{2, 0}, {1, 2}, {2, 1}, {1, 2}, {0, 1}, {2, 1}, {2, 2}}), 0.0, 1},
      {"a moved point at the horizon",
       rows({{-1, 1, 0}, {-1, 0, 0}, {0, 1, 0}, {-1, 1, 1}, {0, 0, -1}, {-1, 1, 0}, {1, 1, 1}, {-1, 1, -1},
             {-1, 0, -1}}),
       -0.7, 2},
      // 8 and 9 merge; head 7 loses partner 9, nearer than its horizon: its sum to 8 may stop only past the horizon.
      {"a point below the kept one whose partner is nearer than its horizon",
       generated::generateMatrix(202, generated::Shape::Decimals, 11, 9), 2.0, 0},
  };
  for (const Planted& p : planted) {
    const double all = std::numeric_limits<double>::max();
    EXPECT_TRUE(sameRun(run(p.matrix, p.alpha, all, KeptClosestPairs(p.reserveSize)),
                        run(p.matrix, p.alpha, all, LiteralClosestPairs()), p.matrix.sampleCount))
        << p.what;
  }
}

// The kept search follows any move of the surviving point, not only cure's own formula: a copy
// of another live point (exact ties), the midpoint of the pair, a far jump that cuts every sum
// in the sweep short, a point near the origin, an overflowing one. The literal scan of the same
// tables decides every step.
TEST(CureKeptSearch, FollowsAnyMoveOfTheSurvivingPoint) {
  for (std::uint64_t seed = 1; seed <= 60; ++seed) {
    const generated::Matrix matrix = generated::drawCase(seed, 40, 150, 40);
    generated::Draws draws(seed);
    const int reserveSize = std::vector<int>{0, 1, 2, clustering::NearestPartners::DefaultReserveSize}[seed % 4];
    ClusterTables tables = startClusters(matrix.rows);
    KeptClosestPairs kept(reserveSize);
    LiteralClosestPairs literal;
    kept.start(tables, matrix.sampleCount);
    literal.start(tables, matrix.sampleCount);
    for (int step = 0; tables.liveClusterCount > 1; ++step) {
      const std::optional<ClosestPair> pair = literal.closestPair(tables);
      const std::optional<ClosestPair> keptPair = kept.closestPair(tables);
      ASSERT_EQ(pair.has_value(), keptPair.has_value()) << matrix.label << ", step " << step;
      if (!pair) break;
      ASSERT_TRUE(keptPair->first == pair->first && keptPair->second == pair->second &&
                  std::bit_cast<std::uint64_t>(keptPair->minDistance) == std::bit_cast<std::uint64_t>(pair->minDistance))
          << matrix.label << ", reserve " << reserveSize << ", step " << step << ": (" << keptPair->first << ", "
          << keptPair->second << "), literally (" << pair->first << ", " << pair->second << ")";
      Point& moved = tables.representatives[pair->first].point;
      const Point& other = tables.representatives[pair->second].point;
      const int live = draws.between(0, static_cast<int>(matrix.rows.size()) - 1);
      const Point& copied = tables.representatives[tables.clusterHead[live]].point;
      for (int s = 0; s < matrix.sampleCount; ++s) {
        switch (step % 5) {
          case 0: moved[s] = copied[s]; break;
          case 1: moved[s] = (moved[s] + other[s]) / 2; break;
          case 2: moved[s] = moved[s] + 1000; break;
          case 3: moved[s] = (moved[s] - other[s]) * 0.25; break;
          default: moved[s] = s == 0 && step % 20 == 4 ? 1.5e308 : other[s]; break;
        }
      }
      for (int& head : tables.clusterHead) {
        if (head == pair->second) head = pair->first;
      }
      tables.representatives[pair->second].repCount = 0;
      tables.liveClusterCount -= 1;
      kept.merged(tables, pair->first, pair->second);
      literal.merged(tables, pair->first, pair->second);
    }
  }
}
