#include "bench/matrix_generator.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace generated {

namespace {

constexpr const char* ShapeNames[] = {"profiles", "standardised", "small-integers", "signs",      "repeated-rows",
                                      "eighths",  "decimals",     "far-apart",      "overflowing"};

// A random walk over the samples in thousandths, kept between 0.3 and 12.
std::vector<std::int64_t> drawProfile(Draws& draws, int sampleCount) {
  std::vector<std::int64_t> profile(static_cast<std::size_t>(sampleCount));
  std::int64_t level = draws.between(std::int64_t{2000}, std::int64_t{8000});
  for (std::int64_t& value : profile) {
    level += draws.between(std::int64_t{-900}, std::int64_t{900});
    if (level < 300) level = 300;
    if (level > 12000) level = 12000;
    value = level;
  }
  return profile;
}

// Genes around profiles, in thousandths: per gene a profile, a scale of 0.85 to 1.15 and per
// sample noise of three uniform draws within the profile's own width, which gathers it near zero
// like a bell.
std::vector<std::vector<std::int64_t>> drawProfileGenes(Draws& draws, int geneCount, int sampleCount) {
  const int profileCount = draws.between(3, 40);
  std::vector<std::vector<std::int64_t>> profiles;
  std::vector<std::int64_t> noiseWidth;
  for (int p = 0; p < profileCount; ++p) {
    profiles.push_back(drawProfile(draws, sampleCount));
    noiseWidth.push_back(draws.between(std::int64_t{20}, std::int64_t{600}));
  }
  std::vector<std::vector<std::int64_t>> genes(static_cast<std::size_t>(geneCount));
  for (auto& gene : genes) {
    const auto p = static_cast<std::size_t>(draws.between(0, profileCount - 1));
    const std::int64_t scale = draws.between(std::int64_t{850}, std::int64_t{1150});
    const std::int64_t width = noiseWidth[p];
    for (const std::int64_t level : profiles[p]) {
      const std::int64_t noise = draws.between(-width, width) + draws.between(-width, width) + draws.between(-width, width);
      gene.push_back(level * scale / 1000 + noise);
    }
  }
  return genes;
}

void fillProfiles(Draws& draws, Matrix& matrix) {
  const auto genes = drawProfileGenes(draws, static_cast<int>(matrix.rows.size()), matrix.sampleCount);
  for (std::size_t i = 0; i < genes.size(); ++i) {
    for (int s = 0; s < matrix.sampleCount; ++s) {
      matrix.rows[i].values[static_cast<std::size_t>(s)] = static_cast<double>(genes[i][static_cast<std::size_t>(s)]) / 1000.0;
    }
  }
}

void fillStandardised(Draws& draws, Matrix& matrix) {
  constexpr std::int64_t DetectionLevel = 2500;  // thousandths; below it a value reads as the level
  const auto genes = drawProfileGenes(draws, static_cast<int>(matrix.rows.size()), matrix.sampleCount);
  const int n = matrix.sampleCount;
  std::vector<double> compressed(static_cast<std::size_t>(n));
  for (std::size_t i = 0; i < genes.size(); ++i) {
    double mean = 0.0;
    for (int s = 0; s < n; ++s) {
      const std::int64_t raw = genes[i][static_cast<std::size_t>(s)];
      compressed[static_cast<std::size_t>(s)] = std::sqrt(static_cast<double>(raw < DetectionLevel ? DetectionLevel : raw));
      mean += compressed[static_cast<std::size_t>(s)];
    }
    mean = n > 0 ? mean / n : 0.0;
    double square = 0.0;
    for (int s = 0; s < n; ++s) {
      const double d = compressed[static_cast<std::size_t>(s)] - mean;
      square += d * d;
    }
    const double deviation = n > 1 ? std::sqrt(square / (n - 1)) : 0.0;
    for (int s = 0; s < n; ++s) {
      const double z = deviation > 0.0 ? (compressed[static_cast<std::size_t>(s)] - mean) / deviation : 0.0;
      matrix.rows[i].values[static_cast<std::size_t>(s)] = std::nearbyint(z * 100000.0) / 100000.0;
    }
  }
}

double drawTieValue(Draws& draws, Shape shape) {
  switch (shape) {
    case Shape::SmallIntegers: return draws.between(0, 2);
    case Shape::Signs: return draws.between(-1, 1);
    case Shape::RepeatedRows: return draws.between(-3, 3);
    case Shape::Eighths: return draws.between(-40, 40) / 8.0;
    case Shape::Decimals: return draws.between(-10000, 10000) / 1000.0;
    case Shape::FarApart: return 333333.0 * draws.between(0, 4);
    case Shape::Overflowing:
      switch (draws.between(0, 15)) {
        case 0: return 1.5e308;
        case 1: return -1.5e308;
        default: return draws.between(0, 2);
      }
    default: return 0.0;
  }
}

void fillTieValues(Draws& draws, Shape shape, Matrix& matrix) {
  std::vector<clustering::GeneRow> originals;
  if (shape == Shape::RepeatedRows) originals.resize(1 + matrix.rows.size() / 5);
  for (auto& original : originals) {
    for (int s = 0; s < matrix.sampleCount; ++s) original.values[static_cast<std::size_t>(s)] = drawTieValue(draws, shape);
  }
  for (auto& row : matrix.rows) {
    if (!originals.empty()) {
      row.values = originals[static_cast<std::size_t>(draws.between(0, static_cast<int>(originals.size()) - 1))].values;
      continue;
    }
    for (int s = 0; s < matrix.sampleCount; ++s) row.values[static_cast<std::size_t>(s)] = drawTieValue(draws, shape);
  }
}

}  // namespace

