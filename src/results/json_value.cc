#include "results/json_value.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "results/text_escape.h"

namespace bench {

class JsonParser {
 public:
  explicit JsonParser(std::string_view text) : text_(text) {}

  bool parseDocument(JsonValue* value, std::string* error) {
    skipSpace();
    bool ok = parseValue(value, 0);
    if (ok) {
      skipSpace();
      if (at_ != text_.size()) ok = fail("text after the value");
    }
    if (!ok) *error = error_ + " at byte " + std::to_string(at_ + 1);
    return ok;
  }

 private:
  bool fail(const char* reason) {
    // Whatever was expected, a text that ends too soon was cut short.
    if (error_.empty()) error_ = atEnd() ? "the text ends too soon" : reason;
    return false;
  }

  bool atEnd() const { return at_ >= text_.size(); }
  char peek() const { return atEnd() ? '\0' : text_[at_]; }

  void skipSpace() {
    while (!atEnd() && (peek() == ' ' || peek() == '\t' || peek() == '\n' || peek() == '\r')) {
      ++at_;
    }
  }

  bool literal(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return fail("unknown word");
    at_ += word.size();
    return true;
  }

  bool parseValue(JsonValue* value, int depth) {
    if (depth >= JsonValue::MAX_DEPTH) return fail("nested too deeply");
    switch (peek()) {
      case '{':
        return parseObject(value, depth);
      case '[':
        return parseArray(value, depth);
      case '"':
        value->kind_ = JsonValue::Kind::STRING;
        return parseString(&value->string_);
      case 't':
        value->kind_ = JsonValue::Kind::BOOLEAN;
        value->boolean_ = true;
        return literal("true");
      case 'f':
        value->kind_ = JsonValue::Kind::BOOLEAN;
        value->boolean_ = false;
        return literal("false");
      case 'n':
        value->kind_ = JsonValue::Kind::NUL;
        return literal("null");
      default:
        return parseNumber(value);
    }
  }

  bool parseObject(JsonValue* value, int depth) {
    value->kind_ = JsonValue::Kind::OBJECT;
    ++at_;
    skipSpace();
    if (peek() == '}') {
      ++at_;
      return true;
    }
    for (;;) {
      skipSpace();
      if (peek() != '"') return fail("expected a member name");
      std::string name;
      if (!parseString(&name)) return false;
      skipSpace();
      if (peek() != ':') return fail("expected ':'");
      ++at_;
      skipSpace();
      JsonValue member;
      if (!parseValue(&member, depth + 1)) return false;
      value->members_.emplace_back(std::move(name), std::move(member));
      skipSpace();
      if (peek() == ',') {
        ++at_;
        continue;
      }
      if (peek() == '}') {
        ++at_;
        return true;
      }
      return fail("expected ',' or '}'");
    }
  }

  bool parseArray(JsonValue* value, int depth) {
    value->kind_ = JsonValue::Kind::ARRAY;
    ++at_;
    skipSpace();
    if (peek() == ']') {
      ++at_;
      return true;
    }
    for (;;) {
      skipSpace();
      JsonValue item;
      if (!parseValue(&item, depth + 1)) return false;
      value->items_.push_back(std::move(item));
      skipSpace();
      if (peek() == ',') {
        ++at_;
        continue;
      }
      if (peek() == ']') {
        ++at_;
        return true;
      }
      return fail("expected ',' or ']'");
    }
  }

  bool hex4(uint32_t* code) {
    if (text_.size() - at_ < 4) return fail("short \\u escape");
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      char c = text_[at_++];
      value <<= 4;
      if (c >= '0' && c <= '9') {
        value |= static_cast<uint32_t>(c - '0');
      } else if (c >= 'a' && c <= 'f') {
        value |= static_cast<uint32_t>(c - 'a' + 10);
      } else if (c >= 'A' && c <= 'F') {
        value |= static_cast<uint32_t>(c - 'A' + 10);
      } else {
        return fail("bad \\u escape");
      }
    }
    *code = value;
    return true;
  }

