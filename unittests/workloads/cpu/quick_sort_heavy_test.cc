// Full-size runs of tests 12 to 14 (64 MB to 1 GB arrays), one repetition
// each under the fake clock.
#include <gtest/gtest.h>

#include <string>

#include "driver/catalogue.h"
#include "support/test_support.h"

namespace bench {
namespace {

struct FullSize {
  int test;
  const char* line;
};

class QuickSortFullSize : public ::testing::TestWithParam<FullSize> {};

TEST_P(QuickSortFullSize, CatalogueRoutineSortsItsArray) {
  testing::ScopedFakeTime time;
  ::testing::internal::CaptureStdout();
  Outcome result = catalogueEntry(GetParam().test).routine();
  std::string out = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(result, Outcome::time(20000));
  EXPECT_EQ(out, GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(
    Tests12To14, QuickSortFullSize,
    ::testing::Values(
        FullSize{12, "Quick-sort in virtual memory: OK, double[8M], elapsed time: 20.00 sec\n"},
        FullSize{13, "Quick-sort in virtual memory: OK, double[32M], elapsed time: 20.00 sec\n"},
        FullSize{14, "Quick-sort in virtual memory: OK, double[128M], elapsed time: 20.00 sec\n"}),
    [](const ::testing::TestParamInfo<FullSize>& sizeInfo) {
      return "Test" + std::to_string(sizeInfo.param.test);
    });

}  // namespace
}  // namespace bench
