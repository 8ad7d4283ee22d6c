#include "korrin/fast_reassign.h"

#include <algorithm>

#include "common/packed_vectors.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace korrin {

namespace {

using clustering::VectorLevel;

// The lanes of the means are padded to a whole number of the widest registers; the padding lanes
// hold zero means whose sums are never looked at.
constexpr std::size_t LanesPerRegister512 = 8;
constexpr std::size_t LanesPerRegister256 = 4;
// Genes measured together, so that each sample of the means is loaded once for all of them and
// their sums overlap in time.
constexpr int GenesTogether = 4;
// Registers of means measured together; more clusters are measured in further rounds.
constexpr int MeanRegistersTogether = 4;

// Value s of cluster c at values[s * laneCount + c].
struct MeansSideBySide {
  std::size_t laneCount = 0;
  std::vector<double> values;
};

MeansSideBySide sideBySide(const std::vector<Centroid>& centroids, int sampleCount) {
  MeansSideBySide means;
  means.laneCount = (centroids.size() + LanesPerRegister512 - 1) / LanesPerRegister512 * LanesPerRegister512;
  means.values.assign(static_cast<std::size_t>(sampleCount) * means.laneCount, 0.0);
  for (std::size_t c = 0; c < centroids.size(); ++c) {
    for (std::size_t s = 0; s < static_cast<std::size_t>(sampleCount); ++s) {
      means.values[s * means.laneCount + c] = static_cast<double>(centroids[c][s]);
    }
  }
  return means;
}

// sums[g * laneCount + lane] for the genes g < geneCount and every lane. Plain C++: each lane's
// sum alone, in sample order; a compiler that vectorises it keeps the lanes apart.
void baselineSums(const float* const* genes, int geneCount, const MeansSideBySide& means, int sampleCount,
                  float* sums) {
  for (int g = 0; g < geneCount; ++g) {
    float* out = sums + static_cast<std::size_t>(g) * means.laneCount;
    std::fill(out, out + means.laneCount, 0.0f);
    for (int s = 0; s < sampleCount; ++s) {
      const double value = static_cast<double>(genes[g][s]);
      const double* column = means.values.data() + static_cast<std::size_t>(s) * means.laneCount;
      for (std::size_t lane = 0; lane < means.laneCount; ++lane) {
        const double difference = value - column[lane];
        out[lane] = static_cast<float>(static_cast<double>(out[lane]) + difference * difference);
      }
    }
  }
}

#if defined(__x86_64__)

// Conversions between the lanes in double and in single precision. The forms with every lane
// selected convert as the plain ones do; GCC 12 takes the plain ones' unused placeholder for an
// uninitialised value.
constexpr __mmask8 AllLanes = 0xFF;
__attribute__((target("avx512f"))) inline __m256 narrowed(__m512d lanes) { return _mm512_maskz_cvtpd_ps(AllLanes, lanes); }
__attribute__((target("avx512f"))) inline __m512d widened(__m256 lanes) { return _mm512_maskz_cvtps_pd(AllLanes, lanes); }

// `Genes` genes against `Registers` registers of means from `column0` on (the lanes of one round).
template <int Genes, int Registers>
__attribute__((target("avx512f"))) void avx512Round(const float* const* genes, const double* column0,
                                                    std::size_t laneCount, int sampleCount, float* sums) {
  __m512d sum[Genes][Registers];
  for (int g = 0; g < Genes; ++g) {
    for (int r = 0; r < Registers; ++r) sum[g][r] = _mm512_setzero_pd();
  }
  for (int s = 0; s < sampleCount; ++s) {
    const double* column = column0 + static_cast<std::size_t>(s) * laneCount;
    __m512d mean[Registers];
    for (int r = 0; r < Registers; ++r) mean[r] = _mm512_loadu_pd(column + r * LanesPerRegister512);
    for (int g = 0; g < Genes; ++g) {
      const __m512d value = _mm512_set1_pd(static_cast<double>(genes[g][s]));
      for (int r = 0; r < Registers; ++r) {
        const __m512d difference = _mm512_sub_pd(value, mean[r]);
        const __m512d added = _mm512_add_pd(sum[g][r], _mm512_mul_pd(difference, difference));
        sum[g][r] = widened(narrowed(added));  // rounded to single precision
      }
    }
  }
  for (int g = 0; g < Genes; ++g) {
    for (int r = 0; r < Registers; ++r) {
      _mm256_storeu_ps(sums + static_cast<std::size_t>(g) * laneCount + r * LanesPerRegister512,
                       narrowed(sum[g][r]));
    }
  }
}

template <int Genes, int Registers>
__attribute__((target("avx2"))) void avx2Round(const float* const* genes, const double* column0, std::size_t laneCount,
                                               int sampleCount, float* sums) {
  __m256d sum[Genes][Registers];
  for (int g = 0; g < Genes; ++g) {
    for (int r = 0; r < Registers; ++r) sum[g][r] = _mm256_setzero_pd();
  }
  for (int s = 0; s < sampleCount; ++s) {
    const double* column = column0 + static_cast<std::size_t>(s) * laneCount;
    __m256d mean[Registers];
    for (int r = 0; r < Registers; ++r) mean[r] = _mm256_loadu_pd(column + r * LanesPerRegister256);
    for (int g = 0; g < Genes; ++g) {
      const __m256d value = _mm256_set1_pd(static_cast<double>(genes[g][s]));
      for (int r = 0; r < Registers; ++r) {
        const __m256d difference = _mm256_sub_pd(value, mean[r]);
        const __m256d added = _mm256_add_pd(sum[g][r], _mm256_mul_pd(difference, difference));
        sum[g][r] = _mm256_cvtps_pd(_mm256_cvtpd_ps(added));  // rounded to single precision
      }
    }
  }
  for (int g = 0; g < Genes; ++g) {
    for (int r = 0; r < Registers; ++r) {
      _mm_storeu_ps(sums + static_cast<std::size_t>(g) * laneCount + r * LanesPerRegister256,
                    _mm256_cvtpd_ps(sum[g][r]));
    }
  }
}

using RoundKernel = void (*)(const float* const*, const double*, std::size_t, int, float*);

template <int Genes>
RoundKernel roundKernel(VectorLevel level, int registers) {
  static constexpr RoundKernel avx512[] = {avx512Round<Genes, 1>, avx512Round<Genes, 2>, avx512Round<Genes, 3>,
                                           avx512Round<Genes, 4>};
  static constexpr RoundKernel avx2[] = {avx2Round<Genes, 1>, avx2Round<Genes, 2>, avx2Round<Genes, 3>,
                                         avx2Round<Genes, 4>};
  return (level == VectorLevel::Avx512 ? avx512 : avx2)[registers - 1];
}

// The genes' sums for every lane, in rounds of at most MeanRegistersTogether registers.
void vectorSums(VectorLevel level, const float* const* genes, int geneCount, const MeansSideBySide& means,
                int sampleCount, float* sums) {
  const std::size_t lanesPerRegister = level == VectorLevel::Avx512 ? LanesPerRegister512 : LanesPerRegister256;
  const int registerCount = static_cast<int>(means.laneCount / lanesPerRegister);
  for (int first = 0; first < registerCount; first += MeanRegistersTogether) {
    const int registers = std::min(MeanRegistersTogether, registerCount - first);
    const std::size_t firstLane = static_cast<std::size_t>(first) * lanesPerRegister;
    const double* column0 = means.values.data() + firstLane;
    if (geneCount == GenesTogether) {
      roundKernel<GenesTogether>(level, registers)(genes, column0, means.laneCount, sampleCount, sums + firstLane);
      continue;
    }
    for (int g = 0; g < geneCount; ++g) {
      roundKernel<1>(level, registers)(genes + g, column0, means.laneCount, sampleCount,
                                       sums + static_cast<std::size_t>(g) * means.laneCount + firstLane);
    }
  }
}

#endif

}  // namespace

