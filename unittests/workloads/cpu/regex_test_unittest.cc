// Test 16 with a fake clock: one repetition, its counters, progress and the
// result line; and the system filter built on the same engine.
#include "workloads/cpu/regex_test.h"

#include <gtest/gtest.h>

#include <string>

#include "core/random_james.h"
#include "results/filter.h"
#include "run/settings.h"
#include "support/test_support.h"

namespace bench {
namespace {

int countOf(const std::string& text, const std::string& piece) {
  int n = 0;
  for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

TEST(RegexTest, FirstSubjectOfEveryRepetition) {
  RandomJames generator(RandomJames::SEED_IJ, RandomJames::SEED_KL);
  char text[REGEX_TEST_LENGTH + 1];
  fillRegexSubject(&generator, text);
  EXPECT_STREQ(text, "abbaabbabbabaaaabbbbbbabaaababba");
}

TEST(RegexTest, OneRepetitionCountsProgressAndResultLine) {
  resetRunSettings();
  testing::ScopedFakeTime fakeTime;
  RegexTestCounts counts;
  ::testing::internal::CaptureStdout();
  Outcome result = regularExpressionTest(&counts);
  std::string out = ::testing::internal::GetCapturedStdout();

  EXPECT_EQ(result, Outcome::time(20000));
  EXPECT_EQ(counts.repetitions, 1);
  EXPECT_EQ(counts.strings, 4000);
  EXPECT_EQ(counts.matches[0], 2288);
  EXPECT_EQ(counts.matches[1], 429);
  EXPECT_EQ(counts.matches[2], 665);
  EXPECT_EQ(counts.matches[3], 1693);

  // 31 progress lines, 3% to 99%, never 100%.
  EXPECT_EQ(countOf(out, "%\r"), 31);
  EXPECT_EQ(out.rfind("  3%\r", 0), 0u);
  EXPECT_NE(out.find(" 99%\r"), std::string::npos);
  EXPECT_EQ(out.find("100%"), std::string::npos);
  const std::string line =
      "Regular expressions (16k,32): 0.5720-0.1072-0.1663-0.4233, time: 20.00 sec\n";
  ASSERT_GE(out.size(), line.size());
  EXPECT_EQ(out.substr(out.size() - line.size()), line);
}

TEST(RegexTest, SuperBriefModePrintsProgressOnly) {
  resetRunSettings();
  runSettings.superBriefMode = true;
  testing::ScopedFakeTime fakeTime;
  ::testing::internal::CaptureStdout();
  regularExpressionTest();
  std::string out = ::testing::internal::GetCapturedStdout();
  resetRunSettings();
  EXPECT_EQ(countOf(out, "%\r"), 31);
  EXPECT_EQ(out.find("Regular expressions"), std::string::npos);
}

TEST(SystemFilter, MatchesWholeDescriptionsOnly) {
  ListingOptions settings;
  EXPECT_TRUE(filterAccepts(settings, "anything"));
  ASSERT_TRUE(compileSystemFilter("Model", &settings));
  EXPECT_FALSE(filterAccepts(settings, "Model 7"));
  EXPECT_TRUE(filterAccepts(settings, "Model"));
  ASSERT_TRUE(compileSystemFilter("Model.*", &settings));  // replaces the first
  EXPECT_TRUE(filterAccepts(settings, "Model 7"));
  EXPECT_FALSE(filterAccepts(settings, "model 7"));
  ::testing::internal::CaptureStdout();
  EXPECT_FALSE(compileSystemFilter("(Model", &settings));
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error: ')' expected\n");
  EXPECT_EQ(settings.systemFilter, nullptr);
}

}  // namespace
}  // namespace bench
