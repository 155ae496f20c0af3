#include "results/number_text.h"

#include <climits>
#include <cstdlib>

namespace bench {

bool readDecimal(const char* text, int32_t* value, const char** end) {
  char* stop = nullptr;
  long long wide = std::strtoll(text, &stop, 10);
  if (end) *end = stop;
  if (stop == text) {
    *value = 0;
    return false;
  }
  if (wide > INT32_MAX) wide = INT32_MAX;
  if (wide < INT32_MIN) wide = INT32_MIN;
  *value = static_cast<int32_t>(wide);
  return true;
}

int32_t decimalValue(const char* text) {
  int32_t value = 0;
  readDecimal(text, &value);
  return value;
}

uint32_t readUnsigned32(const char* text, const char** end) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  uint32_t value = 0;
  bool any = false;
  // A sign is accepted like the standard unsigned conversion does; a minus
  // negates modulo 2^32.
  bool negative = false;
  const char* digits = p;
  if (*digits == '+' || *digits == '-') {
    negative = *digits == '-';
    ++digits;
  }
  const char* q = digits;
  while (*q >= '0' && *q <= '9') {
    uint64_t next = static_cast<uint64_t>(value) * 10u + static_cast<uint64_t>(*q - '0');
    value = next > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(next);
    any = true;
    ++q;
  }
  if (!any) {
    *end = text;
    return 0;
  }
  *end = q;
  return negative ? 0u - value : value;
}

int32_t automaticBaseValue(const char* text) {
  long long wide = std::strtoll(text, nullptr, 0);
  if (wide > INT32_MAX) wide = INT32_MAX;
  if (wide < INT32_MIN) wide = INT32_MIN;
  return static_cast<int32_t>(wide);
}

}  // namespace bench
