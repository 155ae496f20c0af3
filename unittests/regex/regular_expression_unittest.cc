// The expression engine: answers of every construct, the three split
// searches agreeing, the memo layout, limits and the parser's messages.
#include "regex/regular_expression.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bench {
namespace {

using Mode = VRegularExpression::SearchMode;

struct MatchCase {
  const char* pattern;
  const char* subject;
  bool expected;
};

std::ostream& operator<<(std::ostream& os, const MatchCase& c) {
  std::string pattern(c.pattern);
  std::string subject(c.subject);
  if (pattern.size() > 40) pattern = pattern.substr(0, 40) + "...";
  if (subject.size() > 40) subject = subject.substr(0, 40) + "...";
  return os << "pattern \"" << pattern << "\" subject \"" << subject << "\"";
}

// The 33 alternatives a|b|...|z|A|...|G: the 33rd, G, is dropped.
const std::string THIRTY_THREE = [] {
  std::string letters = "abcdefghijklmnopqrstuvwxyzABCDEFG";
  std::string pattern;
  for (char c : letters) {
    if (!pattern.empty()) pattern += '|';
    pattern += c;
  }
  return pattern;
}();

const std::string A30(30, 'a');
const std::string A29(29, 'a');
const std::string A60(60, 'a');
const std::string A40B = std::string(40, 'a') + "b";
const std::string XY40 = [] {
  std::string s;
  for (int i = 0; i < 20; ++i) s += "xy";
  return s;
}();
const std::string XY40Z = XY40 + "z";

const MatchCase MATCH_CASES[] = {
    // Whole-subject matching.
    {"abc", "abc", true},
    {"abc", "abcd", false},
    {"abc", "xabc", false},
    {".*", "", true},
    {"a", "", false},
    // An empty pattern matches nothing, not even the empty subject.
    {"", "", false},
    {"", "a", false},
    // Alternation, intersection, iteration.
    {"(a|b)*c", "ababc", true},
    {"(a|b)*c", "abab", false},
    {"a|b|cd", "cd", true},
    {"a|b|cd", "c", false},
    {"(a.*)&(.*b)", "axxb", true},
    {"(a.*)&(.*b)", "axxa", false},
    {"(a&bb)", "a", false},  // no common length
    {"(a&bb)", "bb", false},
    {"a{2,3}", "a", false},
    {"a{2,3}", "aaa", true},
    {"a{2,3}", "aaaa", false},
    {"a{0,0}", "", true},  // a maximum of 0 is raised to 1
    {"a{0,0}", "a", true},
    {"a{0,0}", "aa", false},
    {"a{ 2, 3}", "aa", true},
    {"a{3,1}", "aa", false},
    {"a{3,1}", "aaa", true},
    {"a{3,1}", "aaaa", false},
    {"a{-2,1}", "", true},
    {"a{-2,1}", "a", true},
    {"a{-2,1}", "aa", false},
    {"a+", "", false},
    {"a+", "aaa", true},
    {"xa?y", "xy", true},
    {"xa?y", "xaay", false},
    // An operator takes the last byte of a literal run.
    {"abc*", "ab", true},
    {"abc*", "abccc", true},
    {"abc*", "abab", false},
    // Negation: any span the operand does not match exactly.
    {"^(ab)", "abc", true},
    {"^(ab)", "", true},
    {"^(ab)", "ab", false},
    {"^ab", "b", true},  // the negation of a, then b
    {"^ab", "ab", false},
    {"^ab", "aab", true},
    {"^^a", "a", true},   // a second ^ cancels the first
    {"a^", "a", true},    // a ^ that ends its sequence is ignored
    {"^a*", "a", false},  // the negated element is repeated
    {"^a*", "aa", true},
    {"^a*", "", true},
    {"^.", "a", false},  // the empty set
    {"^[ab]", "c", true},
    {"^[ab]", "a", false},
    {"^[ab]*", "cd", true},
    {"^[ab]*", "ca", false},
    // The empty remainder after a negation is taken as matched.
    {".^(x*)", "q", true},
    {".^(x*)", "qx", false},
    // The negation of the empty group matches every non-empty span.
    {"^()", "", false},
    {"^()", "x", true},
    {"^()", "xyz", true},
    {"a()b", "ab", true},  // an empty group adds nothing
    // Escapes and literals.
    {"a\\.b", "a.b", true},
    {"a\\.b", "axb", false},
    {"a\\{", "a{", true},
    {"a}]-$", "a}]-$", true},
    {"abc\\", "abc", false},  // the escaped end matches no subject
    {"abc\\", "abc\\", false},
    // Sets.
    {"[]a]", "]", true},
    {"[]a]", "a", true},
    {"[]a]", "b", false},
    {"[^]a]", "b", true},
    {"[^]a]", "]", false},
    {"[^]a]", "a", false},
    {"[]-]", "-", true},
    {"[a-]", "-", true},
    {"[a-]", "a", true},
    {"[a-]", "b", false},
    {"[z-a]", "z", false},
    {"[z-a]", "a", false},
    {"[a-c]x", "bx", true},
    {"[a-c]x", "dx", false},
    {"[\\]", "\\", true},  // no escapes inside a set
    {"[\x80-\xff]", "\xe9", true},
    // Bytes above 0x7F are unsigned wherever they stand, whatever the sign
    // of plain char.
    {"[a-\xe9]", "\xe9", true},
    {"[a-\xe9]", "\x80", true},
    {"[a-\xe9]", "b", true},
    {"[a-\xe9]", "\xea", false},
    {"[a-\xe9]", "`", false},
    {"[^a-\xe9]", "\xff", true},
    {"[^a-\xe9]", "\xe0", false},
    {"[\x01-\x7f]", "\x80", false},
    {"[\xff]", "\xff", true},
    {".", "\xff", true},
    {"\xe9t\xe9", "\xe9t\xe9", true},
    {"\xe9t\xe9", "\xe9t\xe8", false},
    {"\\\xe9*", "\xe9\xe9", true},
    {"\xe9{2,3}", "\xe9\xe9\xe9", true},
    {"\xe9{2,3}", "\xe9", false},
    {"^\xe9", "\xe8", true},
    {"^[\x80-\xff]", "\x80", false},
    // Text after a stray ) or an empty operand is ignored.
    {"ab)cd", "ab", true},
    {"ab)cd", "abcd", false},
    {"a||b", "a", true},
    {"a||b", "b", false},
    {"a|", "a", true},
    // An empty first operand empties the whole alternation or intersection.
    {"|a", "a", false},
    {"&a", "a", false},
    {"^\\.", "x", true},  // a negated escape pair
    {"^\\.", ".", false},
    {THIRTY_THREE.c_str(), "F", true},
    {THIRTY_THREE.c_str(), "G", false},
    // Iterations whose operand can be empty: exponential for the
    // depth-first search, immediate here.
    {"(a*)*", "ab", false},
    {"(a*)*", "aaa", true},
    {"(a*)*b", A30.c_str(), false},
    {"(a?){30,30}a{30,30}", A60.c_str(), true},
    {"(a?){30,30}a{30,30}", A29.c_str(), false},
    {"(x*y*)*z", XY40.c_str(), false},
    {"(x*y*)*z", XY40Z.c_str(), true},
    {"(^(x))*", "xx", true},
    {"(^(x)){2,2}", "x", false},
    {"((a|b)?){3,4}c", "ababac", false},
    {"((a|b)?){3,4}c", "abac", true},
    // Operands that cannot be empty but split in exponentially many ways.
    {"(.*a){20,20}b", A40B.c_str(), true},
};

class MatchTable : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MatchTable, EverySearchGivesTheExpectedAnswer) {
  const MatchCase& c = GetParam();
  VRegularExpression automatic(c.pattern);
  ASSERT_TRUE(automatic.valid());
  EXPECT_EQ(automatic.match(c.subject), c.expected);

