#include "common/random.h"

namespace clustering {

int RandomSequence::next() {
  state_ = state_ * 214013u + 2531011u;  // unsigned: wraps modulo 2^32
  return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

RandomSequence& processRandomSequence() {
  static RandomSequence sequence;
  return sequence;
}

int nextRandom() { return processRandomSequence().next(); }

}  // namespace clustering
