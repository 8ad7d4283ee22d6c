// Writes a generated expression matrix on standard output, for timing the engines:
//   generate_matrix <genes> <samples> <seed>
// Rows look like genes of an expression study: a few dozen expression profiles (centres), each
// a random walk over the samples, and every gene a scaled, noisy copy of one of them. Values
// carry three decimals. All arithmetic is on whole thousandths with our own generator, so one
// seed gives the same bytes on every host and with every compiler.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int MaxSamples = 100;  // what an engine's gene row holds
constexpr int CentreCount = 36;

// SplitMix64: a small generator whose sequence is fixed by its seed alone.
class Generator {
 public:
  explicit Generator(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A whole number from `low` to `high`, both included.
  std::int64_t between(std::int64_t low, std::int64_t high) {
    return low + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(high - low + 1));
  }

 private:
  std::uint64_t state_;
};

bool readCount(const char* text, long long low, long long high, long long& value) {
  char* end = nullptr;
  value = std::strtoll(text, &end, 10);
  return end != text && *end == '\0' && value >= low && value <= high;
}

// Thousandths as a decimal with three places: -1234 prints as -1.234.
void appendThousandths(std::string& line, std::int64_t thousandths) {
  if (thousandths < 0) {
    line += '-';
    thousandths = -thousandths;
  }
  char digits[32];
  std::snprintf(digits, sizeof digits, "%lld.%03lld", static_cast<long long>(thousandths / 1000),
                static_cast<long long>(thousandths % 1000));
  line += digits;
}

}  // namespace

int main(int argc, char** argv) {
  long long genes = 0;
  long long samples = 0;
  long long seed = 0;
  if (argc != 4 || !readCount(argv[1], 1, 100000000, genes) || !readCount(argv[2], 0, MaxSamples, samples) ||
      !readCount(argv[3], 0, 0x7FFFFFFFFFFFFFFFLL, seed)) {
    std::fprintf(stderr, "usage: generate_matrix <genes 1..> <samples 0..%d> <seed>\n", MaxSamples);
    return 2;
  }
  Generator random(static_cast<std::uint64_t>(seed));

  // Each centre: a starting level, then steps up or down from sample to sample.
  std::vector<std::vector<std::int64_t>> centres(CentreCount, std::vector<std::int64_t>(static_cast<std::size_t>(samples)));
  for (auto& centre : centres) {
    std::int64_t level = random.between(2000, 8000);
    for (auto& value : centre) {
      level += random.between(-900, 900);
      if (level < 300) level = 300;
      if (level > 12000) level = 12000;
      value = level;
    }
  }

  std::string line;
  for (long long gene = 1; gene <= genes; ++gene) {
    const auto& centre = centres[static_cast<std::size_t>(random.between(0, CentreCount - 1))];
    const std::int64_t scale = random.between(850, 1150);  // thousandths of the centre's level
    char name[32];
    std::snprintf(name, sizeof name, "GENE%05lld", gene);
    line = name;
    for (const std::int64_t level : centre) {
      // Noise: three uniform draws added, which gathers it near zero like a bell.
      const std::int64_t noise = random.between(-150, 150) + random.between(-150, 150) + random.between(-150, 150);
      line += '\t';
      appendThousandths(line, level * scale / 1000 + noise);
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
