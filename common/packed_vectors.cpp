#include "common/packed_vectors.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace clustering {

namespace {

constexpr std::size_t Alignment = 64;  // one block sample: eight doubles, one cache line
constexpr int Lanes = PackedVectors::Lanes;
// How often a bounded sum looks whether every lane of its group has passed the bound.
constexpr int SamplesBetweenBoundChecks = 8;

// Sums the blocks [firstBlock, firstBlock + Group) into sums[(b - firstBlock) * Lanes + lane].
// With `mayStop`, the group is left at a check once every one of its lanes lies above `bound`.
using GroupKernel = void (*)(const double* query, const double* firstBlockValues, std::size_t blockSize,
                             int sampleCount, int groupBlocks, bool mayStop, double bound, double* sums);

// Plain C++: each lane's sum alone, in sample order. Any compiler vectorising it keeps the lanes
// apart, so it stays exact.
void baselineGroup(const double* query, const double* blocks, std::size_t blockSize, int sampleCount,
                   int groupBlocks, bool mayStop, double bound, double* sums) {
  for (int b = 0; b < groupBlocks; ++b) {
    const double* block = blocks + static_cast<std::size_t>(b) * blockSize;
    double lane[Lanes] = {};
    for (int s = 0; s < sampleCount; ++s) {
      const double q = query[s];
      const double* values = block + static_cast<std::size_t>(s) * Lanes;
      for (int k = 0; k < Lanes; ++k) {
        const double difference = values[k] - q;
        lane[k] = lane[k] + difference * difference;
      }
      if (mayStop && (s + 1) % SamplesBetweenBoundChecks == 0) {
        bool allAbove = true;
        for (int k = 0; k < Lanes; ++k) allAbove = allAbove && lane[k] > bound;
        if (allAbove) break;
      }
    }
    std::memcpy(sums + static_cast<std::size_t>(b) * Lanes, lane, sizeof lane);
  }
}

void baselineCappedRoots(double* values, std::size_t count, double cap) {
  for (std::size_t k = 0; k < count; ++k) {
    const double root = std::sqrt(values[k]);
    values[k] = root < cap ? root : cap;
  }
}

#if defined(__x86_64__)

// Four blocks side by side, one register each, so that the additions of four sums overlap.
template <int Group>
__attribute__((target("avx512f"))) void avx512Blocks(const double* query, const double* blocks,
                                                     std::size_t blockSize, int sampleCount, bool mayStop,
                                                     double bound, double* sums) {
  __m512d sum[Group];
  for (int g = 0; g < Group; ++g) sum[g] = _mm512_setzero_pd();
  const __m512d limit = _mm512_set1_pd(bound);
  for (int s = 0; s < sampleCount; ++s) {
    const __m512d q = _mm512_set1_pd(query[s]);
    for (int g = 0; g < Group; ++g) {
      const __m512d difference =
          _mm512_sub_pd(_mm512_load_pd(blocks + static_cast<std::size_t>(g) * blockSize + static_cast<std::size_t>(s) * Lanes), q);
      sum[g] = _mm512_add_pd(sum[g], _mm512_mul_pd(difference, difference));
    }
    if (mayStop && (s + 1) % SamplesBetweenBoundChecks == 0) {
      bool allAbove = true;
      for (int g = 0; g < Group; ++g) allAbove = allAbove && _mm512_cmp_pd_mask(sum[g], limit, _CMP_GT_OQ) == 0xFF;
      if (allAbove) break;
    }
  }
  for (int g = 0; g < Group; ++g) _mm512_storeu_pd(sums + static_cast<std::size_t>(g) * Lanes, sum[g]);
}

__attribute__((target("avx512f"))) void avx512Group(const double* query, const double* blocks, std::size_t blockSize,
                                                    int sampleCount, int groupBlocks, bool mayStop, double bound,
                                                    double* sums) {
  switch (groupBlocks) {
    case 4: avx512Blocks<4>(query, blocks, blockSize, sampleCount, mayStop, bound, sums); break;
    case 3: avx512Blocks<3>(query, blocks, blockSize, sampleCount, mayStop, bound, sums); break;
    case 2: avx512Blocks<2>(query, blocks, blockSize, sampleCount, mayStop, bound, sums); break;
    default: avx512Blocks<1>(query, blocks, blockSize, sampleCount, mayStop, bound, sums); break;
  }
}

// A block is two registers of four lanes; two blocks side by side give four sums in flight.
template <int Group>
__attribute__((target("avx2"))) void avx2Blocks(const double* query, const double* blocks, std::size_t blockSize,
                                                int sampleCount, bool mayStop, double bound, double* sums) {
  __m256d sum[2 * Group];
  for (int g = 0; g < 2 * Group; ++g) sum[g] = _mm256_setzero_pd();
  const __m256d limit = _mm256_set1_pd(bound);
  for (int s = 0; s < sampleCount; ++s) {
    const __m256d q = _mm256_set1_pd(query[s]);
    for (int g = 0; g < 2 * Group; ++g) {
      const double* values =
          blocks + static_cast<std::size_t>(g / 2) * blockSize + static_cast<std::size_t>(s) * Lanes + (g % 2) * 4;
      const __m256d difference = _mm256_sub_pd(_mm256_load_pd(values), q);
      sum[g] = _mm256_add_pd(sum[g], _mm256_mul_pd(difference, difference));
    }
    if (mayStop && (s + 1) % SamplesBetweenBoundChecks == 0) {
      bool allAbove = true;
      for (int g = 0; g < 2 * Group; ++g) {
        allAbove = allAbove && _mm256_movemask_pd(_mm256_cmp_pd(sum[g], limit, _CMP_GT_OQ)) == 0xF;
      }
      if (allAbove) break;
    }
  }
  for (int g = 0; g < 2 * Group; ++g) _mm256_storeu_pd(sums + static_cast<std::size_t>(g) * 4, sum[g]);
}

__attribute__((target("avx2"))) void avx2Group(const double* query, const double* blocks, std::size_t blockSize,
                                               int sampleCount, int groupBlocks, bool mayStop, double bound,
                                               double* sums) {
  for (int b = 0; b < groupBlocks; b += 2) {
    const double* first = blocks + static_cast<std::size_t>(b) * blockSize;
    double* out = sums + static_cast<std::size_t>(b) * Lanes;
    if (groupBlocks - b >= 2) {
      avx2Blocks<2>(query, first, blockSize, sampleCount, mayStop, bound, out);
    } else {
      avx2Blocks<1>(query, first, blockSize, sampleCount, mayStop, bound, out);
    }
  }
}

// Several queries against one or two blocks: each block sample is loaded once for all of them,
// which spares the memory traffic when the vectors do not fit the processor's caches.
template <int Queries, int Blocks>
__attribute__((target("avx512f"))) void avx512Tile(const double* const* queries, const double* blocks,
                                                   std::size_t blockSize, int sampleCount, double* sums,
                                                   std::size_t stride) {
  __m512d sum[Queries][Blocks];
  for (int q = 0; q < Queries; ++q) {
    for (int b = 0; b < Blocks; ++b) sum[q][b] = _mm512_setzero_pd();
  }
  for (int s = 0; s < sampleCount; ++s) {
    __m512d values[Blocks];
    for (int b = 0; b < Blocks; ++b) {
      values[b] = _mm512_load_pd(blocks + static_cast<std::size_t>(b) * blockSize + static_cast<std::size_t>(s) * Lanes);
    }
    for (int q = 0; q < Queries; ++q) {
      const __m512d query = _mm512_set1_pd(queries[q][s]);
      for (int b = 0; b < Blocks; ++b) {
        const __m512d difference = _mm512_sub_pd(values[b], query);
        sum[q][b] = _mm512_add_pd(sum[q][b], _mm512_mul_pd(difference, difference));
      }
    }
  }
  for (int q = 0; q < Queries; ++q) {
    for (int b = 0; b < Blocks; ++b) _mm512_storeu_pd(sums + q * stride + static_cast<std::size_t>(b) * Lanes, sum[q][b]);
  }
}

template <int Queries>
__attribute__((target("avx2"))) void avx2Tile(const double* const* queries, const double* block, int sampleCount,
                                              double* sums, std::size_t stride) {
  __m256d sum[Queries][2];
  for (int q = 0; q < Queries; ++q) sum[q][0] = sum[q][1] = _mm256_setzero_pd();
  for (int s = 0; s < sampleCount; ++s) {
    const __m256d low = _mm256_load_pd(block + static_cast<std::size_t>(s) * Lanes);
    const __m256d high = _mm256_load_pd(block + static_cast<std::size_t>(s) * Lanes + 4);
    for (int q = 0; q < Queries; ++q) {
      const __m256d query = _mm256_set1_pd(queries[q][s]);
      const __m256d dLow = _mm256_sub_pd(low, query);
      const __m256d dHigh = _mm256_sub_pd(high, query);
      sum[q][0] = _mm256_add_pd(sum[q][0], _mm256_mul_pd(dLow, dLow));
      sum[q][1] = _mm256_add_pd(sum[q][1], _mm256_mul_pd(dHigh, dHigh));
    }
  }
  for (int q = 0; q < Queries; ++q) {
    _mm256_storeu_pd(sums + q * stride, sum[q][0]);
    _mm256_storeu_pd(sums + q * stride + 4, sum[q][1]);
  }
}

// The tile kernels for one to four queries.
template <int Blocks>
__attribute__((target("avx512f"))) void avx512TileFor(int queryCount, const double* const* queries,
                                                      const double* blocks, std::size_t blockSize, int sampleCount,
                                                      double* sums, std::size_t stride) {
  switch (queryCount) {
    case 4: avx512Tile<4, Blocks>(queries, blocks, blockSize, sampleCount, sums, stride); break;
    case 3: avx512Tile<3, Blocks>(queries, blocks, blockSize, sampleCount, sums, stride); break;
    case 2: avx512Tile<2, Blocks>(queries, blocks, blockSize, sampleCount, sums, stride); break;
    default: avx512Tile<1, Blocks>(queries, blocks, blockSize, sampleCount, sums, stride); break;
  }
}

__attribute__((target("avx2"))) void avx2TileFor(int queryCount, const double* const* queries, const double* block,
                                                 int sampleCount, double* sums, std::size_t stride) {
  switch (queryCount) {
    case 4: avx2Tile<4>(queries, block, sampleCount, sums, stride); break;
    case 3: avx2Tile<3>(queries, block, sampleCount, sums, stride); break;
    case 2: avx2Tile<2>(queries, block, sampleCount, sums, stride); break;
    default: avx2Tile<1>(queries, block, sampleCount, sums, stride); break;
  }
}

// The minimum takes its second operand when the first is not a number, so a root that is not a
// number gives `cap`.
// (The zero-masked forms with every lane set, since GCC 12 takes the plain ones' undefined
// pass-through for an uninitialised value.)
__attribute__((target("avx512f"))) void avx512CappedRoots(double* values, std::size_t count, double cap) {
  const __m512d limit = _mm512_set1_pd(cap);
  constexpr __mmask8 All = 0xFF;
  std::size_t k = 0;
  for (; k + 8 <= count; k += 8) {
    _mm512_storeu_pd(values + k, _mm512_maskz_min_pd(All, _mm512_maskz_sqrt_pd(All, _mm512_loadu_pd(values + k)), limit));
  }
  if (k < count) {
    const __mmask8 rest = static_cast<__mmask8>((1u << (count - k)) - 1);
    const __m512d root = _mm512_maskz_sqrt_pd(All, _mm512_maskz_loadu_pd(rest, values + k));
    _mm512_mask_storeu_pd(values + k, rest, _mm512_maskz_min_pd(All, root, limit));
  }
}

__attribute__((target("avx2"))) void avx2CappedRoots(double* values, std::size_t count, double cap) {
  const __m256d limit = _mm256_set1_pd(cap);
  std::size_t k = 0;
  for (; k + 4 <= count; k += 4) _mm256_storeu_pd(values + k, _mm256_min_pd(_mm256_sqrt_pd(_mm256_loadu_pd(values + k)), limit));
  baselineCappedRoots(values + k, count - k, cap);
}

#endif

constexpr int GroupBlocks = 4;

struct Dispatch {
  VectorLevel level = VectorLevel::Baseline;
  GroupKernel kernel = baselineGroup;
};

GroupKernel kernelFor(VectorLevel level) {
#if defined(__x86_64__)
  if (level == VectorLevel::Avx512) return avx512Group;
  if (level == VectorLevel::Avx2) return avx2Group;
#endif
  (void)level;
  return baselineGroup;
}

bool supported(VectorLevel level) {
  if (level == VectorLevel::Baseline) return true;
#if defined(__x86_64__)
  __builtin_cpu_init();
  if (level == VectorLevel::Avx2) return __builtin_cpu_supports("avx2");
  if (level == VectorLevel::Avx512) return __builtin_cpu_supports("avx512f");
#endif
  return false;
}

Dispatch& dispatch() {
  static Dispatch chosen = [] {
    Dispatch d;
    for (VectorLevel level : {VectorLevel::Avx2, VectorLevel::Avx512}) {
      if (supported(level)) d = Dispatch{level, kernelFor(level)};
    }
    return d;
  }();
  return chosen;
}

void measure(const double* query, bool mayStopAtAll, const PackedVectors& vectors, int first, int last, double bound,
             double* out) {
  if (first >= last) return;
  const GroupKernel kernel = dispatch().kernel;
  const std::size_t blockSize = static_cast<std::size_t>(vectors.sampleCount()) * Lanes;
  const int lastBlock = (last - 1) / Lanes;
  double sums[GroupBlocks * Lanes];
  for (int block = first / Lanes; block <= lastBlock; block += GroupBlocks) {
    const int groupBlocks = lastBlock - block + 1 < GroupBlocks ? lastBlock - block + 1 : GroupBlocks;
    bool mayStop = mayStopAtAll;
    for (int b = 0; b < groupBlocks && mayStop; ++b) mayStop = vectors.blockFinite(block + b);
    kernel(query, vectors.block(block), blockSize, vectors.sampleCount(), groupBlocks, mayStop, bound, sums);
    const int groupFirst = block * Lanes;
    const int from = first > groupFirst ? first : groupFirst;
    const int to = last < groupFirst + groupBlocks * Lanes ? last : groupFirst + groupBlocks * Lanes;
    for (int k = from; k < to; ++k) out[k - first] = sums[k - groupFirst];
  }
}

constexpr int TileQueries = 4;

// Up to TileQueries queries against the blocks of [first, last), `tileBlocks` blocks at a time.
void measureTile(const double* const* queries, int queryCount, const PackedVectors& vectors, int first, int last,
                 double* out, std::size_t outStride) {
  const VectorLevel level = dispatch().level;
  const std::size_t blockSize = static_cast<std::size_t>(vectors.sampleCount()) * Lanes;
  const int tileBlocks = level == VectorLevel::Avx512 ? 2 : 1;
  const int lastBlock = (last - 1) / Lanes;
  constexpr std::size_t Stride = 2 * Lanes;
  double sums[TileQueries * Stride];
  for (int block = first / Lanes; block <= lastBlock; block += tileBlocks) {
    const int blocks = lastBlock - block + 1 < tileBlocks ? lastBlock - block + 1 : tileBlocks;
    const double* values = vectors.block(block);
#if defined(__x86_64__)
    if (level == VectorLevel::Avx512 && blocks == 2) {
      avx512TileFor<2>(queryCount, queries, values, blockSize, vectors.sampleCount(), sums, Stride);
    } else if (level == VectorLevel::Avx512) {
      avx512TileFor<1>(queryCount, queries, values, blockSize, vectors.sampleCount(), sums, Stride);
    } else if (level == VectorLevel::Avx2) {
      avx2TileFor(queryCount, queries, values, vectors.sampleCount(), sums, Stride);
    } else
#endif
    {
      for (int q = 0; q < queryCount; ++q) {
        dispatch().kernel(queries[q], values, blockSize, vectors.sampleCount(), blocks, false, 0.0, sums + q * Stride);
      }
    }
    const int tileFirst = block * Lanes;
    const int from = first > tileFirst ? first : tileFirst;
    const int to = last < tileFirst + blocks * Lanes ? last : tileFirst + blocks * Lanes;
    for (int q = 0; q < queryCount; ++q) {
      for (int k = from; k < to; ++k) out[q * outStride + static_cast<std::size_t>(k - first)] = sums[q * Stride + static_cast<std::size_t>(k - tileFirst)];
    }
  }
}

}  // namespace

