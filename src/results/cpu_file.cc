#include "results/cpu_file.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace bench {

namespace {

bool isSpace(int c) { return c != EOF && std::isspace(c) != 0; }

int skipSpace(std::FILE* file) {
  int c;
  do c = std::getc(file);
  while (isSpace(c));
  return c;
}

// Reads an optional sign and decimal digits starting with `c`, saturating at
// the int32 range; pushes back the character that ended the number.
bool readClock(std::FILE* file, int c, int32_t* value) {
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    c = std::getc(file);
  }
  int64_t magnitude = 0;
  bool any = false;
  while (c >= '0' && c <= '9') {
    if (magnitude <= INT32_MAX) magnitude = magnitude * 10 + (c - '0');
    any = true;
    c = std::getc(file);
  }
  if (c != EOF) std::ungetc(c, file);
  if (!any) return false;
  int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX) signedValue = INT32_MAX;
  if (signedValue < INT32_MIN) signedValue = INT32_MIN;
  *value = static_cast<int32_t>(signedValue);
  return true;
}

}  // namespace

bool readCpuFile(const char* fileName, RunSettings* settings) {
  // Binary mode, as for the result files: a byte 0x1A must not end the
  // description on Windows alone. A carriage return is stripped below.
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return false;

  int c = skipSpace(file);
  while (c != EOF && !isSpace(c)) c = std::getc(file);
  c = isSpace(c) ? skipSpace(file) : c;
  int32_t clock = 0;
  if (readClock(file, c, &clock)) settings->cpuClock = clock;

  char* buffer = settings->descriptionBuffer;
  std::fgets(buffer, DESCRIPTION_BUFFER_SIZE, file);
  size_t length = std::strlen(buffer);
  // A line end is a newline, and on files written on other systems a
  // carriage return before it; other trailing white space stays.
  while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r')) {
    buffer[--length] = '\0';
  }
  int offset = 0;
  while (std::isspace(static_cast<unsigned char>(buffer[offset])) != 0) ++offset;
  settings->descriptionOffset = offset;
  std::fclose(file);
  return true;
}

}  // namespace bench
