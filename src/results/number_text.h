// Reading numbers from text the way the standard conversions do, without
// undefined behaviour on values that do not fit: too large values saturate.
//
// Thread-safe.
#ifndef BENCH_RESULTS_NUMBER_TEXT_H_
#define BENCH_RESULTS_NUMBER_TEXT_H_

#include <cstdint>

namespace bench {

// Reads a decimal integer at `text`: leading white space, an optional sign,
// digits up to the first non-digit. Values beyond the int32 range saturate.
// Returns false (and 0) when there are no digits. `end`, when given, receives
// the position after the number (or `text` when there is none).
bool readDecimal(const char* text, int32_t* value, const char** end = nullptr);

// The decimal text-to-integer conversion of the command line: as readDecimal,
// 0 when there is no number.
int32_t decimalValue(const char* text);

// Reads an unsigned decimal number like the standard unsigned conversion of a
// 32-bit system (leading white space, an optional sign, digits up to the first
// non-digit; no digits give 0; values beyond 32 bits saturate at 4294967295)
// and stores the position after it in `end`.
uint32_t readUnsigned32(const char* text, const char** end);

// Reads a signed long with automatic base (0x/0X hexadecimal, leading 0
// octal, else decimal); conversion stops at the first character that does not
// fit; text without a number gives 0. Like a 32-bit long, saturates at the
// int32 range.
int32_t automaticBaseValue(const char* text);

}  // namespace bench

#endif  // BENCH_RESULTS_NUMBER_TEXT_H_
