// Full-size checks of test 16: its strings never push the depth-first split
// search beyond its budget (so the benchmark always runs the exact search),
// and the real binary prints its result line.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "core/random_james.h"
#include "regex/regular_expression.h"
#include "support/test_support.h"
#include "workloads/cpu/regex_test.h"

namespace bench {
namespace {

TEST(RegexHeavy, TestStringsStayWithinTheSearchBudget) {
  RandomJames generator(RandomJames::SEED_IJ, RandomJames::SEED_KL);
  std::unique_ptr<VRegularExpression> expressions[REGEX_TEST_PATTERNS];
  for (int p = 0; p < REGEX_TEST_PATTERNS; ++p) {
    expressions[p] = std::make_unique<VRegularExpression>(REGEX_TEST_PATTERN[p]);
    expressions[p]->setSearchModeForTesting(VRegularExpression::SearchMode::DEPTH_FIRST);
  }
  char text[REGEX_TEST_LENGTH + 1];
  int64_t mostSteps = 0;
  for (int s = 0; s < REGEX_TEST_STRINGS; ++s) {
    fillRegexSubject(&generator, text);
    for (int p = 0; p < REGEX_TEST_PATTERNS; ++p) {
      expressions[p]->match(text);
      ASSERT_FALSE(expressions[p]->searchGaveUp()) << "pattern " << p + 1 << " subject " << text;
      if (expressions[p]->searchSteps > mostSteps) mostSteps = expressions[p]->searchSteps;
    }
  }
  std::printf("most search steps of one match: %lld of %lld\n", static_cast<long long>(mostSteps),
              static_cast<long long>(VRegularExpression::SEARCH_BUDGET));
}

TEST(RegexHeavy, BinaryPrintsTheResultLine) {
  testing::ScopedTempDir dir;
  std::string command = std::string(BENCH_BINARY) + " -b -i 16 -c 1000 Heavy 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  EXPECT_EQ(pclose(pipe), 0);
  std::printf("%s\n", out.c_str());
  const std::string head = "Regular expressions (16k,32): 0.5720-0.1072-0.1663-0.4233, time: ";
  size_t at = out.find(head);
  ASSERT_NE(at, std::string::npos);
  double seconds = 0;
  char tail[8] = "";
  EXPECT_EQ(std::sscanf(out.c_str() + at + head.size(), "%lf%7[ sec]", &seconds, tail), 2);
  EXPECT_STREQ(tail, " sec");
  EXPECT_GT(seconds, 0.0);
}

}  // namespace
}  // namespace bench
