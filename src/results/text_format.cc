#include "results/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace bench {

void appendFormat(std::string* out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  // Most pieces fit in the first guess; a longer one is formatted a second
  // time into room of its exact length.
  constexpr size_t GUESS = 128;
  size_t start = out->size();
  size_t room = GUESS;
  out->resize(start + room);
  int length = std::vsnprintf(out->data() + start, room + 1, format, args);
  va_end(args);
  if (length < 0) length = 0;
  if (static_cast<size_t>(length) > room) {
    out->resize(start + static_cast<size_t>(length));
    std::vsnprintf(out->data() + start, static_cast<size_t>(length) + 1, format, again);
  }
  va_end(again);
  out->resize(start + static_cast<size_t>(length));
}

}  // namespace bench
