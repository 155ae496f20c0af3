#include "regex/regular_item.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "regex/regular_expression.h"

namespace bench {

int addLengths(int a, int b) {
  int64_t sum = int64_t{a} + b;
  return sum > LENGTH_CAP ? LENGTH_CAP : static_cast<int>(sum);
}

int multiplyLengths(int a, int b) {
  int64_t product = int64_t{a} * b;
  return product > LENGTH_CAP ? LENGTH_CAP : static_cast<int>(product);
}

namespace {

// Where the 2-bit entry of (start, length) lives. With S the stride
// (2L + 1), its index is start + length * (length - S) / 2: always negative,
// smaller for larger lengths, and contiguous over one node's spans. The
// entry is in the byte at memo + floor(idx / 4), bits 2 * (idx mod 4) (the
// answer) and 2 * (idx mod 4) + 1 (known).
struct MemoCell {
  uint8_t* byte;
  int shift;
};

inline int64_t entryIndex(int start, int length, int64_t stride) {
  return start + int64_t{length} * (length - stride) / 2;
}

inline MemoCell memoCell(const VRegularItem* node, int start, int length) {
  const VRegularExpression* e = node->expression;
  int64_t idx = entryIndex(start, length, e->stride);
  return {e->memoBuffer.get() + node->memo + (idx >> 2), static_cast<int>(idx & 3) * 2};
}

}  // namespace

template <class Node>
bool VRegularItem::framedMatch(Node* node, int start, int length) {
  if (length < node->minLength || length > node->maxLength) return false;
  VRegularExpression* e = node->expression;
  if (++e->searchSteps > e->searchBudget && !e->safeMode) e->aborted = true;
  if (e->aborted) return false;
  if (node->memoize) {
    MemoCell cell = memoCell(node, start, length);
    int entry = (*cell.byte >> cell.shift) & 3;
    if (entry & 2) return (entry & 1) != 0;
    bool answer = node->compute(start, length);
    // Answers found after the budget ran out are not the truth; the whole
    // match is repeated on cleared tables.
    if (!e->aborted) *cell.byte |= static_cast<uint8_t>((answer ? 3 : 2) << cell.shift);
    return answer;
  }
  return node->compute(start, length);
}

VRegularItem* VRegularItem::chainTail() {
  VRegularItem* node = this;
  while (node->continuation) node = node->continuation.get();
  return node;
}

// A node's table covers every length from minLength to
// c = min(maxLength, L) and every start from 0 to L - length. Its first
// entry, (0, c), falls into the first free byte; the last, (L - minLength,
// minLength), ends the used part of the buffer.
void VRegularItem::placeOwnTable() {
  VRegularExpression* e = expression;
  int subjectLength = e->subjectLength;
  if (!memoize || minLength > subjectLength) return;
  int c = std::min(maxLength, subjectLength);
  if (c < minLength) return;  // a node that matches no length is never asked
  int64_t firstOffset = ((e->stride - c) * c / 2 + 3) / 4;
  memo = e->memoUsed + firstOffset;
  int64_t idxLast = entryIndex(subjectLength - minLength, minLength, e->stride);
  e->memoUsed = memo + (idxLast >> 2) + 1;
}

void VRegularItem::placeMemo() {
  placeOwnTable();
  if (continuation) continuation->placeMemo();
}

void VRegularItem::prepareContinuation(int ownMin, int ownMax, bool flag) {
  minLength = ownMin;
  maxLength = ownMax;
  if (!continuation) return;
  continuation->prepare(flag);
  minLength = addLengths(ownMin, continuation->minLength);
  maxLength = addLengths(ownMax, continuation->maxLength);
}

bool VRegularItem::restAccepted(int start, int length, int i) {
  if (i == length && (!continuation || continuation->minLength == 0)) return true;
  return continuation && continuation->match(start + i, length - i);
}

// ---- VRegString ----

VRegString::VRegString(VRegularExpression* owner, const char* bytes, int count)
    : VRegularItem(owner), text(new char[count + 1]), textLength(count) {
  std::memcpy(text.get(), bytes, count);
  text[count] = '\0';
}

bool VRegString::match(int start, int length) { return framedMatch(this, start, length); }

void VRegString::prepare(bool memoizeFlag) {
  if (minLength >= 0) return;
  memoize = memoizeFlag;
  prepareContinuation(textLength, textLength, false);
}

bool VRegString::compute(int start, int length) {
  const char* s = expression->subject + start;
  if (textLength > 0) {
    if (expression->ignoreCase) {
      for (int i = 0; i < textLength; ++i) {
        if (std::tolower(static_cast<unsigned char>(s[i])) !=
            std::tolower(static_cast<unsigned char>(text[i]))) {
          return false;
        }
      }
    } else if (std::memcmp(s, text.get(), textLength) != 0) {
      return false;
    }
  }
  if (length == textLength) return true;
  return continuation && continuation->match(start + textLength, length - textLength);
}

// ---- VRegOr ----

bool VRegOr::match(int start, int length) { return framedMatch(this, start, length); }

void VRegOr::prepare(bool memoizeFlag) {
  if (minLength >= 0) return;
  memoize = memoizeFlag;
  ownMin = 0;
  ownMax = 0;
  for (int n = 0; n < itemCount; ++n) {
    items[n]->prepare(false);
    if (n == 0 || items[n]->minLength < ownMin) ownMin = items[n]->minLength;
    if (n == 0 || items[n]->maxLength > ownMax) ownMax = items[n]->maxLength;
  }
  prepareContinuation(ownMin, ownMax, ownMin < ownMax);
}

void VRegOr::placeMemo() {
  for (int n = 0; n < itemCount; ++n) items[n]->placeMemo();
  placeOwnTable();
  if (continuation) continuation->placeMemo();
}

// Own parts longest first; for each length the items in order, and the first
// item that matches decides whether the rest is tried.
bool VRegOr::compute(int start, int length) {
  int hi = std::min(length - restMinLength(), ownMax);
  int lo = std::max(length - restMaxLength(), ownMin);
  for (int i = hi; i >= lo; --i) {
    for (int n = 0; n < itemCount; ++n) {
      if (items[n]->match(start, i)) {
        if (restAccepted(start, length, i)) return true;
        break;
      }
    }
  }
  return false;
}

// ---- VRegAnd ----

bool VRegAnd::match(int start, int length) { return framedMatch(this, start, length); }

void VRegAnd::prepare(bool memoizeFlag) {
  if (minLength >= 0) return;
  memoize = memoizeFlag;
  ownMin = 0;
  ownMax = 0;
  for (int n = 0; n < itemCount; ++n) {
    items[n]->prepare(false);
    if (n == 0 || items[n]->minLength > ownMin) ownMin = items[n]->minLength;
    if (n == 0 || items[n]->maxLength < ownMax) ownMax = items[n]->maxLength;
  }
  if (ownMin > ownMax) {
    // The items have no length in common: the node matches nothing, and its
    // continuation is never asked.
    minLength = ownMin;
    maxLength = ownMax;
    return;
  }
  prepareContinuation(ownMin, ownMax, ownMin < ownMax);
}

bool VRegAnd::compute(int start, int length) {
  int hi = std::min(length - restMinLength(), ownMax);
  int lo = std::max(length - restMaxLength(), ownMin);
  for (int i = hi; i >= lo; --i) {
    bool all = true;
    for (int n = 0; n < itemCount && all; ++n) all = items[n]->match(start, i);
    if (all && restAccepted(start, length, i)) return true;
  }
  return false;
}

// ---- VRegNot ----

bool VRegNot::match(int start, int length) { return framedMatch(this, start, length); }

void VRegNot::prepare(bool memoizeFlag) {
  if (minLength >= 0) return;
  memoize = memoizeFlag;
  if (operand) operand->prepare(false);
  if (continuation) continuation->prepare(true);
  restMin = restMinLength();
  restMax = restMaxLength();
  minLength = restMin;
  maxLength = UNBOUNDED;
}

void VRegNot::placeMemo() {
  if (operand) operand->placeMemo();
  placeOwnTable();
  if (continuation) continuation->placeMemo();
}

bool VRegNot::compute(int start, int length) {
  int lo = std::max(0, length - restMax);
  for (int i = length - restMin; i >= lo; --i) {
    bool operandMatches = operand ? operand->match(start, i) : i == 0;
    if (operandMatches) continue;
    if (i == length && restMin == 0) return true;
    if (continuation && continuation->match(start + i, length - i)) return true;
  }
  return false;
}

// ---- VRegIteration ----

bool VRegIteration::match(int start, int length) { return framedMatch(this, start, length); }

void VRegIteration::prepare(bool memoizeFlag) {
  if (minLength >= 0) return;
  memoize = memoizeFlag;
  operand->prepare(true);
  operandMin = operand->minLength;
  operandMax = operand->maxLength;
  ownMin = multiplyLengths(minCount, operandMin);
  ownMax = multiplyLengths(maxCount, operandMax);
  prepareContinuation(ownMin, ownMax, ownMin < ownMax);
}

void VRegIteration::placeMemo() {
  operand->placeMemo();
  placeOwnTable();
  if (continuation) continuation->placeMemo();
}

void VRegIteration::countRange(int i, int* kLo, int* kHi) const {
  if (operandMax > 0) {
    *kLo = std::max((i + operandMax - 1) / operandMax, minCount);
  } else {
    *kLo = i == 0 ? minCount : LENGTH_CAP;  // no piece can hold a character
  }
  *kHi = std::min(operandMin == 0 ? UNBOUNDED : i / operandMin, maxCount);
}

// Own parts longest first; for each, the fewest repetitions first.
bool VRegIteration::compute(int start, int length) {
  int hi = std::min(length - restMinLength(), ownMax);
  int lo = std::max(length - restMaxLength(), ownMin);
  if ((operandMin == 0 && !expression->depthFirstOnly) || expression->safeMode) {
    return computeByReach(start, length, hi, lo);
  }
  for (int i = hi; i >= lo; --i) {
    int kLo;
    int kHi;
    countRange(i, &kLo, &kHi);
    for (int k = kLo; k <= kHi; ++k) {
      if (split(k, start, i)) {
        if (restAccepted(start, length, i)) return true;
        break;
      }
    }
    if (expression->aborted) return false;
  }
  return false;
}

bool VRegIteration::split(int k, int start, int n) {
  VRegularExpression* e = expression;
  if (++e->searchSteps > e->searchBudget && !e->safeMode) e->aborted = true;
  if (e->aborted) return false;
  if (k == 0) return n == 0;
  if (k == 1) return operand->match(start, n);
  if (int64_t{k} * operandMin > n || n > int64_t{k} * operandMax) return false;
  int jHi = static_cast<int>(std::min<int64_t>(n - int64_t{k - 1} * operandMin, operandMax));
  int jLo = static_cast<int>(std::max<int64_t>(n - int64_t{k - 1} * operandMax, operandMin));
  for (int j = jHi; j >= jLo; --j) {
    if (operand->match(start, j) && split(k - 1, start + j, n - j)) return true;
  }
  return false;
}

namespace {

// True when any bit from..to (inclusive) of a multi-word bit row is set.
bool anyBitIn(const uint64_t* row, int from, int to) {
  for (int b = from; b <= to; ++b) {
    if ((b & 63) == 0 && b + 63 <= to) {
      if (row[b >> 6] != 0) return true;
      b += 63;
      continue;
    }
    if ((row[b >> 6] >> (b & 63)) & 1) return true;
  }
  return false;
}

}  // namespace

// Row q (for q = 0 .. hi) holds the set of counts m of non-empty operand
// matches that cut the q characters from start exactly; counts above the
// largest one ever asked for are dropped. A piece count k is then possible
// for an own part of length i when some m in row i equals k, or, if the
// operand matches the empty span, when some m <= k (empty pieces pad).
bool VRegIteration::computeByReach(int start, int length, int hi, int lo) {
  if (hi < lo) return false;
  VRegularExpression* e = expression;
  bool emptyPiece = operandMin == 0 && operand->match(start, 0);
  int pieceMin = std::max(operandMin, 1);
  int countMax = std::min(maxCount, operandMin == 0 ? UNBOUNDED : hi / operandMin);
  countMax = std::min(countMax, hi);
  int words = countMax / 64 + 1;
  size_t base = e->reachRows.size();
  e->reachRows.resize(base + static_cast<size_t>(hi + 1) * words, 0);
  uint64_t lastMask =
      (countMax & 63) == 63 ? ~uint64_t{0} : (uint64_t{1} << ((countMax & 63) + 1)) - 1;
  e->reachRows[base] = 1;  // zero pieces cut the empty prefix
  for (int q = 0; q < hi && !e->aborted; ++q) {
    if (!anyBitIn(e->reachRows.data() + base + static_cast<size_t>(q) * words, 0, countMax)) {
      continue;
    }
    int jHi = std::min(operandMax, hi - q);
    for (int j = pieceMin; j <= jHi; ++j) {
      if (!operand->match(start + q, j)) continue;
      // The operand may have used rows above ours and moved the storage.
      uint64_t* from = e->reachRows.data() + base + static_cast<size_t>(q) * words;
      uint64_t* to = from + static_cast<size_t>(j) * words;
      uint64_t carry = 0;
      for (int w = 0; w < words; ++w) {
        to[w] |= (from[w] << 1) | carry;
        carry = from[w] >> 63;
      }
      to[words - 1] &= lastMask;
    }
  }
  bool answer = false;
  for (int i = hi; i >= lo && !answer && !e->aborted; --i) {
    int kLo;
    int kHi;
    countRange(i, &kLo, &kHi);
    if (kLo > kHi) continue;
    bool possible;
    if (i == 0) {
      possible = kLo == 0 || emptyPiece;
    } else {
      const uint64_t* row = e->reachRows.data() + base + static_cast<size_t>(i) * words;
      int to = std::min(kHi, countMax);
      possible = anyBitIn(row, emptyPiece ? 1 : std::max(kLo, 1), to);
    }
    if (possible) answer = restAccepted(start, length, i);
  }
  e->reachRows.resize(base);
  return answer && !e->aborted;
}

// ---- VRegWildcard ----

bool VRegWildcard::match(int start, int length) { return framedMatch(this, start, length); }

void VRegWildcard::prepare(bool memoizeFlag) {
  if (minLength >= 0) return;
  // A single character is cheap to test again: no table of its own, and
  // the flag is handed on unchanged.
  prepareContinuation(1, 1, memoizeFlag);
}

bool VRegWildcard::accepts(unsigned char c) const {
  if (!charSet) return true;
  auto inSet = [this](int value) { return ((charSet[value >> 5] >> (value & 31)) & 1) != 0; };
  if (!expression->ignoreCase) return inSet(c);
  int upper = std::toupper(c);
  int lower = std::tolower(c);
  return inSet(upper) || (lower != upper && inSet(lower));
}

bool VRegWildcard::compute(int start, int length) {
  if (!accepts(static_cast<unsigned char>(expression->subject[start]))) return false;
  if (length == 1) return true;
  return continuation && continuation->match(start + 1, length - 1);
}

}  // namespace bench
