// Generated expression matrices: the one generator of the bench's timing matrices and of the
// tables on which the tests hold each engine's fast method against its literal one.
//
// Gene-like shapes stand for what users bring; the other shapes plant ties on purpose (equal
// distances, exact centroids, distances of exactly InfiniteDistance, overflowing sums), since
// that is where a fast method's tie rules and kept quantities are put to the test. One seed
// gives the same values on every host: the draws are our own, and every value is formed by
// exact or correctly rounded IEEE operations only. Every value is written as the shortest text
// that reads back as the same double, so an engine reading the file sees the very rows the
// tests hold in memory.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "common/gene_row.h"

namespace generated {

enum class Shape {
  // Rows around a few to a few dozen profiles (random walks over the samples), each profile with
  // a noise width of its own, every gene a scaled copy of its profile plus noise; three decimals.
  Profiles,
  // Expression data as studies publish it: profile rows floored at a detection level (so many
  // values repeat), compressed, then standardised per gene (mean 0, deviation 1); five decimals.
  // Many near-ties between genes of one profile.
  Standardised,
  SmallIntegers,  // 0, 1 or 2: many equal distances
  Signs,          // -1, 0 or 1: merged centroids often lie exactly as far as a kept partner
  RepeatedRows,   // copies of a few rows of integers from -3 to 3
  Eighths,        // multiples of 1/8 from -5 to 5: exact sums and means
  Decimals,       // three decimals from -10 to 10
  FarApart,       // multiples of 333333 up to 1333332: distances exactly at InfiniteDistance
  Overflowing,    // small integers and here and there plus or minus 1.5e308
};

inline constexpr Shape AllShapes[] = {Shape::Profiles, Shape::Standardised, Shape::SmallIntegers,
                                      Shape::Signs,    Shape::RepeatedRows, Shape::Eighths,
                                      Shape::Decimals, Shape::FarApart,     Shape::Overflowing};

const char* shapeName(Shape shape);
std::optional<Shape> shapeNamed(std::string_view name);

// SplitMix64: a sequence fixed by its seed alone, the same with every compiler and library.
class Draws {
 public:
  explicit Draws(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  // A whole number from `low` to `high`, both included.
  std::int64_t between(std::int64_t low, std::int64_t high);
  int between(int low, int high) { return static_cast<int>(between(std::int64_t{low}, std::int64_t{high})); }

 private:
  std::uint64_t state_;
};

struct Matrix {
  std::string label;  // shape and size, for messages
  int sampleCount = 0;
  std::vector<clustering::GeneRow> rows;  // named GENE00001, GENE00002, ...
};

Matrix generateMatrix(Draws& draws, Shape shape, int geneCount, int sampleCount);
Matrix generateMatrix(std::uint64_t seed, Shape shape, int geneCount, int sampleCount);

// Case `seed` of a family for differential tests: the gene count from `minGenes` to `maxGenes`,
// the sample count from 0 to `maxSamples` (few samples half the time, where ties are likely)
// and the shape drawn among all of them.
Matrix drawCase(std::uint64_t seed, int minGenes, int maxGenes, int maxSamples);

// The matrix file: per gene its name and its values, separated by tabs, one gene per line.
void writeMatrix(std::ostream& out, const Matrix& matrix);

}  // namespace generated
