// Feeds random patterns and subjects through the expression parser and the
// matcher. Besides the sanitizers' checks it compares the three ways an
// iteration can split its span: the automatic choice, the polynomial search
// alone, and the depth-first search alone (when that finishes within its
// budget); all must give the same answer.
//
// Input: the first byte gives the pattern length (up to 255 bytes follow);
// the rest is a list of subjects separated by newlines, each cut to
// MAX_SUBJECT bytes. NUL bytes end the pattern or a subject early, as a C
// string would.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "regex/regular_expression.h"

namespace {

constexpr size_t MAX_SUBJECT = 200;
constexpr int MAX_SUBJECTS = 8;
constexpr int64_t SMALL_BUDGET = 20000;

using bench::VRegularExpression;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t patternLength = data[0];
  if (patternLength > size - 1) patternLength = size - 1;
  std::string pattern(reinterpret_cast<const char*>(data + 1), patternLength);
  pattern.resize(std::strlen(pattern.c_str()));

  VRegularExpression automatic(pattern.c_str());
  VRegularExpression safe(pattern.c_str());
  VRegularExpression depthFirst(pattern.c_str());
  if (automatic.valid() != safe.valid()) std::abort();
  // A small budget, so that the fallback to the polynomial search runs too.
  automatic.setSearchBudgetForTesting(SMALL_BUDGET);
  safe.setSearchModeForTesting(VRegularExpression::SearchMode::SAFE);
  depthFirst.setSearchModeForTesting(VRegularExpression::SearchMode::DEPTH_FIRST);
  depthFirst.setSearchBudgetForTesting(SMALL_BUDGET);

  const char* rest = reinterpret_cast<const char*>(data + 1 + patternLength);
  size_t restSize = size - 1 - patternLength;
  int subjects = 0;
  size_t begin = 0;
  while (begin <= restSize && subjects < MAX_SUBJECTS) {
    const void* newline = std::memchr(rest + begin, '\n', restSize - begin);
    size_t end = newline ? static_cast<const char*>(newline) - rest : restSize;
    std::string subject(rest + begin, end - begin > MAX_SUBJECT ? MAX_SUBJECT : end - begin);
    subject.resize(std::strlen(subject.c_str()));
    bool answer = automatic.match(subject.c_str());
    if (safe.match(subject.c_str()) != answer) std::abort();
    bool exhaustive = depthFirst.match(subject.c_str());
    if (!depthFirst.searchGaveUp() && exhaustive != answer) std::abort();
    ++subjects;
    begin = end + 1;
  }
  if (automatic.match(nullptr) != (automatic.root == nullptr)) std::abort();
  return 0;
}
