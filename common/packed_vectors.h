// Vectors of `sampleCount` doubles kept for measuring many Euclidean distances at once.
//
// The vectors lie in blocks of `Lanes`, sample-major inside a block (value s of the block's
// vectors side by side), so that one instruction takes sample s of several vectors. Each sum is
// still its own: begun at 0.0, the difference and its square rounded to double, added in sample
// order, the very sum that euclideanDistance forms, so the results are the same bits whichever
// instructions the processor offers. The widest that the processor has is chosen at run time
// (AVX-512, AVX2, else the x86-64 baseline), so one program runs on every x86-64 machine.
//
// The difference is taken as vector minus query. It is the negation of query minus vector,
// exactly, so its square and every sum are the same as with the operands the other way round.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

namespace clustering {

class PackedVectors {
 public:
  static constexpr int Lanes = 8;

  PackedVectors() = default;
  // `capacity` vectors, all zero.
  PackedVectors(int capacity, int sampleCount);

  // The first `sampleCount` values of each row's `values`, row i as vector i.
  template <typename Row>
  static PackedVectors ofRows(const std::vector<Row>& rows, int sampleCount) {
    PackedVectors packed(static_cast<int>(rows.size()), sampleCount);
    for (std::size_t i = 0; i < rows.size(); ++i) packed.assign(static_cast<int>(i), rows[i].values.data());
    return packed;
  }

  int sampleCount() const { return sampleCount_; }

  void assign(int index, const double* values);
  double value(int index, int sample) const { return values_[offset(index, sample)]; }
  // False when a value of the vector is infinite or not a number.
  bool finite(int index) const { return nonFinite_[static_cast<std::size_t>(index)] == 0; }

  // Sample s of the block's lanes, side by side.
  const double* block(int blockIndex) const {
    return values_.get() + static_cast<std::size_t>(blockIndex) * static_cast<std::size_t>(blockSize());
  }
  bool blockFinite(int blockIndex) const { return nonFinitePerBlock_[static_cast<std::size_t>(blockIndex)] == 0; }

 private:
  struct AlignedDelete {
    void operator()(double* values) const;
  };

  int blockSize() const { return sampleCount_ * Lanes; }
  std::size_t offset(int index, int sample) const {
    return static_cast<std::size_t>(index / Lanes) * static_cast<std::size_t>(blockSize()) +
           static_cast<std::size_t>(sample) * Lanes + static_cast<std::size_t>(index % Lanes);
  }

  int sampleCount_ = 0;
  std::unique_ptr<double[], AlignedDelete> values_;
  std::vector<char> nonFinite_;          // per vector
  std::vector<int> nonFinitePerBlock_;  // per block, how many of its vectors are not finite
};

// out[k - first] = the sum over the samples of (vector k - query)^2, for k from `first` up to
// `last` - 1, each summed in sample order.
void squaredDistances(const double* query, const PackedVectors& vectors, int first, int last, double* out);

// The same for `queryCount` queries at once: out[q * outStride + k - first] for query q. Each
// vector is fetched once for several queries, which spares memory traffic on large tables.
void squaredDistancesMany(const double* const* queries, int queryCount, const PackedVectors& vectors, int first,
                          int last, double* out, std::size_t outStride);

// The same, except that a sum may be left once its running value lies above `bound`, when the
// query and the vector are finite: its squares are never negative, so the running value only
// grows. An entry above `bound` is then at most the full sum, which lies above `bound` too; an
// entry not above `bound` is the full sum. The queries and vectors whose values are not all
// finite are always summed in full (a later infinity minus infinity would make the sum NaN).
void squaredDistancesBounded(const double* query, bool queryFinite, const PackedVectors& vectors, int first, int last,
                             double bound, double* out);

// The largest squared sum whose square root is at most `distance`: for a squared sum q,
// sqrt(q) <= distance exactly when q <= squaredBound(distance). NaN stays NaN.
double squaredBound(double distance);

bool allFinite(const double* values, int sampleCount);

// values[k] becomes the smaller of sqrt(values[k]) and `cap` (`cap` when the root is not a
// number), for k < count: the correctly rounded root, several at a time.
void cappedRoots(double* values, std::size_t count, double cap);

// The instruction sets the distances can be measured with. Tests measure with each one that the
// processor has and expect the same bits.
enum class VectorLevel { Baseline, Avx2, Avx512 };
std::vector<VectorLevel> supportedVectorLevels();
VectorLevel currentVectorLevel();
void useVectorLevel(VectorLevel level);  // for tests; the level must be supported
const char* vectorLevelName(VectorLevel level);

}  // namespace clustering
