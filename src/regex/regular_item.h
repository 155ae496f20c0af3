// The node tree of a compiled regular expression.
//
// Every node answers one question: do this node and the rest of its sequence
// (its continuation chain) match exactly the `length` subject characters
// from `start`? Answers are pruned by the precomputed length range and, for
// the nodes that can be asked the same question from several places, cached
// in a 2-bit table inside the expression's shared memo buffer.
//
// Every node owns its continuation and its operands; the expression owns the
// root. Nodes belong to one expression and are used by one thread at a time.
#ifndef BENCH_REGEX_REGULAR_ITEM_H_
#define BENCH_REGEX_REGULAR_ITEM_H_

#include <cstdint>
#include <memory>

namespace bench {

class VRegularExpression;

// The length or count that stands for "unbounded": the maximum count of `*`
// and `+` and the maximum length of a negation.
inline constexpr int UNBOUNDED = 12000;

// Lengths are sums and products of counts and lengths. They saturate here,
// far above any subject the engine lays out, so that no pattern can make them
// overflow; a saturated bound answers every question as the exact one would.
inline constexpr int LENGTH_CAP = 1 << 30;

int addLengths(int a, int b);
int multiplyLengths(int a, int b);

class VRegularItem {
 public:
  explicit VRegularItem(VRegularExpression* owner) : expression(owner) {}
  virtual ~VRegularItem() = default;
  VRegularItem(const VRegularItem&) = delete;
  VRegularItem& operator=(const VRegularItem&) = delete;

  // Does this node followed by its continuation chain match exactly the
  // subject characters start .. start + length - 1?
  // REQUIRES: prepared, and the expression's layout made for the subject.
  virtual bool match(int start, int length) = 0;
  // Computes minLength and maxLength, stores the memoize flag and prepares
  // the operands and the continuation. Does nothing once prepared.
  virtual void prepare(bool memoizeFlag) = 0;
  // Reserves this node's memo table (when it memoizes) after the tables of
  // its operands and before that of its continuation.
  virtual void placeMemo();

  // The last node of the chain that starts here.
  VRegularItem* chainTail();

  VRegularExpression* expression;
  bool memoize = false;
  // Byte offset within the memo buffer against which entry indices (always
  // negative) are taken; the node's first entry falls into byte
  // memo + floor(idxFirst / 4). Only meaningful while the node has a table.
  int64_t memo = 0;
  std::unique_ptr<VRegularItem> continuation;
  int minLength = -1;
  int maxLength = -1;

 protected:
  // The common frame of match: range pruning, memo lookup and store around
  // `node->compute(start, length)`. A template, so that compute is called
  // directly rather than through the virtual table.
  template <class Node>
  static bool framedMatch(Node* node, int start, int length);

  // Reserves this node's own table when it memoizes (the layout rules are
  // in regular_item.cc).
  void placeOwnTable();
  // Adds the continuation's range to the node's own one (after preparing
  // the continuation with `flag`).
  void prepareContinuation(int ownMin, int ownMax, bool flag);
  // The continuation's minLength and maxLength, 0 when there is none.
  int restMinLength() const { return continuation ? continuation->minLength : 0; }
  int restMaxLength() const { return continuation ? continuation->maxLength : 0; }
  // For an own part of length i of the span (start, length): true when the
  // continuation matches the remainder. A node without continuation, or
  // whose continuation can be empty, takes an empty remainder as matched
  // without asking.
  bool restAccepted(int start, int length, int i);
};

// A literal text.
class VRegString : public VRegularItem {
 public:
  // `text` holds `textLength` bytes (it may contain a NUL byte, which no
  // subject matches).
  VRegString(VRegularExpression* owner, const char* bytes, int count);
  bool match(int start, int length) override;
  void prepare(bool memoizeFlag) override;
  bool compute(int start, int length);

  std::unique_ptr<char[]> text;
  int textLength;
};

// Alternation: one of up to 32 items.
class VRegOr : public VRegularItem {
 public:
  static constexpr int MAX_ITEMS = 32;

  explicit VRegOr(VRegularExpression* owner) : VRegularItem(owner) {}
  bool match(int start, int length) override;
  void prepare(bool memoizeFlag) override;
  void placeMemo() override;
  bool compute(int start, int length);

  std::unique_ptr<VRegularItem> items[MAX_ITEMS];
  int itemCount = 0;
  int ownMin = 0;
  int ownMax = 0;
};

// Intersection: every item matches the same span.
class VRegAnd : public VRegOr {
 public:
  explicit VRegAnd(VRegularExpression* owner) : VRegOr(owner) {}
  bool match(int start, int length) override;
  void prepare(bool memoizeFlag) override;
  bool compute(int start, int length);
};

// Negation: any span, of any length including 0, that the operand does not
// match exactly. A missing operand stands for the empty group, which matches
// the empty span only, so its negation matches every non-empty span.
class VRegNot : public VRegularItem {
 public:
  VRegNot(VRegularExpression* owner, std::unique_ptr<VRegularItem> item)
      : VRegularItem(owner), operand(std::move(item)) {}
  bool match(int start, int length) override;
  void prepare(bool memoizeFlag) override;
  void placeMemo() override;
  bool compute(int start, int length);

  std::unique_ptr<VRegularItem> operand;
  int restMin = 0;
  int restMax = 0;
};

// Iteration: minCount to maxCount consecutive matches of the operand.
class VRegIteration : public VRegularItem {
 public:
  // REQUIRES: item is not null; 0 <= minCount <= maxCount, maxCount >= 1.
  VRegIteration(VRegularExpression* owner, std::unique_ptr<VRegularItem> item, int minimum,
                int maximum)
      : VRegularItem(owner), operand(std::move(item)), minCount(minimum), maxCount(maximum) {}
  bool match(int start, int length) override;
  void prepare(bool memoizeFlag) override;
  void placeMemo() override;
  bool compute(int start, int length);

  // Can the n characters from start be cut into k consecutive operand
  // matches? The depth-first search, longest first piece first.
  bool split(int k, int start, int n);

  std::unique_ptr<VRegularItem> operand;
  int minCount;
  int maxCount;
  int operandMin = 0;
  int operandMax = 0;
  int ownMin = 0;
  int ownMax = 0;

 private:
  // The same answers as the depth-first search, found in polynomial time by
  // a forward pass over the span that records, for every end position, the
  // counts of non-empty operand matches that reach it. Empty pieces are
  // handled apart: they only pad the count. Used for operands that can be
  // empty (whose depth-first search is exponential) and in the safe mode.
  bool computeByReach(int start, int length, int hi, int lo);
  // The range of repetition counts tried for an own part of length i.
  void countRange(int i, int* kLo, int* kHi) const;
};

// One character: any character, or one of a set of 256 bits.
class VRegWildcard : public VRegularItem {
 public:
  // `set` is null for "any character".
  VRegWildcard(VRegularExpression* owner, std::unique_ptr<uint32_t[]> set)
      : VRegularItem(owner), charSet(std::move(set)) {}
  bool match(int start, int length) override;
  void prepare(bool memoizeFlag) override;
  bool compute(int start, int length);
  bool accepts(unsigned char c) const;

  std::unique_ptr<uint32_t[]> charSet;  // 8 words; bit c in word c / 32
};

}  // namespace bench

#endif  // BENCH_REGEX_REGULAR_ITEM_H_
