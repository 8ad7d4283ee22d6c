// The engines' one source of chance: a 32-bit linear congruential sequence. Each draw advances
// the state to state * 214013 + 2531011 (modulo 2^32) and yields bits 16 to 30 of the new
// state, a number in 0..32767. The process sequence starts at state 1 and is never reseeded,
// so the same matrix, run files and answers always give the same clusters; every draw counts,
// so the order of the draws shapes each engine's result.
#pragma once

#include <cstdint>

namespace clustering {

inline constexpr int RandomMax = 32767;

class RandomSequence {
 public:
  // A fresh sequence, as at the start of a process.
  RandomSequence() = default;
  int next();

 private:
  std::uint32_t state_ = 1;
};

// The sequence of this process; the engines draw only from it.
RandomSequence& processRandomSequence();

// The next draw of the process sequence.
int nextRandom();

}  // namespace clustering
