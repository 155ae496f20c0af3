// The process-wide run settings: written while the command line is parsed
// (and, for the system description, right after it), read afterwards by the
// harness, the listing and the tests. Tests read only `superBriefMode`.
//
// Used by the main thread only.
#ifndef BENCH_RUN_SETTINGS_H_
#define BENCH_RUN_SETTINGS_H_

#include <cstdint>

#include "run/version.h"

namespace bench {

// The fixed texts of the program. The version and revision come from the
// build (run/version.h is generated from the top CMakeLists.txt), so the
// packages' names and the banner always agree.
inline constexpr const char* VERSION = BENCH_VERSION_TEXT;
inline constexpr int REVISION = BENCH_REVISION_NUMBER;
inline constexpr const char* RESULT_FILE = "results.txt";
inline constexpr const char* ENHANCED_FILE = "enhanced.txt";
inline constexpr const char* CPU_FILE = "cpu.txt";

// Size of the description buffer; a description holds at most 127 bytes.
inline constexpr int DESCRIPTION_BUFFER_SIZE = 128;

struct RunSettings {
  uint32_t testMask = 0xFFFFFF;
  bool briefMode = false;
  bool superBriefMode = false;
  bool logPerTest = false;
  uint32_t ramLimit = 0;
  uint32_t vmLimit = 0;
  uint32_t diskLimit = 0;
  int32_t cpuClock = 0;
  // True after `-c auto`: cpuClock is measured before the run, and, unless
  // `-c` gave a description too, the description names the processor.
  bool cpuClockAuto = false;
  // True when `-c` gave the description, so cpu.txt is not read.
  bool descriptionGiven = false;
  // The description text: "undefined" until `-c` or cpu.txt gives one; then
  // the text at descriptionOffset within descriptionBuffer (after leading
  // white space).
  char descriptionBuffer[DESCRIPTION_BUFFER_SIZE] = "";
  int descriptionOffset = -1;

  const char* cpuDescription() const {
    return descriptionOffset < 0 ? "undefined" : descriptionBuffer + descriptionOffset;
  }
};

extern RunSettings runSettings;

// Restores every setting to its default (for tests).
void resetRunSettings();

}  // namespace bench

#endif  // BENCH_RUN_SETTINGS_H_
