#include <gtest/gtest.h>

#include <vector>

#include "common/random.h"

using namespace clustering;

namespace {

std::vector<int> draws(RandomSequence& sequence, int count) {
  std::vector<int> drawn;
  for (int i = 0; i < count; ++i) drawn.push_back(sequence.next());
  return drawn;
}

}  // namespace

TEST(RandomSequence, AFreshSequenceGivesTheKnownFirstDraws) {
  RandomSequence sequence;
  EXPECT_EQ(draws(sequence, 10),
            (std::vector<int>{41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464}));
  RandomSequence again;
  EXPECT_EQ(again.next(), 41) << "every fresh sequence starts over";
}

TEST(RandomSequence, TheStateWrapsAroundAndDrawsStayInFifteenBits) {
  // The state overflows 32 bits from the third draw on; later draws pin the wrap-around.
  RandomSequence sequence;
  int largest = 0;
  for (int i = 1; i <= 100000; ++i) {
    const int draw = sequence.next();
    ASSERT_GE(draw, 0);
    if (draw > largest) largest = draw;
    if (i == 1000) {
      EXPECT_EQ(draw, 12249);
    }
    if (i == 100000) {
      EXPECT_EQ(draw, 1629);
    }
  }
  EXPECT_EQ(largest, RandomMax);
}

TEST(RandomSequence, NextRandomDrawsFromTheOneProcessSequence) {
  RandomSequence copy = processRandomSequence();
  EXPECT_EQ(nextRandom(), copy.next());
  EXPECT_EQ(processRandomSequence().next(), copy.next());
  EXPECT_EQ(nextRandom(), copy.next());
}
