#include "run/result_text.h"

#include <cstdarg>
#include <cstdio>

namespace bench {

namespace {

std::string resultText;

}  // namespace

void printResult(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  if (length > 0) {
    size_t start = resultText.size();
    resultText.resize(start + static_cast<size_t>(length) + 1);
    std::vsnprintf(resultText.data() + start, static_cast<size_t>(length) + 1, format, again);
    resultText.resize(start + static_cast<size_t>(length));
    std::fwrite(resultText.data() + start, 1, static_cast<size_t>(length), stdout);
  }
  va_end(again);
}

std::string takeResultText() {
  std::string taken;
  taken.swap(resultText);
  return taken;
}

}  // namespace bench
