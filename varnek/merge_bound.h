// Scores that a pair of slots cannot fall below, without folding its connection sum.
//
// The connection sum of slots of na and nb members folds k = na + nb distances, never negative
// and never more than InfiniteDistance, from 0.0 in a fixed order: k - 1 rounded additions,
// each at least (1 - u) times the exact sum of its operands (u = 2^-53), so the fold is at
// least (1 - u)^(k-1) times the exact sum T of the terms and at most (1 + u)^(k-1) times it.
//
// From the terms added in another order: a sum A of the same terms in any order or grouping
// passes each term through at most k rounded additions, so T >= A / (1 + u)^k >= A (1 - u)^k,
// and the fold is at least A (1 - u)^(2k) >= A (1 - 2k u). The bound scores A times
// 1 - (2k + 2) u, which is exact, and the rounded product is at most A (1 - (2k + 1) u): below
// the fold. (Distances are 0 or at least the root of the smallest double, so the product never
// leaves the normal range.) The score never falls as the connection sum grows (each of its
// roundings is monotone and its factors are never negative), so the score of the bound is at
// most the score of the fold, unless one of them is not a number; a bound that is not a number
// is minus infinity.
//
// From the same pair's score with its terms folded in the other order (a slot that moved now
// comes first): the two folds are within a factor (1 - 2k u) of each other, and each factor of
// the score is the sum times constants with at most two roundings, the product one more, so
// the score falls by at most the factor (1 - 2k u)^2 (1 - 2u)^4 >= 1 - (4k + 8) u. The bound
// takes k as large as the gene count and a margin beyond. A score of InfiniteDistance or more
// stays at least InfiniteDistance times that factor; scores so small that their factors may
// have left the normal range give no bound but 0.
//
// From the connection sum itself, with one division instead of the score's five: with both
// weights' sum W above 0 the score is 2 S^2 / ((na wa + nb wb) W) but for at most seven
// roundings down, and the quick quotient of the same is that but for at most five roundings
// up, so the quotient times 1 - 32u is below the score. With both weights 0 the score is
// 2 S^2 / (na + nb) but for two roundings, and so is the quotient. Only while every quantity
// lies far inside the normal range; otherwise there is no quick bound.
#pragma once

#include <cstddef>

namespace varnek {

// At most mergeScore(fold, ...) for the fold of the terms whose sum in any order is `termSum`.
double mergeScoreBound(double termSum, int countA, double weightA, int countB, double weightB);

// At most the score of a pair whose terms folded in the other order score at least `score`
// (InfiniteDistance or more when the pair was no candidate); no pair has more than `geneCount`
// terms.
double reorderedScoreBound(double score, std::size_t geneCount);

// At most mergeScore(sums[e], countA, weightA, counts[e], weights[e]), or minus infinity, as
// out[e] for e < count.
void quickScoreBounds(int countA, double weightA, const double* sums, const double* counts, const double* weights,
                      std::size_t count, double* out);

}  // namespace varnek