void squaredDistancesMany(const double* const* queries, int queryCount, const PackedVectors& vectors, int first,
                          int last, double* out, std::size_t outStride) {
  if (first >= last) return;
  for (int q = 0; q < queryCount; q += TileQueries) {
    const int count = queryCount - q < TileQueries ? queryCount - q : TileQueries;
    measureTile(queries + q, count, vectors, first, last, out + static_cast<std::size_t>(q) * outStride, outStride);
  }
}

void PackedVectors::AlignedDelete::operator()(double* values) const {
  ::operator delete[](values, std::align_val_t(Alignment));
}

PackedVectors::PackedVectors(int capacity, int sampleCount)
    : sampleCount_(sampleCount),
      nonFinite_(static_cast<std::size_t>(capacity), 0),
      nonFinitePerBlock_(static_cast<std::size_t>((capacity + Lanes - 1) / Lanes), 0) {
  // Whole blocks, so that the last block's unused lanes can be measured like the others.
  const std::size_t count =
      static_cast<std::size_t>((capacity + Lanes - 1) / Lanes) * static_cast<std::size_t>(blockSize());
  const std::size_t allocated = count > 0 ? count : 1;
  values_.reset(static_cast<double*>(::operator new[](allocated * sizeof(double), std::align_val_t(Alignment))));
  std::memset(values_.get(), 0, allocated * sizeof(double));
}

