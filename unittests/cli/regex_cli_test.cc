// End-to-end behaviour of `-r <reg-exp>`: a malformed pattern stops the
// program with its message and status 11; a valid one filters the listing.
#include <gtest/gtest.h>

#include <string>

#include "cli/bench_runner.h"
#include "support/test_support.h"

namespace bench::testing {
namespace {

struct MalformedCase {
  std::string pattern;
  const char* message;
};

std::ostream& operator<<(std::ostream& os, const MalformedCase& c) {
  std::string text(c.pattern);
  if (text.size() > 40) text = text.substr(0, 40) + "...";
  return os << "pattern \"" << text << "\"";
}

const MalformedCase MALFORMED[] = {
    {"a{2}", "Error in {min,max} iteration description\n"},
    {"[abc", "Error:  wild-card was not closed properly\n"},
    {"(ab", "Error: ')' expected\n"},
    {"a**", "Error: nothing to iterate\n"},
    {"()*", "Error: nothing to iterate\n"},
    {std::string(1000, '(') + std::string(1000, ')'), "Error: expression too complex\n"},
};

class MalformedFilter : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedFilter, PrintsItsMessageOnlyAndExitsEleven) {
  ScopedTempDir dir;
  writeFile("results.txt", " 1     1000 1000 Model 7\n");
  BenchRun run = runBench({"-l", "-r", GetParam().pattern});
  EXPECT_EQ(run.status, 11);
  EXPECT_EQ(run.out, GetParam().message);  // before the banner and the listing
  EXPECT_EQ(run.err, "");
}

INSTANTIATE_TEST_SUITE_P(Messages, MalformedFilter, ::testing::ValuesIn(MALFORMED));

TEST(RegexCli, FilterSelectsWholeDescriptionsInTheListing) {
  ScopedTempDir dir;
  writeFile("results.txt",
            " 1     1000 1000 Model 7\n"
            " 1     2000 2000 Model\n"
            " 1     3000 3000 Other 7\n"
            " 2     4000 1000 Model 9\n");
  struct {
    const char* pattern;
    const char* shown;
    const char* hidden;
  } cases[] = {
      {"Model", "Model  ", "Model 7"},
      {"Model.*", "Model 7", "Other 7"},
      {".* 7", "Other 7", "Model 9"},
      {"^(Model)", "Model 7", "Model  "},
  };
  for (const auto& c : cases) {
    BenchRun run = runBench({"-b", "-l", "-r", c.pattern, "-c", "1000", "x", "3"});
    EXPECT_EQ(run.status, 0) << c.pattern;
    EXPECT_NE(run.out.find(c.shown), std::string::npos) << c.pattern << "\n" << run.out;
    EXPECT_EQ(run.out.find(c.hidden), std::string::npos) << c.pattern << "\n" << run.out;
  }
}

// Descriptions and patterns with bytes above 0x7F: set ranges, sorting and
// spread-sheet quoting take them as unsigned bytes, whatever the sign of
// plain char on the machine.
TEST(RegexCli, BytesAboveAsciiFilterSortAndQuoteAsUnsigned) {
  ScopedTempDir dir;
  writeFile("results.txt",
            " 1     1000 1000 Caf\xe9 \"best\"\n"
            " 1     2000 1000 Cafe\n"
            " 1     3000 1000 Caf\xff\n"
            " 1     4000 1000 Caf\x80\n"
            " 1     5000 1000 CafZ\n");
  BenchRun run = runBench({"-b", "-ls", "-sdc", "-r", "Caf[a-\xe9].*", "-c", "1000", "x", "1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "\n\"  Eratosthen (5555555-th prime number):\",Clock[MHz],Time[s],Ref\n"
            "\"Caf\xe9 \"\"best\"\"\",1000,1.00,1.00\n"
            "\"Caf\x80\",1000,4.00,4.00\n"
            "\"Cafe\",1000,2.00,2.00\n");
}

TEST(RegexCli, ListingWithoutMatchesPrintsHeadingsOnly) {
  ScopedTempDir dir;
  writeFile("results.txt", " 1     1000 1000 Model 7\n");
  BenchRun run = runBench({"-b", "-l", "-r", "Nothing", "-c", "1000", "x", "1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("  1: "), std::string::npos);
  EXPECT_EQ(run.out.find("Model"), std::string::npos);
}

}  // namespace
}  // namespace bench::testing
