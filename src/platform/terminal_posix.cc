#include <unistd.h>

#include <cstdio>

#include "platform/terminal.h"

namespace bench::platform {

bool isTerminal(std::FILE* stream) {
  const int descriptor = fileno(stream);
  return descriptor >= 0 && isatty(descriptor) == 1;
}

}  // namespace bench::platform
