#include "driver/command_line.h"
#include "platform/fpu.h"

int main(int argc, char** argv) {
  bench::platform::setDoublePrecision();
  return bench::benchMain(argc, argv);
}
