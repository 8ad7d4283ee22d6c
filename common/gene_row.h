// One gene in memory and the loading of the matrix into a table of them.
//
// A row holds its name (kept whole, whatever its length) and room for `MaxSamples` values, of
// which the first `sampleCount` are the row's values in file order; the rest stay zero. The
// value type is double for five engines and float for korrin; sting derives a row with its
// grid fields. Row i of the table is the i-th row of the matrix file, counted from 0.
#pragma once

#include <array>
#include <cmath>
#include <string>
#include <type_traits>
#include <vector>

#include "common/failure.h"
#include "common/tokens.h"

namespace clustering {

inline constexpr int MaxSamples = 100;
inline constexpr double InfiniteDistance = 999999.0;

template <typename Value>
struct BasicGeneRow {
  using ValueType = Value;
  std::string name;
  std::array<Value, MaxSamples> values{};
};

using GeneRow = BasicGeneRow<double>;

// Euclidean distance over the first `sampleCount` values: squared differences summed in sample
// order, the running sum rounded to double after each addition, then the square root.
inline double euclideanDistance(const double* a, const double* b, int sampleCount) {
  double sum = 0.0;
  for (int s = 0; s < sampleCount; ++s) {
    const double difference = a[s] - b[s];
    sum = sum + difference * difference;
  }
  return std::sqrt(sum);
}

inline double euclideanDistance(const GeneRow& a, const GeneRow& b, int sampleCount) {
  return euclideanDistance(a.values.data(), b.values.data(), sampleCount);
}

// The message for a matrix value that cannot be used, naming row (1-based), gene, sample
// (1-based) and token, the gene and the token quoted as printable.h quotes them.
std::string badValueMessage(const std::string& matrixLabel, int row, const std::string& name, int sample,
                            const std::string& token, NumberParse problem, bool singlePrecision);
// A name or value longer than MaxTokenLength; `sample` 0 stands for the name.
std::string longTokenMessage(const std::string& matrixLabel, int row, const std::string& name, int sample,
                             const std::string& token);
std::string shortMatrixMessage(const std::string& matrixLabel, int completeRows, int geneCount);

// Reads `geneCount` rows of a name and `sampleCount` numbers each. A value that is no number or
// does not fit, a name or value longer than MaxTokenLength, and a matrix that ends before the
// last row is complete, are refused; whatever follows the last row is never read. The table
// grows with the rows read, so a gene count far beyond the matrix (a slip of the keyboard) meets
// the short-matrix refusal, not the memory limit.
template <typename Row>
std::vector<Row> loadGeneRows(TokenReader& matrix, const std::string& matrixLabel, int geneCount,
                              int sampleCount) {
  using Value = typename Row::ValueType;
  constexpr int RowsReservedAhead = 1 << 14;
  std::vector<Row> rows;
  rows.reserve(static_cast<std::size_t>(geneCount < RowsReservedAhead ? geneCount : RowsReservedAhead));
  std::string token;
  for (int i = 0; i < geneCount; ++i) {
    Row& row = rows.emplace_back();
    const TokenRead name = matrix.next(row.name);
    if (name == TokenRead::End) throw EngineError(shortMatrixMessage(matrixLabel, i, geneCount));
    if (name == TokenRead::TooLong) throw EngineError(longTokenMessage(matrixLabel, i + 1, row.name, 0, row.name));
    for (int s = 0; s < sampleCount; ++s) {
      const TokenRead value = matrix.next(token);
      if (value == TokenRead::End) throw EngineError(shortMatrixMessage(matrixLabel, i, geneCount));
      if (value == TokenRead::TooLong) throw EngineError(longTokenMessage(matrixLabel, i + 1, row.name, s + 1, token));
      const NumberParse parsed = parseNumber(token, row.values[static_cast<std::size_t>(s)]);
      if (parsed != NumberParse::Ok) {
        throw EngineError(badValueMessage(matrixLabel, i + 1, row.name, s + 1, token, parsed,
                                          std::is_same_v<Value, float>));
      }
    }
  }
  return rows;
}

}  // namespace clustering
