#include "regex/regular_expression.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace bench {

VRegularExpression::VRegularExpression(const char* pattern) : cursor(pattern) {
  root = parseAlternation();
  if (parseFailed) root.reset();
  cursor = pattern;
}

VRegularExpression::~VRegularExpression() = default;

bool VRegularExpression::layOut(int length) {
  if (!layoutMade || length != subjectLength) {
    layoutMade = false;
    subjectLength = length;
    stride = int64_t{2} * length + 1;
    memoUsed = 0;
    root->placeMemo();
    if (memoUsed > MEMO_LIMIT) {
      std::fprintf(stderr,
                   "Regular expression: %lld bytes of memo tables for a %d-byte subject: %s\n",
                   static_cast<long long>(memoUsed), length, std::strerror(ENOMEM));
      return false;
    }
    if (memoCapacity < memoUsed) {
      // Every node holds its table as an offset into the buffer, so a new
      // buffer needs no second pass over the tree.
      memoBuffer.reset();
      memoCapacity = 0;
      memoBuffer.reset(new (std::nothrow) uint8_t[memoUsed]);
      if (!memoBuffer) {
        std::fprintf(stderr,
                     "Regular expression: %lld bytes of memo tables for a %d-byte subject: %s\n",
                     static_cast<long long>(memoUsed), length, std::strerror(ENOMEM));
        return false;
      }
      memoCapacity = memoUsed;
    }
    layoutMade = true;
  }
  return true;
}

bool VRegularExpression::match(const char* text) {
  if (!root || text == nullptr) return !root && text == nullptr;
  root->prepare(false);
  size_t length = std::strlen(text);
  if (length > static_cast<size_t>(LENGTH_CAP)) {
    std::fprintf(stderr, "Regular expression: a subject of %zu bytes is too long: %s\n", length,
                 std::strerror(EOVERFLOW));
    return false;
  }
  int n = static_cast<int>(length);
  if (!layOut(n)) return false;
  subject = text;
  searchSteps = 0;
  aborted = false;
  gaveUp = false;
  depthFirstOnly = searchMode == SearchMode::DEPTH_FIRST;
  safeMode = searchMode == SearchMode::SAFE ||
             (searchMode == SearchMode::AUTOMATIC && (n > SAFE_SUBJECT_LENGTH || searchOverran));
  if (memoUsed > 0) std::memset(memoBuffer.get(), 0, static_cast<size_t>(memoUsed));
  bool answer = root->match(0, n);
  if (aborted) {
    if (searchMode == SearchMode::DEPTH_FIRST) {
      gaveUp = true;
    } else {
      // The search ran too long: the same question in polynomial time, and
      // so for every later subject, since a pattern that explodes once
      // mostly explodes again.
      searchOverran = true;
      aborted = false;
      safeMode = true;
      if (memoUsed > 0) std::memset(memoBuffer.get(), 0, static_cast<size_t>(memoUsed));
      answer = root->match(0, n);
    }
  }
  aborted = false;
  safeMode = false;
  return answer && !gaveUp;
}

void VRegularExpression::matchBounds(const char* /*text*/, int* first, int* last) {
  *first = 0;
  *last = 0;
}

}  // namespace bench
