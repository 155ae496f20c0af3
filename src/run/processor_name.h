// The processor's name and the operating system's clock figure, taken from
// the raw texts of the platform (the CPUID brand string, the "key : value"
// lines of /proc/cpuinfo, the board's device-tree model).
//
// Stateless functions.
#ifndef BENCH_RUN_PROCESSOR_NAME_H_
#define BENCH_RUN_PROCESSOR_NAME_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace bench {

// `text` up to its first NUL, with leading, trailing and repeated blanks
// (any white space) removed, cut to the 127 bytes a description holds.
std::string cleanDescription(std::string_view text);

// The value of the first "key : value" line of `infoText` whose key (blanks
// around it ignored) is `key`, cleaned; empty when there is no such line.
std::string processorInfoField(std::string_view infoText, std::string_view key);

// The name of the processor: the brand string when it names anything, else
// the "model name" of the processor information (or "Processor", as older
// ARM kernels call it), else the board model, else "undefined".
std::string processorName(std::string_view brandString, std::string_view infoText,
                          std::string_view boardModel);

// The highest clock the operating system reports: `maxClockMhz` when it is
// positive, else the highest "cpu MHz" of the processor information,
// rounded; 0 when neither gives one.
int32_t osReportedClock(int32_t maxClockMhz, std::string_view infoText);

// processorName of this machine, from the platform's texts.
std::string thisProcessorName();

}  // namespace bench

#endif  // BENCH_RUN_PROCESSOR_NAME_H_