  VRegularExpression safe(c.pattern);
  safe.setSearchModeForTesting(Mode::SAFE);
  EXPECT_EQ(safe.match(c.subject), c.expected);

  VRegularExpression depthFirst(c.pattern);
  depthFirst.setSearchModeForTesting(Mode::DEPTH_FIRST);
  depthFirst.setSearchBudgetForTesting(1000000);
  bool answer = depthFirst.match(c.subject);
  if (!depthFirst.searchGaveUp()) {
    EXPECT_EQ(answer, c.expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Constructs, MatchTable, ::testing::ValuesIn(MATCH_CASES));

TEST(VRegularExpression, FallsBackWhenTheDepthFirstSearchRunsTooLong) {
  VRegularExpression expression("(.*a){20,20}");
  expression.setSearchBudgetForTesting(10000);
  EXPECT_FALSE(expression.searchOverranForTesting());
  EXPECT_FALSE(expression.match(A40B.c_str()));
  // From now on the polynomial search, which has no budget.
  EXPECT_TRUE(expression.searchOverranForTesting());
  expression.setSearchBudgetForTesting(10);
  EXPECT_TRUE(expression.match(std::string(40, 'a').c_str()));
  EXPECT_FALSE(expression.match(A40B.c_str()));
  EXPECT_GT(expression.searchSteps, 10);
  expression.setSearchModeForTesting(Mode::DEPTH_FIRST);
  EXPECT_FALSE(expression.match(A40B.c_str()));
  EXPECT_TRUE(expression.searchGaveUp());
}

TEST(VRegularExpression, NullSubjectAndNoTree) {
  VRegularExpression empty("");
  EXPECT_TRUE(empty.valid());
  EXPECT_TRUE(empty.match(nullptr));
  VRegularExpression some("a*");
  EXPECT_FALSE(some.match(nullptr));
  int first = 7;
  int last = 7;
  some.matchBounds("aa", &first, &last);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(last, 0);
}

TEST(VRegularExpression, IgnoreCaseComparesLettersWithoutCase) {
  VRegularExpression expression("ab[c-d]");
  expression.ignoreCase = true;
  EXPECT_TRUE(expression.match("ABD"));
  EXPECT_TRUE(expression.match("aBc"));
  EXPECT_FALSE(expression.match("abe"));
}

// Case folds only the ASCII letters; bytes above 0x7F keep their value.
TEST(VRegularExpression, IgnoreCaseLeavesBytesAboveAsciiAlone) {
  const MatchCase cases[] = {
      {"[a-\xe9]", "Z", true},  // its lower case, z, is in the set
      {"[a-\xe9]", "\xe9", true},        {"[a-\xe9]", "\xea", false},
      {"[^a-\xe9]", "\xe9", false},      {"\xc9t\xc9", "\xc9T\xc9", true},
      {"\xc9t\xc9", "\xe9t\xe9", false}, {"[\xc0-\xcf]", "\xe9", false},
  };
  for (const MatchCase& c : cases) {
    VRegularExpression expression(c.pattern);
    expression.ignoreCase = true;
    EXPECT_EQ(expression.match(c.subject), c.expected) << c;
  }
}

// a*b on a 3-character subject: the operand a keeps entries for length 1 at
// starts 0..2 (indices -3..-1, byte 0 bits 2..7); b keeps (2, 1) at index -1
// of its table, byte 1 bits 6..7. The root, an iteration, keeps none.
TEST(VRegularExpression, MemoLayoutAndEntries) {
  VRegularExpression expression("a*b");
  EXPECT_TRUE(expression.match("aab"));
  ASSERT_EQ(expression.memoUsed, 2);
  const uint8_t* buffer = expression.memoBufferForTesting();
  EXPECT_EQ(buffer[0], 0x3C);  // a at 0 and 1: known and true
  EXPECT_EQ(buffer[1], 0xC0);  // b at 2: known and true

  // Same length: the layout is reused and the entries cleared first.
  EXPECT_FALSE(expression.match("abb"));
  EXPECT_EQ(expression.memoBufferForTesting(), buffer);
  EXPECT_EQ(buffer[0], 0x2C);  // a at 1 known and false; a at 2 never asked
  EXPECT_EQ(buffer[1], 0x00);  // b never asked
}

TEST(VRegularExpression, LayoutGrowsForLongerSubjectsOnly) {
  VRegularExpression expression("(a|b)*^(c)b");
  // An empty first subject still gets its layout before matching.
  EXPECT_FALSE(expression.match(""));
  EXPECT_TRUE(expression.match("b"));
  EXPECT_TRUE(expression.match("ab"));
  int64_t smallCapacity = expression.memoCapacity;
  EXPECT_TRUE(expression.match("abababababababbbbb"));
  EXPECT_GT(expression.memoCapacity, smallCapacity);
  const uint8_t* large = expression.memoBufferForTesting();
  int64_t largeCapacity = expression.memoCapacity;
  EXPECT_TRUE(expression.match("ab"));
  EXPECT_FALSE(expression.match("ac"));
  EXPECT_EQ(expression.memoBufferForTesting(), large);
  EXPECT_EQ(expression.memoCapacity, largeCapacity);
  EXPECT_LT(expression.memoUsed, largeCapacity);
}

TEST(VRegularExpression, NoMoreThanUnboundedCharactersPerIteration) {
  std::string limit(UNBOUNDED, 'a');
  std::string beyond(UNBOUNDED + 1, 'a');
  VRegularExpression star("a*");
  EXPECT_TRUE(star.match(limit.c_str()));
  EXPECT_FALSE(star.match(beyond.c_str()));
  VRegularExpression plus("a+a*");
  EXPECT_TRUE(plus.match(beyond.c_str()));
  // A negation with its continuation covers at most 12000 characters.
  VRegularExpression negation("^(b)a");
  EXPECT_TRUE(negation.match(limit.c_str()));
  EXPECT_FALSE(negation.match((limit + "a").c_str()));
}

TEST(VRegularExpression, HugeCountsDoNotOverflowLengths) {
  VRegularExpression huge("(a{2147483647,2147483647}){2147483647,2147483647}b*");
  ASSERT_TRUE(huge.valid());
  EXPECT_FALSE(huge.match("aaab"));
  VRegularExpression nested("(((a*)*)*b){99999999,99999999}|x");
  EXPECT_TRUE(nested.match("x"));
  EXPECT_FALSE(nested.match("aab"));
  VRegularExpression many("((a+)+){2,99999999}");
  EXPECT_TRUE(many.match("aaaa"));
  EXPECT_FALSE(many.match("a"));
}

TEST(VRegularExpression, MemoTablesBeyondTheLimitAreReported) {
  // Two negations after a variable part keep tables of about 12000 x L
  // entries each: far beyond the limit for this subject.
  VRegularExpression expression(".*^(x).*^(y)");
  std::string subject(60000, 'a');
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(expression.match(subject.c_str()));
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("memo tables for a 60000-byte subject"), std::string::npos) << err;
  // A shorter subject works again.
  EXPECT_TRUE(expression.match("abc"));
}

TEST(VRegularExpression, LongSubjectsUseTheSafeSearch) {
  std::string subject(VRegularExpression::SAFE_SUBJECT_LENGTH + 100, 'a');
  VRegularExpression expression("((ab|a)(a|b))*b?");
  EXPECT_TRUE(expression.match(subject.c_str()));
  subject.back() = 'c';
  EXPECT_FALSE(expression.match(subject.c_str()));
}

struct ErrorCase {
  std::string pattern;
  const char* message;
};

std::ostream& operator<<(std::ostream& os, const ErrorCase& c) {
  std::string text(c.pattern);
  if (text.size() > 40) text = text.substr(0, 40) + "...";
  return os << "pattern \"" << text << "\"";
}

constexpr const char* COUNTS = "Error in {min,max} iteration description\n";
constexpr const char* SET = "Error:  wild-card was not closed properly\n";
constexpr const char* PAREN = "Error: ')' expected\n";
constexpr const char* NOTHING = "Error: nothing to iterate\n";
constexpr const char* COMPLEX = "Error: expression too complex\n";

const ErrorCase ERROR_CASES[] = {
    {"a{2}", COUNTS},
    {"a{2 ,3}", COUNTS},
    {"a{2,3 }", COUNTS},
    {"a{", COUNTS},
    {"a{x,1}", COUNTS},
    {"a{1,2", COUNTS},
    {"[abc", SET},
    {"[", SET},
    {"[]", SET},
    {"[^", SET},
    {"(ab", PAREN},
    {"((a)", PAREN},
    {"(a||b)", PAREN},
    {"(|a)", PAREN},
    {"*a", NOTHING},
    {"(*a)", NOTHING},
    {"a|*b", NOTHING},
    {"a&*b", NOTHING},
    {"^*", NOTHING},
    {"a^*", NOTHING},
    {"a**", NOTHING},
    {"a+?", NOTHING},
    {"()*", NOTHING},  // an empty group leaves nothing to iterate
    {"a()?", NOTHING},
    // Operands beyond the 32nd are still parsed and their errors reported.
    {THIRTY_THREE + "|[x", SET},
    // Limits that keep the tree small enough to walk.
    {std::string(VRegularExpression::MAX_NESTING + 1, '(') + "a" +
         std::string(VRegularExpression::MAX_NESTING + 1, ')'),
     COMPLEX},
    {std::string(VRegularExpression::MAX_NODES + 1, '.'), COMPLEX},
};

class ParserErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ParserErrors, PrintOneMessageAndLeaveNoTree) {
  const ErrorCase& c = GetParam();
  ::testing::internal::CaptureStdout();
  VRegularExpression expression(c.pattern.c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), c.message);
  EXPECT_FALSE(expression.valid());
  EXPECT_EQ(expression.root, nullptr);
  EXPECT_FALSE(expression.match(""));
  EXPECT_FALSE(expression.match("a"));
}

INSTANTIATE_TEST_SUITE_P(Messages, ParserErrors, ::testing::ValuesIn(ERROR_CASES));

TEST(VRegularExpression, LimitsLeaveRoomForOrdinaryPatterns) {
  int depth = VRegularExpression::MAX_NESTING;
  std::string nested = std::string(depth, '(') + "a" + std::string(depth, ')') + "*";
  ::testing::internal::CaptureStdout();
  VRegularExpression deep(nested.c_str());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_TRUE(deep.match("aaa"));
  std::string longText(100000, 'x');
  VRegularExpression literal((longText + ".*").c_str());
  EXPECT_TRUE(literal.match((longText + "yz").c_str()));
  std::string dots(VRegularExpression::MAX_NODES, '.');
  VRegularExpression chain(dots.c_str());
  EXPECT_TRUE(chain.match(std::string(VRegularExpression::MAX_NODES, 'q').c_str()));
}

}  // namespace
}  // namespace bench
