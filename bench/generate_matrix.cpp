// Writes a generated expression matrix on standard output, for timing the engines:
//   generate_matrix <genes> <samples> <seed> [shape]
// The shape is one of the generator's (profiles, the default, or standardised for data shaped
// like a published study; the others plant ties). One seed gives the same bytes on every host.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "bench/matrix_generator.h"

namespace {

bool readCount(const char* text, long long low, long long high, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv) {
  long long genes = 0;
  long long samples = 0;
  long long seed = 0;
  const std::optional<generated::Shape> shape =
      argc == 5 ? generated::shapeNamed(argv[4]) : std::optional<generated::Shape>(generated::Shape::Profiles);
  if ((argc != 4 && argc != 5) || !readCount(argv[1], 1, 100000000, genes) ||
      !readCount(argv[2], 0, clustering::MaxSamples, samples) || !readCount(argv[3], 0, 0x7FFFFFFFFFFFFFFFLL, seed) ||
      !shape) {
    std::string shapes;
    for (generated::Shape each : generated::AllShapes) shapes += std::string(shapes.empty() ? "" : "|") + shapeName(each);
    std::fprintf(stderr, "usage: generate_matrix <genes 1..> <samples 0..%d> <seed> [%s]\n", clustering::MaxSamples,
                 shapes.c_str());
    return 2;
  }
  const generated::Matrix matrix =
      generated::generateMatrix(static_cast<std::uint64_t>(seed), *shape, static_cast<int>(genes), static_cast<int>(samples));
  std::ios::sync_with_stdio(false);
  generated::writeMatrix(std::cout, matrix);
  std::cout.flush();
  return std::cout ? 0 : 1;
}