void PackedVectors::assign(int index, const double* values) {
  for (int s = 0; s < sampleCount_; ++s) values_[offset(index, s)] = values[s];
  const char nonFinite = allFinite(values, sampleCount_) ? 0 : 1;
  char& kept = nonFinite_[static_cast<std::size_t>(index)];
  nonFinitePerBlock_[static_cast<std::size_t>(index / Lanes)] += nonFinite - kept;
  kept = nonFinite;
}

void squaredDistances(const double* query, const PackedVectors& vectors, int first, int last, double* out) {
  measure(query, false, vectors, first, last, 0.0, out);
}

void squaredDistancesBounded(const double* query, bool queryFinite, const PackedVectors& vectors, int first, int last,
                             double bound, double* out) {
  measure(query, queryFinite, vectors, first, last, bound, out);
}

double squaredBound(double distance) {
  if (std::isnan(distance)) return distance;
  if (distance < 0.0) return -1.0;  // no square root is negative
  constexpr double Up = std::numeric_limits<double>::infinity();
  double bound = distance * distance;
  if (std::isinf(distance)) return bound;
  while (std::sqrt(bound) > distance) bound = std::nextafter(bound, -Up);
  while (!std::isinf(bound) && std::sqrt(std::nextafter(bound, Up)) <= distance) bound = std::nextafter(bound, Up);
  return bound;
}

