// The fast sweep against the literal one, through the sweep interface, sweep by sweep: the same
// move and the same cost to the bit. Tables come from the shared generator (every shape, so
// equal distances, repeated rows, costs at the caps and values that overflow, here and there a
// value that is not finite), and ties are planted on purpose: mirrored tables whose trials pair
// up at equal costs in exact arithmetic that the rounded sums may split; current costs exactly
// at the cheapest trial's cost and at the doubles next to it; rows one double apart; and changes
// between sweeps that no swap makes (medoids exchanging slots, a cost far below every distance).
// Sums are kept, or counted anew a few candidates at a time, and every vector level the
// processor has takes its turn.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "bench/matrix_generator.h"
#include "common/packed_vectors.h"
#include "common/random.h"
#include "tolvar/fast_sweep.h"
#include "tolvar/fixed_point_cost.h"
#include "tolvar/literal_sweep.h"
#include "tolvar/tolvar.h"

namespace {

using namespace tolvar;

std::uint64_t bits(double value) {
  std::uint64_t out;
  std::memcpy(&out, &value, sizeof out);
  return out;
}

// Both sweeps on every sweep of a search; the search goes on with the literal move.
class ComparedSweep final : public SweepStep {
 public:
  ComparedSweep(std::size_t maxKeptTrials, std::string label) : fast_(maxKeptTrials), label_(std::move(label)) {}

  void beginSearch(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart) override {
    literal_.beginSearch(rows, sampleCount, restart);
    fast_.beginSearch(rows, sampleCount, restart);
  }

  SwapMove bestMove(Restart& restart) override {
    const std::vector<int> medoids = restart.medoids;
    const std::vector<char> nonMedoid = restart.nonMedoid;
    const SwapMove fast = fast_.bestMove(restart);
    EXPECT_TRUE(restart.medoids == medoids && restart.nonMedoid == nonMedoid) << label_ << ": restart changed";
    const SwapMove literal = literal_.bestMove(restart);
    EXPECT_TRUE(fast.row == literal.row && fast.slot == literal.slot && bits(fast.cost) == bits(literal.cost))
        << label_ << ", sweep " << sweeps_ << " at cost " << restart.totalCost << ": fast " << fast.row << " in "
        << fast.slot << " for " << fast.cost << ", literal " << literal.row << " in " << literal.slot << " for "
        << literal.cost;
    ++sweeps_;
    return literal;
  }

  int sweeps() const { return sweeps_; }

 private:
  LiteralSweep literal_;
  FastSweep fast_;
  std::string label_;
  int sweeps_ = 0;
};

// Case i measures with the i-th vector level (round robin) and, every third case, keeps sums for
// a few trials only, so that candidates are counted anew a share at a time.
class EachCase {
 public:
  EachCase() : saved_(clustering::currentVectorLevel()), levels_(clustering::supportedVectorLevels()) {}
  ~EachCase() { clustering::useVectorLevel(saved_); }

  ComparedSweep next(const std::string& label) {
    const clustering::VectorLevel level = levels_[static_cast<std::size_t>(count_) % levels_.size()];
    clustering::useVectorLevel(level);
    const bool fewKept = count_ % 3 == 2;
    ++count_;
    return ComparedSweep(fewKept ? 40 : FastSweep::DefaultMaxKeptTrials,
                         label + " (" + clustering::vectorLevelName(level) + (fewKept ? ", few kept)" : ")"));
  }

 private:
  clustering::VectorLevel saved_;
  std::vector<clustering::VectorLevel> levels_;
  int count_ = 0;
};

clustering::RandomSequence advanced(std::uint64_t draws) {
  clustering::RandomSequence sequence;  // as a fresh process draws
  for (std::uint64_t i = 0; i < draws; ++i) sequence.next();
  return sequence;
}

// The rows, each followed by a variant of it that `vary` makes.
template <typename Vary>
std::vector<GeneRow> followedBy(const generated::Matrix& matrix, Vary vary) {
  std::vector<GeneRow> rows;
  for (const GeneRow& row : matrix.rows) {
    rows.push_back(row);
    rows.push_back(row);
    vary(rows.back().values.data());
  }
  return rows;
}

Restart restartWith(const std::vector<GeneRow>& rows, int sampleCount, std::vector<int> medoids) {
  Restart restart;
  restart.subsetSize = static_cast<int>(rows.size());
  restart.nonMedoid.assign(rows.size(), 1);
  for (int medoid : medoids) restart.nonMedoid[static_cast<std::size_t>(medoid)] = 0;
  restart.medoids = std::move(medoids);
  restart.totalCost = initialCost(rows, sampleCount, restart);
  return restart;
}

}  // namespace

TEST(FastSweep, FindsTheLiteralMoveInEverySweepOfWholeSearches) {
  EachCase cases;
  int sweeps = 0;
  for (std::uint64_t seed = 1; seed <= 150; ++seed) {
    // Small tables of every shape, and larger gene-like ones, where sums are kept over many sweeps.
    const generated::Matrix matrix =
        seed % 10 == 0 ? generated::generateMatrix(seed, seed % 20 == 0 ? generated::Shape::Profiles
                                                                         : generated::Shape::Standardised,
                                                   160, 12)
                       : generated::drawCase(seed, 5, 90, 40);
    const int geneCount = static_cast<int>(matrix.rows.size());
    const int clusterCount = 1 + static_cast<int>(seed % static_cast<std::uint64_t>(std::min((geneCount - 1) / 4, 5)));
    std::vector<GeneRow> rows = matrix.rows;
    if (seed % 7 == 3 && matrix.sampleCount > 0) {
      constexpr double Infinite = std::numeric_limits<double>::infinity();
      const double odd[] = {Infinite, -Infinite, std::numeric_limits<double>::quiet_NaN()};
      rows[seed % rows.size()].values[seed % static_cast<std::uint64_t>(matrix.sampleCount)] = odd[seed % 3];
    }
    clustering::RandomSequence random = advanced(seed);
    ComparedSweep sweep = cases.next(matrix.label + ", " + std::to_string(clusterCount) + " clusters");
    searchMedoids(rows, matrix.sampleCount, clusterCount, random, sweep);
    sweeps += sweep.sweeps();
  }
  EXPECT_GT(sweeps, 1000);
}

