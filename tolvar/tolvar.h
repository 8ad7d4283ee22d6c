// Randomized medoid search: three restarts, each drawing a subset size, mixing rows from the
// whole table into the leading positions, taking the first `clusterCount` positions as medoids
// and improving them by best-improvement swap search with the cost measured over the subset
// only. The medoid genes of the cheapest restart then assign every gene of the table.
//
// Invariants: every draw comes from the sequence handed in, in the order stated at each step;
// restarts exchange whole rows in place and never undo it, so the table ends mixed and is
// written in that order; every comparison of costs and distances is strict, so of equal
// candidates the first one found stays; sums run in ascending position order. The swap search's
// loop is here once; what one sweep of it finds comes from the sweep step it is given, trial by
// trial (LiteralSweep) or from kept sums (FastSweep), the same move to the bit.
#pragma once

#include <vector>

#include "common/gene_row.h"
#include "common/random.h"

namespace tolvar {

using clustering::GeneRow;
using clustering::RandomSequence;

inline constexpr int RestartCount = 3;
// A restart is kept only when its final cost is below this (and below every earlier kept one).
inline constexpr double UnkeptRestartCost = 9999.0;
// What a subset position with no medoid nearer than this adds to a restart's initial cost.
inline constexpr double NoNearbyMedoid = 99999.0;

// One restart's working state over the leading `subsetSize` positions of the table.
struct Restart {
  int subsetSize = 0;
  std::vector<int> medoids;     // per slot the position of its medoid, below subsetSize
  std::vector<char> nonMedoid;  // per subset position: 1 unless it holds a medoid
  double totalCost = 0.0;       // cost of the current medoids over the subset
};

// A swap of one candidate position into one medoid slot, with the cost it gives.
struct SwapMove {
  int row = -1;   // the incoming position; -1 when none
  int slot = -1;  // the slot it takes over; -1 when none
  double cost = 0.0;
};

// Finds the best move of one sweep: of every non-medoid position tried in every slot, in
// ascending position and slot order, the first trial whose cost is below all before it and below
// `totalCost`; {-1, -1, totalCost} when none is. A trial's cost sums, over the subset positions
// that hold no medoid once the trial is made, in ascending order, the distance to the nearest
// medoid, each term starting at `totalCost`.
class SweepStep {
 public:
  virtual ~SweepStep() = default;
  // A search over the first `restart.subsetSize` rows begins; they keep their positions and
  // values until its last sweep. Between sweeps the restart's medoids, flags and cost may change
  // in any way (the swap search changes one slot).
  virtual void beginSearch(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart) = 0;
  // One sweep over the medoids as they are now. The restart may be changed during the sweep but
  // is left as it was found.
  virtual SwapMove bestMove(Restart& restart) = 0;
};

// The medoid genes of the restart kept last. They are copies, so later exchanges of rows do
// not change which genes they are.
struct KeptMedoids {
  double cost = UnkeptRestartCost;
  std::vector<GeneRow> genes;  // per slot
};

// Refuses what no subset draw could meet: a negative count, no genes, or a positive count with
// `geneCount` not above four times it or four times it above the largest draw.
void requireDrawableClusterCount(int geneCount, int clusterCount);

// Draws the subset size (again while it is below 4 * clusterCount), then for every subset
// position sets up its medoid slot or flag and exchanges two rows drawn from the subset and the
// whole table. Needs a count that requireDrawableClusterCount accepts.
Restart drawSubset(std::vector<GeneRow>& rows, int clusterCount, RandomSequence& random);

// Sum over the non-medoid subset positions, ascending, of the distance to the nearest medoid, each
// term starting at `startCost`: the smallest of it and the distances.
double subsetCost(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart, double startCost);

// A restart's cost before its first sweep: each term at most NoNearbyMedoid.
double initialCost(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart);

// Best-improvement swap search: each sweep (the step) tries every non-medoid position in every
// slot, with each position's nearest distance starting at the current cost, and the cheapest
// trial is applied when it lowers the cost. Ends after a sweep that finds no cheaper trial.
void swapSearch(const std::vector<GeneRow>& rows, int sampleCount, Restart& restart, SweepStep& sweep);

// Every slot designates the gene now at position 0 until a restart is kept.
KeptMedoids initialKeptMedoids(const std::vector<GeneRow>& rows, int clusterCount);

// Keeps the restart's medoid genes when its final cost is below the kept cost.
void keepIfCheaper(const std::vector<GeneRow>& rows, const Restart& restart, KeptMedoids& kept);

// Per position the slot of the nearest medoid gene; a distance must be below `startCost` to
// count, and a position with none below it stays in slot 0.
std::vector<int> assignRows(const std::vector<GeneRow>& rows, int sampleCount, const std::vector<GeneRow>& medoidGenes,
                            double startCost);

// The whole search: the restarts, each swap search sweeping with `sweep`, then assignRows
// starting from the last restart's final cost. Returns per final position its slot (0 for all
// when there are no slots); `rows` is left in its final, mixed order.
std::vector<int> searchMedoids(std::vector<GeneRow>& rows, int sampleCount, int clusterCount, RandomSequence& random,
                               SweepStep& sweep);

}  // namespace tolvar
