// A parsed JSON document (RFC 8259), for reading the files this program
// writes and exchanges: strict syntax, numbers as doubles, strings as UTF-8,
// objects with their members in document order.
//
// Values are plain data; thread-compatible.
#ifndef BENCH_RESULTS_JSON_VALUE_H_
#define BENCH_RESULTS_JSON_VALUE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bench {

class JsonValue {
 public:
  enum class Kind { NUL, BOOLEAN, NUMBER, STRING, ARRAY, OBJECT };

  Kind kind() const { return kind_; }
  bool isNull() const { return kind_ == Kind::NUL; }
  bool boolean() const { return boolean_; }
  double number() const { return number_; }
  const std::string& string() const { return string_; }
  const std::vector<JsonValue>& items() const { return items_; }
  const std::vector<std::pair<std::string, JsonValue>>& members() const { return members_; }

  // The member called `name` of an object (the first, if several), or null
  // when there is none or this is not an object.
  const JsonValue* member(std::string_view name) const;

  // The value as an int32 when it is a number with an integral value in the
  // int32 range; false otherwise.
  bool asInt32(int32_t* value) const;
  // The same for a non-negative integer below 2^53.
  bool asUint64(uint64_t* value) const;

  // Parses `text` as one JSON value with nothing but white space around it.
  // Returns false, with a short reason in `error`, when it is not one, or
  // when it nests deeper than MAX_DEPTH.
  static bool parse(std::string_view text, JsonValue* value, std::string* error);

  static constexpr int MAX_DEPTH = 64;

 private:
  friend class JsonParser;

  Kind kind_ = Kind::NUL;
  bool boolean_ = false;
  double number_ = 0;
  std::string string_;
  std::vector<JsonValue> items_;
  std::vector<std::pair<std::string, JsonValue>> members_;
};

}  // namespace bench

#endif  // BENCH_RESULTS_JSON_VALUE_H_