TEST(FastSweep, FindsTheLiteralMoveAtPlantedTies) {
  EachCase cases;
  for (std::uint64_t seed = 1; seed <= 24; ++seed) {
    // Mirrored medoids: the cheapest trial has a mirror image at the same exact cost.
    const generated::Matrix matrix = generated::generateMatrix(seed, generated::Shape::Decimals, 20, 1 + seed % 3);
    // Each row followed by its negation: every value set is its own mirror image.
    const std::vector<GeneRow> rows = followedBy(matrix, [&](double* values) {
      for (int s = 0; s < matrix.sampleCount; ++s) values[s] = -values[s];
    });
    Restart restart =
        restartWith(rows, matrix.sampleCount, seed % 2 == 0 ? std::vector<int>{0, 1} : std::vector<int>{0, 1, 6, 7});
    ComparedSweep mirroredSweep = cases.next("mirrored " + matrix.label);
    swapSearch(rows, matrix.sampleCount, restart, mirroredSweep);

    // Current costs exactly at the cheapest trial's cost and a double to either side (no move,
    // then the move, then none), and a cost with no bound on the terms.
    const generated::Matrix drawn = generated::drawCase(seed + 1000, 12, 60, 6);
    std::vector<GeneRow> drawnRows = drawn.rows;
    clustering::RandomSequence random = advanced(seed);
    Restart start = drawSubset(drawnRows, 1 + static_cast<int>(seed % 2), random);
    start.totalCost = initialCost(drawnRows, drawn.sampleCount, start);
    LiteralSweep literal;
    literal.beginSearch(drawnRows, drawn.sampleCount, start);
    const double cheapest = literal.bestMove(start).cost;
    ComparedSweep atCost = cases.next("at the cheapest cost, " + drawn.label);
    atCost.beginSearch(drawnRows, drawn.sampleCount, start);
    constexpr double Up = std::numeric_limits<double>::infinity();
    for (double cost : {cheapest, std::nextafter(cheapest, Up), std::nextafter(cheapest, 0.0), cheapest, Up}) {
      start.totalCost = cost;
      atCost.bestMove(start);
    }
  }
}

TEST(FastSweep, FindsTheLiteralMoveAfterAnyChangeBetweenSweeps) {
  EachCase cases;
  for (std::uint64_t seed = 1; seed <= 30; ++seed) {
    const generated::Matrix matrix = generated::drawCase(seed + 2000, 10, 40, 8);
    // Each row followed by a copy with one value moved to the next double up.
    const std::vector<GeneRow> rows = followedBy(matrix, [](double* values) {
      values[0] = std::nextafter(values[0], std::numeric_limits<double>::infinity());
    });
    const int clusterCount = 2 + static_cast<int>(seed % 3);
    std::vector<int> medoids;
    for (int s = 0; s < clusterCount; ++s) medoids.push_back(4 * s);
    Restart restart = restartWith(rows, matrix.sampleCount, medoids);
    ComparedSweep sweep = cases.next("changes between sweeps, " + matrix.label);
    sweep.beginSearch(rows, matrix.sampleCount, restart);
    const double cost = restart.totalCost;
    restart.totalCost = cost * 1e-6;  // every term at the cap
    sweep.bestMove(restart);
    restart.totalCost = cost;  // terms far above the units of the sweep before
    sweep.bestMove(restart);
    std::swap(restart.medoids[0], restart.medoids[1]);  // the same medoids in other slots
    sweep.bestMove(restart);
    for (int& medoid : restart.medoids) {  // each medoid's neighbour one double away
      restart.nonMedoid[static_cast<std::size_t>(medoid)] = 1;
      medoid += 1;
      restart.nonMedoid[static_cast<std::size_t>(medoid)] = 0;
    }
    sweep.bestMove(restart);
    swapSearch(rows, matrix.sampleCount, restart, sweep);
  }
}

TEST(FixedPointCost, TheDoubleSumLiesInTheRangeEvenWhenEveryAdditionRoundsOffATerm) {
  // 2048 terms of 1 and 2048 terms just under half a unit in the last place of 2048: added
  // after the ones, each of them is lost; added first, they are kept.
  const double small = 0.49 * 0x1p-41;
  std::vector<double> largeFirst(2048, 1.0);
  largeFirst.insert(largeFirst.end(), 2048, small);
  std::vector<double> smallFirst(largeFirst.rbegin(), largeFirst.rend());
  std::vector<double> alternating;
  for (int i = 0; i < 2048; ++i) alternating.insert(alternating.end(), {1.0, small});
  for (const std::vector<double>* terms : {&largeFirst, &smallFirst, &alternating}) {
    const FixedPointCost cost(1.0, static_cast<int>(terms->size()));
    std::int64_t units = 0;
    double sum = 0.0;
    for (double term : *terms) {
      units += cost.units(term);
      sum += term;
    }
    const CostRange range = FixedPointCost::range(units, static_cast<int>(terms->size()));
    EXPECT_LE(range.low, cost.inUnits(sum));
    EXPECT_GE(range.high, cost.inUnits(sum));
  }
}
