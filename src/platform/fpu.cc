#include "platform/fpu.h"

#if BENCH_X87
#include <fpu_control.h>
#endif

namespace bench::platform {

void setDoublePrecision() {
#if BENCH_X87
  fpu_control_t control;
  _FPU_GETCW(control);
  control = static_cast<fpu_control_t>((control & ~_FPU_EXTENDED) | _FPU_DOUBLE);
  _FPU_SETCW(control);
#endif
}

}  // namespace bench::platform