void cappedRoots(double* values, std::size_t count, double cap) {
#if defined(__x86_64__)
  const VectorLevel level = dispatch().level;
  if (level == VectorLevel::Avx512) return avx512CappedRoots(values, count, cap);
  if (level == VectorLevel::Avx2) return avx2CappedRoots(values, count, cap);
#endif
  baselineCappedRoots(values, count, cap);
}

bool allFinite(const double* values, int sampleCount) {
  for (int s = 0; s < sampleCount; ++s) {
    if (!std::isfinite(values[s])) return false;
  }
  return true;
}

std::vector<VectorLevel> supportedVectorLevels() {
  std::vector<VectorLevel> levels;
  for (VectorLevel level : {VectorLevel::Baseline, VectorLevel::Avx2, VectorLevel::Avx512}) {
    if (supported(level)) levels.push_back(level);
  }
  return levels;
}

VectorLevel currentVectorLevel() { return dispatch().level; }

void useVectorLevel(VectorLevel level) {
  if (supported(level)) dispatch() = Dispatch{level, kernelFor(level)};
}

const char* vectorLevelName(VectorLevel level) {
  switch (level) {
    case VectorLevel::Baseline: return "baseline";
    case VectorLevel::Avx2: return "AVX2";
    case VectorLevel::Avx512: return "AVX-512";
  }
  return "?";
}

}  // namespace clustering
