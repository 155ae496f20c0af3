// The texts that name the processor: the processor's own brand string and
// what the operating system reports. All are returned raw; choosing and
// cleaning a name is left to the caller.
//
// Every function may be called from any thread; none keeps state.
#ifndef BENCH_PLATFORM_CPU_NAME_H_
#define BENCH_PLATFORM_CPU_NAME_H_

#include <string>

namespace bench::platform {

// The processor's brand string (on x86 the 48 bytes of the extended CPUID
// leaves 0x80000002 to 0x80000004, which may hold leading blanks and
// trailing NULs); empty when the processor or the architecture has none.
std::string readCpuBrandString();

// The operating system's description of the processors as lines of
// "key : value" (on Linux, /proc/cpuinfo); empty when there is none.
std::string readProcessorInfoText();

// The model of the board (the device-tree model on ARM boards, which may end
// in a NUL); empty when there is none.
std::string readBoardModel();

}  // namespace bench::platform

#endif  // BENCH_PLATFORM_CPU_NAME_H_
