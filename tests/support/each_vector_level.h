// A test fixture run once with each instruction set that the processor offers for measuring
// distances (clustering::VectorLevel), the level restored afterwards; fast methods must give the
// same bits at every level. Instantiate with EACH_VECTOR_LEVEL(Fixture).
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "common/packed_vectors.h"

namespace testsupport {

class EachVectorLevel : public testing::TestWithParam<clustering::VectorLevel> {
 protected:
  void SetUp() override {
    saved_ = clustering::currentVectorLevel();
    clustering::useVectorLevel(GetParam());
  }
  void TearDown() override { clustering::useVectorLevel(saved_); }

 private:
  clustering::VectorLevel saved_ = clustering::VectorLevel::Baseline;
};

inline std::string vectorLevelTestName(const testing::TestParamInfo<clustering::VectorLevel>& info) {
  std::string name = clustering::vectorLevelName(info.param);
  std::erase_if(name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); });
  return name;
}

}  // namespace testsupport

#define EACH_VECTOR_LEVEL(Fixture)                                                                      \
  INSTANTIATE_TEST_SUITE_P(EveryVectorLevel, Fixture, testing::ValuesIn(clustering::supportedVectorLevels()), \
                           testsupport::vectorLevelTestName)
