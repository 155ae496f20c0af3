// VRegularExpression: a pattern compiled into a tree of VRegularItem nodes,
// asked for one subject at a time whether the pattern describes the whole
// subject (no substring search, no captures).
//
// The pattern language: literal bytes, `\` escapes the next byte, groups
// `( )`, alternation `|`, intersection `&`, `^` negates the element that
// follows, `.` and `[...]` match one character, and `*`, `+`, `?`,
// `{min,max}` repeat the element before them.
//
// A malformed pattern is reported on standard output while it is compiled;
// the expression then has no tree (valid() is false) and matches nothing.
//
// The expression owns its tree and its memo buffer. It keeps per-call state
// (the subject, memo entries), so it is used by one thread at a time.
#ifndef BENCH_REGEX_REGULAR_EXPRESSION_H_
#define BENCH_REGEX_REGULAR_EXPRESSION_H_

#include <cstdint>
#include <memory>
#include <vector>

#include "regex/regular_item.h"

namespace bench {

class VRegularExpression {
 public:
  // Limits that keep a pattern's tree small enough to walk recursively; a
  // pattern beyond them is rejected like any other malformed pattern.
  static constexpr int MAX_NODES = 4000;
  static constexpr int MAX_NESTING = 200;
  // The memo tables of one subject may take at most this many bytes.
  static constexpr int64_t MEMO_LIMIT = int64_t{256} << 20;
  // Subjects longer than this are matched in the safe mode (below), whose
  // recursion depth does not grow with the subject.
  static constexpr int SAFE_SUBJECT_LENGTH = 4096;
  // Steps (node questions and split calls) one match may take before the
  // depth-first search is abandoned and the subject is matched again in the
  // safe mode.
  static constexpr int64_t SEARCH_BUDGET = int64_t{1} << 28;

  // How iterations split their spans into pieces.
  enum class SearchMode {
    AUTOMATIC,    // operands that can be empty: the polynomial search; others:
                  // the depth-first search, or the polynomial one once the
                  // depth-first search has run beyond its budget (from then
                  // on for every subject of this expression)
    DEPTH_FIRST,  // the depth-first search everywhere (for tests: may give up)
    SAFE,         // the polynomial search everywhere (for tests)
  };

  // Compiles `pattern`; on a syntax error prints its message on standard
  // output and leaves the expression without a tree.
  explicit VRegularExpression(const char* pattern);
  virtual ~VRegularExpression();
  VRegularExpression(const VRegularExpression&) = delete;
  VRegularExpression& operator=(const VRegularExpression&) = delete;

  // True when the pattern describes the whole subject. A null subject is
  // accepted only by an expression without a tree; an expression without a
  // tree accepts no string, not even the empty one. When the memo tables of
  // a subject cannot be had, prints a diagnostic on standard error and
  // returns false.
  virtual bool match(const char* text);
  // Sets both outputs to 0; nothing else.
  virtual void matchBounds(const char* text, int* first, int* last);

  // False when the pattern was malformed (its message has been printed).
  bool valid() const { return !parseFailed; }

  // Test seams.
  void setSearchModeForTesting(SearchMode mode) { searchMode = mode; }
  void setSearchBudgetForTesting(int64_t steps) { searchBudget = steps; }
  // True when the last match in DEPTH_FIRST mode ran out of its budget (its
  // answer is then meaningless).
  bool searchGaveUp() const { return gaveUp; }
  // True once a match in AUTOMATIC mode ran beyond the budget.
  bool searchOverranForTesting() const { return searchOverran; }
  const uint8_t* memoBufferForTesting() const { return memoBuffer.get(); }

  // The fields the nodes read and write.
  const char* subject = nullptr;
  int subjectLength = 0;
  std::unique_ptr<uint8_t[]> memoBuffer;
  int64_t memoCapacity = 0;
  int64_t memoUsed = 0;
  int64_t stride = 1;
  bool ignoreCase = false;
  const char* cursor;
  std::unique_ptr<VRegularItem> root;

  // Per-call search state.
  bool safeMode = false;        // iterations split with the polynomial search
  bool aborted = false;         // the budget ran out: every node answers false
  bool depthFirstOnly = false;  // even operands that can be empty (for tests)
  int64_t searchSteps = 0;
  int64_t searchBudget = SEARCH_BUDGET;
  // Scratch rows of the polynomial search, used as a stack by nested calls.
  std::vector<uint64_t> reachRows;

  // Parser (regular_parser.cc). Each starts at `cursor`, returns the node
  // or null for an empty construct (or after an error), and leaves `cursor`
  // on the character that ended it.
  std::unique_ptr<VRegularItem> parseAlternation();
  std::unique_ptr<VRegularItem> parseIntersection();
  std::unique_ptr<VRegularItem> parseSequence();

 private:
  // Reports a syntax error: prints `message` once and marks the parse failed.
  void fail(const char* message);
  // Counts one node; false (after reporting) beyond MAX_NODES.
  bool countNode();
  // Makes the memo layout for subjects of `length` characters and grows
  // the buffer when needed. False when the tables cannot be had.
  bool layOut(int length);
  std::unique_ptr<VRegularItem> parseLevel(bool intersection);

  bool layoutMade = false;
  bool parseFailed = false;
  bool gaveUp = false;
  bool searchOverran = false;  // some match ran beyond the budget
  int nodeCount = 0;
  int nesting = 0;
  SearchMode searchMode = SearchMode::AUTOMATIC;
};

}  // namespace bench

#endif  // BENCH_REGEX_REGULAR_EXPRESSION_H_
