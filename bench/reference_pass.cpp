// The yardstick of the engines' speed: one pass over all geneCount x (geneCount - 1) / 2 row
// pairs of a matrix, each squared Euclidean distance summed in sample order by a plain scalar
// loop. An engine's time divided by this pass's time says how many such passes it costs, a
// figure that hardly depends on the machine.
//   reference_pass <matrix file> <genes> <samples>
// Prints the seconds of the pass alone (the loading is not timed; the fastest of three runs,
// since a shared machine only ever slows a run down) and, for comparison, of the same pass
// measured with the engines' packed distances, the instructions those used, and the difference
// of the two passes' checksums (0: the same sums), which also keeps the compiler from leaving
// a pass out.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "common/gene_row.h"
#include "common/packed_vectors.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The sum of the squared distances of all pairs.
double referencePass(const std::vector<double>& values, int geneCount, int sampleCount) {
  double checksum = 0.0;
  for (int i = 0; i < geneCount; ++i) {
    const double* a = values.data() + static_cast<std::size_t>(i) * sampleCount;
    for (int j = i + 1; j < geneCount; ++j) {
      const double* b = values.data() + static_cast<std::size_t>(j) * sampleCount;
      double sum = 0.0;
      for (int s = 0; s < sampleCount; ++s) {
        const double difference = a[s] - b[s];
        sum = sum + difference * difference;
      }
      checksum += sum;
    }
  }
  return checksum;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: reference_pass <matrix file> <genes> <samples>\n");
    return 2;
  }
  const int geneCount = std::atoi(argv[2]);
  const int sampleCount = std::atoi(argv[3]);
  std::ifstream file(argv[1], std::ios::binary);
  clustering::TokenReader tokens(file);
  std::vector<clustering::GeneRow> rows;
  try {
    rows = clustering::loadGeneRows<clustering::GeneRow>(tokens, argv[1], geneCount, sampleCount);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "reference_pass: %s\n", error.what());
    return 1;
  }
  // The rows side by side, as a plain program would hold them.
  std::vector<double> values(static_cast<std::size_t>(geneCount) * static_cast<std::size_t>(sampleCount));
  for (int i = 0; i < geneCount; ++i) {
    for (int s = 0; s < sampleCount; ++s) {
      values[static_cast<std::size_t>(i) * sampleCount + s] = rows[static_cast<std::size_t>(i)].values[s];
    }
  }

  constexpr int Runs = 3;
  double passSeconds = 0.0;
  double checksum = 0.0;
  for (int run = 0; run < Runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    checksum = referencePass(values, geneCount, sampleCount);
    const double seconds = secondsSince(start);
    if (run == 0 || seconds < passSeconds) passSeconds = seconds;
  }

  const clustering::PackedVectors packed = clustering::PackedVectors::ofRows(rows, sampleCount);
  // Four rows at a time against all rows after the first of them.
  constexpr int Queries = 4;
  std::vector<double> sums(static_cast<std::size_t>(geneCount) * Queries);
  const auto start = std::chrono::steady_clock::now();
  double packedChecksum = 0.0;
  for (int i = 0; i < geneCount; i += Queries) {
    const int count = geneCount - i < Queries ? geneCount - i : Queries;
    const double* queries[Queries];
    for (int q = 0; q < count; ++q) queries[q] = rows[static_cast<std::size_t>(i + q)].values.data();
    clustering::squaredDistancesMany(queries, count, packed, i + 1, geneCount, sums.data(), static_cast<std::size_t>(geneCount));
    for (int q = 0; q < count; ++q) {
      for (int j = i + q + 1; j < geneCount; ++j) packedChecksum += sums[static_cast<std::size_t>(q) * geneCount + (j - i - 1)];
    }
  }
  const double packedSeconds = secondsSince(start);
  std::printf("%.4f %.4f %s %.17g\n", passSeconds, packedSeconds,
              clustering::vectorLevelName(clustering::currentVectorLevel()), checksum - packedChecksum);
  return 0;
}