const char* shapeName(Shape shape) { return ShapeNames[static_cast<int>(shape)]; }

std::optional<Shape> shapeNamed(std::string_view name) {
  for (Shape shape : AllShapes) {
    if (name == shapeName(shape)) return shape;
  }
  return std::nullopt;
}

std::uint64_t Draws::next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::int64_t Draws::between(std::int64_t low, std::int64_t high) {
  return low + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(high - low + 1));
}

Matrix generateMatrix(Draws& draws, Shape shape, int geneCount, int sampleCount) {
  Matrix matrix;
  matrix.label = std::string(shapeName(shape)) + " " + std::to_string(geneCount) + " x " + std::to_string(sampleCount);
  matrix.sampleCount = sampleCount;
  matrix.rows.resize(static_cast<std::size_t>(geneCount));
  for (int i = 0; i < geneCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "GENE%05d", i + 1);
    matrix.rows[static_cast<std::size_t>(i)].name = name;
  }
  if (shape == Shape::Profiles) {
    fillProfiles(draws, matrix);
  } else if (shape == Shape::Standardised) {
    fillStandardised(draws, matrix);
  } else {
    fillTieValues(draws, shape, matrix);
  }
  return matrix;
}

Matrix generateMatrix(std::uint64_t seed, Shape shape, int geneCount, int sampleCount) {
  Draws draws(seed);
  return generateMatrix(draws, shape, geneCount, sampleCount);
}

Matrix drawCase(std::uint64_t seed, int minGenes, int maxGenes, int maxSamples) {
  Draws draws(seed);
  const int geneCount = draws.between(minGenes, maxGenes);
  const int fewSamples = maxSamples < 3 ? maxSamples : 3;
  const int sampleCount = draws.between(0, 1) == 0 ? draws.between(0, fewSamples) : draws.between(fewSamples, maxSamples);
  const Shape shape = AllShapes[draws.between(0, static_cast<int>(std::size(AllShapes)) - 1)];
  Matrix matrix = generateMatrix(draws, shape, geneCount, sampleCount);
  matrix.label = "case " + std::to_string(seed) + ": " + matrix.label;
  return matrix;
}

void writeMatrix(std::ostream& out, const Matrix& matrix) {
  std::string line;
  for (const clustering::GeneRow& row : matrix.rows) {
    line = row.name;
    for (int s = 0; s < matrix.sampleCount; ++s) {
      char text[64];
      const auto written = std::to_chars(text, text + sizeof text, row.values[static_cast<std::size_t>(s)]);
      line += '\t';
      line.append(text, written.ptr);
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

}  // namespace generated
