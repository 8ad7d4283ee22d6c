// The sweep from kept sums: the same move as trying every trial anew, found with a fraction of
// the distances.
//
// Rows keep their positions during a search, and a swap changes one slot, so most of what a
// sweep measures holds for the next. Every sweep measures the subset against the medoids (the
// nearest and second nearest of each position); the candidates' trial costs in whole units
// (kept_trial_sums.h) are brought up to date by measuring only the positions whose nearest or
// second nearest changed. Each trial's units bound its cost from both sides
// (fixed_point_cost.h): trials that cannot reach the cheapest are dropped, and the candidates of
// the others are measured against the whole subset and their costs summed as the literal sweep
// sums them, in position order. So the move is the literal one to the bit, ties included.
//
// A distance that overflows or is not a number is never nearer than anything, on every path, as
// in the literal sweep's strict comparisons. Only a cost that is not finite has every trial
// summed in full. Sums are kept for at most
// `maxKeptTrials` trials; beyond that they are counted anew, candidates a share at a time, in
// every sweep, so memory stays linear in the gene count whatever the number of clusters.
#pragma once

#include <cstddef>
#include <vector>

#include "common/packed_vectors.h"
#include "tolvar/fixed_point_cost.h"
#include "tolvar/kept_trial_sums.h"
#include "tolvar/tolvar.h"

namespace tolvar {

class FastSweep final : public SweepStep {
 public:
  static constexpr std::size_t DefaultMaxKeptTrials = std::size_t{1} << 22;  // 32 MiB of sums

  explicit FastSweep(std::size_t maxKeptTrials = DefaultMaxKeptTrials) : maxKeptTrials_(maxKeptTrials) {}

  void beginSearch(const std::vector<GeneRow>& rows, int sampleCount, const Restart& restart) override;
  SwapMove bestMove(Restart& restart) override;

 private:
  // nearest_, second_ and slot_ of every subset position from the current medoids.
  void measureMedoids(const Restart& restart);
  // terms_ of every subset position, capped at `totalCost`, in the units of cost_.
  void countTerms(const Restart& restart, double totalCost);
  // For the candidates from `first` up to `last` - 1 (whose rows sums_ holds): each one's lowest
  // start of a trial's cost range that lies below the current cost (lowest_), and the lowest end
  // of any trial's range so far (lowestHigh).
  void boundTrials(const Restart& restart, int first, int last, double& lowestHigh);
  // The literal sweep's move among the trials of `candidates` (ascending), every cost summed
  // in position order.
  SwapMove cheapestTrial(const Restart& restart, const std::vector<int>& candidates);

  std::size_t maxKeptTrials_;
  const std::vector<GeneRow>* rows_ = nullptr;
  int sampleCount_ = 0;
  SubsetRows subset_;
  clustering::PackedVectors packed_;
  bool sumsKept_ = false;       // sums_ holds every candidate, counted with cost_
  FixedPointCost cost_;
  KeptTrialSums sums_;
  std::vector<double> nearest_;  // per subset position: distance to the nearest medoid (+inf if none)
  std::vector<double> second_;   // to the nearest in the other slots (+inf if none)
  std::vector<int> slot_;        // slot of the nearest medoid; -1 if none
  std::vector<CountedTerm> terms_;
  std::vector<std::int64_t> slotBase_;  // per slot: units of every counted term with no candidate
  std::vector<double> lowest_;          // per candidate, see boundTrials
  std::vector<double> squared_;         // scratch
};

}  // namespace tolvar