void FastReassignStep::reassignGenes(const std::vector<GeneRow>& rows, int sampleCount,
                                     const std::vector<Centroid>& centroids, std::vector<int>& membership) const {
  const MeansSideBySide means = sideBySide(centroids, sampleCount);
  const VectorLevel level = clustering::currentVectorLevel();
  std::vector<float> sums(static_cast<std::size_t>(GenesTogether) * means.laneCount);
  for (std::size_t first = 0; first < rows.size(); first += GenesTogether) {
    const int geneCount = static_cast<int>(std::min<std::size_t>(GenesTogether, rows.size() - first));
    const float* genes[GenesTogether];
    for (int g = 0; g < geneCount; ++g) genes[g] = rows[first + static_cast<std::size_t>(g)].values.data();
#if defined(__x86_64__)
    if (level != VectorLevel::Baseline) {
      vectorSums(level, genes, geneCount, means, sampleCount, sums.data());
    } else
#endif
    {
      baselineSums(genes, geneCount, means, sampleCount, sums.data());
    }
    for (int g = 0; g < geneCount; ++g) {
      const float* distances = sums.data() + static_cast<std::size_t>(g) * means.laneCount;
      int bestCluster = 0;
      float best = distances[0];
      for (std::size_t c = 1; c < centroids.size(); ++c) {
        if (distances[c] < best) {
          best = distances[c];
          bestCluster = static_cast<int>(c);
        }
      }
      membership[first + static_cast<std::size_t>(g)] = bestCluster;
    }
  }
}

}  // namespace korrin
