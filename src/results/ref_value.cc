#include "results/ref_value.h"

namespace bench {

double refValue(int32_t timeMs, int32_t clockMhz) {
  return static_cast<double>(timeMs) * clockMhz * 1e-6;
}

}  // namespace bench
