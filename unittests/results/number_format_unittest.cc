// Every build prints the same deterministic values, so the printf family of
// the C runtime each build links must format doubles alike: exact rounding of
// the binary value (ties to even), two-digit exponents, no stray digits.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace bench {
namespace {

struct FormatCase {
  const char* format;
  double value;
  const char* expected;
};

std::string format(const char* text, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, text, value);
  return buffer;
}

TEST(PrintfDoubles, FormatAsEveryBuildDoes) {
  const FormatCase cases[] = {
      {"%.2f", 0.125, "0.12"},      // an exact tie rounds to even
      {"%.2f", 0.375, "0.38"},      // ... either way
      {"%.1f", 0.05, "0.1"},        // 0.05 is slightly above the tie
      {"%.3f", 2.0005, "2.001"},    // and 2.0005 slightly above
      {"%.0f", 2.5, "2"},           // also in whole numbers
      {"%.4f", 0.57205, "0.5720"},  // the binary value is just below the tie
      {"%g", 1e-05, "1e-05"},       // two-digit exponents
      {"%e", 1.5e100, "1.500000e+100"},
      {"%.17g", 0.1, "0.10000000000000001"},
      {"%8.3f", 1234.5678, "1234.568"},
      {"%7.2f", -0.004, "  -0.00"},
      {"%.20f", 1e-20, "0.00000000000000000001"},
      {"%.0f", 1e22, "10000000000000000000000"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(format(c.format, c.value), c.expected) << c.format << " of " << c.value;
  }
}

}  // namespace
}  // namespace bench