  bool parseString(std::string* out) {
    ++at_;  // the opening quote
    for (;;) {
      if (atEnd()) return fail("unterminated string");
      const unsigned char c = static_cast<unsigned char>(text_[at_]);
      if (c == '"') {
        ++at_;
        return true;
      }
      if (c < 0x20) return fail("control character in a string");
      if (c == '\\') {
        ++at_;
        if (atEnd()) return fail("unterminated string");
        char escape = text_[at_++];
        switch (escape) {
          case '"':
          case '\\':
          case '/':
            out->push_back(escape);
            break;
          case 'b':
            out->push_back('\b');
            break;
          case 'f':
            out->push_back('\f');
            break;
          case 'n':
            out->push_back('\n');
            break;
          case 'r':
            out->push_back('\r');
            break;
          case 't':
            out->push_back('\t');
            break;
          case 'u': {
            uint32_t code = 0;
            if (!hex4(&code)) return false;
            if (code >= 0xDC00 && code <= 0xDFFF) return fail("lone low surrogate");
            if (code >= 0xD800 && code <= 0xDBFF) {
              uint32_t low = 0;
              if (text_.substr(at_, 2) != "\\u") return fail("lone high surrogate");
              at_ += 2;
              if (!hex4(&low)) return false;
              if (low < 0xDC00 || low > 0xDFFF) return fail("lone high surrogate");
              code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            }
            appendUtf8(out, static_cast<char32_t>(code));
            break;
          }
          default:
            return fail("unknown escape");
        }
        continue;
      }
      // Raw bytes must be well-formed UTF-8.
      size_t next = at_;
      nextCharacter(text_, &next);
      if (!isUtf8(text_.substr(at_, next - at_))) return fail("invalid UTF-8 in a string");
      out->append(text_.substr(at_, next - at_));
      at_ = next;
    }
  }

  bool parseNumber(JsonValue* value) {
    const size_t start = at_;
    if (peek() == '-') ++at_;
    if (peek() == '0') {
      ++at_;
    } else if (peek() >= '1' && peek() <= '9') {
      while (peek() >= '0' && peek() <= '9') ++at_;
    } else {
      return fail("expected a value");
    }
    if (peek() == '.') {
      ++at_;
      if (!(peek() >= '0' && peek() <= '9')) return fail("bad number");
      while (peek() >= '0' && peek() <= '9') ++at_;
    }
    if (peek() == 'e' || peek() == 'E') {
      ++at_;
      if (peek() == '+' || peek() == '-') ++at_;
      if (!(peek() >= '0' && peek() <= '9')) return fail("bad number");
      while (peek() >= '0' && peek() <= '9') ++at_;
    }
    std::string digits(text_.substr(start, at_ - start));
    value->kind_ = JsonValue::Kind::NUMBER;
    value->number_ = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(value->number_)) return fail("number out of range");
    return true;
  }

  std::string_view text_;
  size_t at_ = 0;
  std::string error_;
};

const JsonValue* JsonValue::member(std::string_view name) const {
  if (kind_ != Kind::OBJECT) return nullptr;
  for (const auto& [key, value] : members_) {
    if (key == name) return &value;
  }
  return nullptr;
}

bool JsonValue::asInt32(int32_t* value) const {
  if (kind_ != Kind::NUMBER || number_ != std::floor(number_) || number_ < INT32_MIN ||
      number_ > INT32_MAX) {
    return false;
  }
  *value = static_cast<int32_t>(number_);
  return true;
}

bool JsonValue::asUint64(uint64_t* value) const {
  if (kind_ != Kind::NUMBER || number_ != std::floor(number_) || number_ < 0 ||
      number_ >= 9007199254740992.0) {
    return false;
  }
  *value = static_cast<uint64_t>(number_);
  return true;
}

bool JsonValue::parse(std::string_view text, JsonValue* value, std::string* error) {
  *value = JsonValue();
  return JsonParser(text).parseDocument(value, error);
}

}  // namespace bench
