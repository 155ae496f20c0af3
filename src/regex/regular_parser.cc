// The recursive-descent parser behind VRegularExpression's constructor.
//
// Grammar, loosest binding first: an alternation is intersections separated
// by `|`, an intersection is sequences separated by `&`, a sequence is
// elements up to NUL, `&`, `|` or `)`. An empty first operand makes the
// whole alternation or intersection empty; an empty later operand ends the
// list there, and whatever follows it is left to the caller.
#include <climits>
#include <cstdint>
#include <cstdio>
#include <new>

#include "regex/regular_expression.h"

namespace bench {

namespace {

constexpr const char* MESSAGE_COUNTS = "Error in {min,max} iteration description\n";
constexpr const char* MESSAGE_SET = "Error:  wild-card was not closed properly\n";
constexpr const char* MESSAGE_PAREN = "Error: ')' expected\n";
constexpr const char* MESSAGE_NOTHING = "Error: nothing to iterate\n";
constexpr const char* MESSAGE_ITERATION = "Error: error in iteration\n";
constexpr const char* MESSAGE_COMPLEX = "Error: expression too complex\n";

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads one integer as the scanf conversion %d does: optional white space,
// an optional sign, at least one digit. Values beyond the int range saturate.
bool readCount(const char** text, int* value) {
  const char* p = *text;
  while (isBlank(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (!isDigit(*p)) return false;
  int64_t v = 0;
  while (isDigit(*p)) {
    v = v * 10 + (*p++ - '0');
    if (v > int64_t{INT_MAX} + 1) v = int64_t{INT_MAX} + 1;
  }
  if (negative) v = -v;
  *value = v > INT_MAX ? INT_MAX : (v < INT_MIN ? INT_MIN : static_cast<int>(v));
  *text = p;
  return true;
}

// Reads "min,max}" after a `{` (the format "%d,%d%n" followed by `}`).
bool readCounts(const char** text, int* minimum, int* maximum) {
  const char* p = *text;
  if (!readCount(&p, minimum) || *p++ != ',' || !readCount(&p, maximum) || *p != '}') {
    return false;
  }
  *text = p + 1;
  return true;
}

bool isSequenceEnd(char c) { return c == '\0' || c == '&' || c == '|' || c == ')'; }

bool isOperator(char c) { return c == '*' || c == '+' || c == '?' || c == '{'; }

}  // namespace

void VRegularExpression::fail(const char* message) {
  if (parseFailed) return;
  parseFailed = true;
  std::fputs(message, stdout);
}

bool VRegularExpression::countNode() {
  if (++nodeCount <= MAX_NODES) return true;
  fail(MESSAGE_COMPLEX);
  return false;
}

std::unique_ptr<VRegularItem> VRegularExpression::parseAlternation() { return parseLevel(false); }

std::unique_ptr<VRegularItem> VRegularExpression::parseIntersection() { return parseLevel(true); }

std::unique_ptr<VRegularItem> VRegularExpression::parseLevel(bool intersection) {
  auto parseOperand = [this, intersection]() {
    return intersection ? parseSequence() : parseIntersection();
  };
  const char separator = intersection ? '&' : '|';
  std::unique_ptr<VRegularItem> first = parseOperand();
  if (parseFailed || !first) return nullptr;
  if (*cursor != separator) return first;
  if (!countNode()) return nullptr;
  std::unique_ptr<VRegOr> list(intersection ? new VRegAnd(this) : new VRegOr(this));
  list->items[0] = std::move(first);
  list->itemCount = 1;
  while (*cursor == separator) {
    ++cursor;
    std::unique_ptr<VRegularItem> operand = parseOperand();
    if (parseFailed) return nullptr;
    if (!operand) break;  // the cursor stays on what ended the empty operand
    if (list->itemCount < VRegOr::MAX_ITEMS) list->items[list->itemCount++] = std::move(operand);
  }
  if (list->itemCount == 1) return std::move(list->items[0]);
  return list;
}

std::unique_ptr<VRegularItem> VRegularExpression::parseSequence() {
  std::unique_ptr<VRegularItem> first;
  VRegularItem* last = nullptr;
  // A group, wild-card or negated element that an iteration may still take.
  std::unique_ptr<VRegularItem> pending;
  // The pending literal run [runStart, runEnd) and its last byte or pair.
  const char* runStart = nullptr;
  const char* runEnd = nullptr;
  const char* lastLiteral = nullptr;
  bool negate = false;

  auto link = [&](std::unique_ptr<VRegularItem> node) {
    if (!node) return;
    VRegularItem* tail = node->chainTail();
    if (last != nullptr) {
      last->continuation = std::move(node);
    } else {
      first = std::move(node);
    }
    last = tail;
  };
  // The literal bytes of [from, to) with every escaping backslash removed.
  auto makeString = [&](const char* from, const char* to) -> std::unique_ptr<VRegularItem> {
    if (!countNode()) return nullptr;
    std::unique_ptr<char[]> bytes(new char[to - from]);
    int count = 0;
    for (const char* p = from; p < to; ++p) {
      if (*p == '\\') ++p;
      bytes[count++] = *p;
    }
    return std::unique_ptr<VRegularItem>(new (std::nothrow) VRegString(this, bytes.get(), count));
  };
  // Consumes one literal byte or escape pair. A backslash at the end of the
  // pattern escapes the terminating NUL: the pair is part of the run (and
  // matches no subject), while the cursor stays on the NUL.
  auto readLiteral = [&]() {
    lastLiteral = cursor;
    if (*cursor == '\\') {
      ++cursor;
      if (*cursor == '\0') {
        runEnd = cursor + 1;
        return;
      }
    }
    ++cursor;
    runEnd = cursor;
  };
  auto flushRun = [&]() {
    if (runStart == nullptr) return true;
    std::unique_ptr<VRegularItem> text = makeString(runStart, runEnd);
    runStart = nullptr;
    if (!text) return false;
    link(std::move(text));
    return true;
  };
  auto flush = [&]() {
    link(std::move(pending));
    return flushRun();
  };

  while (!isSequenceEnd(*cursor)) {
    char c = *cursor;
    if (c == '(') {
      if (!flush()) return nullptr;
      ++cursor;
      if (++nesting > MAX_NESTING) {
        fail(MESSAGE_COMPLEX);
        return nullptr;
      }
      std::unique_ptr<VRegularItem> group = parseAlternation();
      --nesting;
      if (parseFailed) return nullptr;
      if (*cursor != ')') {
        fail(MESSAGE_PAREN);
        return nullptr;
      }
      ++cursor;
      if (negate) {
        // The negation of the empty group () has no operand: it matches
        // every non-empty span.
        if (!countNode()) return nullptr;
        group.reset(new VRegNot(this, std::move(group)));
        negate = false;
      }
      // An empty group adds nothing, and leaves nothing to iterate.
      pending = std::move(group);
    } else if (c == '^') {
      if (!flush()) return nullptr;
      negate = !negate;
      ++cursor;
    } else if (c == '.' || c == '[') {
      if (!flush()) return nullptr;
      if (!countNode()) return nullptr;
      std::unique_ptr<uint32_t[]> set;
      if (c == '.') {
        ++cursor;
        if (negate) set.reset(new uint32_t[8]());  // no character at all
      } else {
        set.reset(new uint32_t[8]());
        auto add = [&set](unsigned char member) {
          set[member >> 5] |= uint32_t{1} << (member & 31);
        };
        ++cursor;
        bool negatedSet = *cursor == '^';
        if (negatedSet) ++cursor;
        if (*cursor == ']') {
          add(']');
          ++cursor;
          if (*cursor == '-') {
            add('-');
            ++cursor;
          }
        }
        while (*cursor != ']' && *cursor != '\0') {
          unsigned char low = static_cast<unsigned char>(*cursor);
          if (cursor[1] == '-' && cursor[2] != '\0' && cursor[2] != ']') {
            unsigned char high = static_cast<unsigned char>(cursor[2]);
            for (int member = low; member <= high; ++member)
              add(static_cast<unsigned char>(member));
            cursor += 3;
          } else {
            add(low);
            ++cursor;
          }
        }
        if (*cursor != ']') {
          fail(MESSAGE_SET);
          return nullptr;
        }
        ++cursor;
        if (negatedSet) {
          for (int w = 0; w < 8; ++w) set[w] = ~set[w];
        }
        if (negate) {
          for (int w = 0; w < 8; ++w) set[w] = ~set[w];
        }
      }
      negate = false;
      pending.reset(new VRegWildcard(this, std::move(set)));
    } else if (isOperator(c)) {
      std::unique_ptr<VRegularItem> operand;
      if (pending) {
        operand = std::move(pending);
      } else if (runStart != nullptr) {
        // The operator takes the last byte of the run; the bytes before it
        // stay one text, linked first.
        if (lastLiteral > runStart) {
          std::unique_ptr<VRegularItem> head = makeString(runStart, lastLiteral);
          if (!head) return nullptr;
          link(std::move(head));
        }
        runStart = nullptr;
        operand = makeString(lastLiteral, runEnd);
        if (parseFailed) return nullptr;
        if (!operand) {
          fail(MESSAGE_ITERATION);
          return nullptr;
        }
      } else {
        fail(MESSAGE_NOTHING);
        return nullptr;
      }
      int minimum = 0;
      int maximum = UNBOUNDED;
      ++cursor;
      if (c == '+') {
        minimum = 1;
      } else if (c == '?') {
        maximum = 1;
      } else if (c == '{') {
        if (!readCounts(&cursor, &minimum, &maximum)) {
          fail(MESSAGE_COUNTS);
          return nullptr;
        }
        if (minimum < 0) minimum = 0;
        if (maximum < minimum) maximum = minimum;
        if (maximum == 0) maximum = 1;
      }
      if (!countNode()) return nullptr;
      link(std::unique_ptr<VRegularItem>(
          new VRegIteration(this, std::move(operand), minimum, maximum)));
    } else if (negate) {
      // A negated literal is one byte (or escape pair) of its own.
      if (!flush()) return nullptr;
      const char* from = cursor;
      readLiteral();
      std::unique_ptr<VRegularItem> text = makeString(from, runEnd);
      if (!text || !countNode()) return nullptr;
      pending.reset(new VRegNot(this, std::move(text)));
      negate = false;
    } else {
      link(std::move(pending));
      if (runStart == nullptr) runStart = cursor;
      readLiteral();
    }
  }
  if (!flush()) return nullptr;
  return first;
}

}  // namespace bench
