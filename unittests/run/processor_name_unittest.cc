#include "run/processor_name.h"

#include <gtest/gtest.h>

#include <string>

namespace bench {
namespace {

using namespace std::string_literals;

// Brand strings as the extended CPUID leaves give them: 48 bytes, padded
// with leading blanks or trailing blanks and NULs.
const std::string INTEL_BRAND = "       Intel(R) Xeon(R) CPU E5-2690 v4 @ 2.60GHz"s;
const std::string AMD_BRAND = "AMD EPYC 7B13 64-Core Processor                 "s;
const std::string NUL_PADDED_BRAND = "Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz\0\0\0\0\0\0\0\0"s;

const char* const X86_CPUINFO =
    "processor\t: 0\n"
    "vendor_id\t: AuthenticAMD\n"
    "model name\t: AMD EPYC 7B13   64-Core Processor\n"
    "cpu MHz\t\t: 2096.024\n"
    "flags\t\t: fpu vme de pse\n"
    "\n"
    "processor\t: 1\n"
    "model name\t: AMD EPYC 7B13   64-Core Processor\n"
    "cpu MHz\t\t: 3400.512\n";

// An older 32-bit ARM kernel: "Processor", and a "model name" missing.
const char* const ARM32_CPUINFO =
    "Processor\t: ARMv7 Processor rev 4 (v7l)\n"
    "processor\t: 0\n"
    "BogoMIPS\t: 38.40\n"
    "Hardware\t: BCM2835\n";

// A 64-bit ARM kernel names no processor; the board's model does.
const char* const ARM64_CPUINFO =
    "processor\t: 0\n"
    "BogoMIPS\t: 108.00\n"
    "CPU implementer\t: 0x41\n"
    "CPU part\t: 0xd08\n";
const std::string BOARD_MODEL = "Raspberry Pi 4 Model B Rev 1.4\0"s;

TEST(CleanDescription, BlanksAndLength) {
  struct Case {
    std::string text;
    std::string expected;
  };
  const Case cases[] = {
      {"  Intel(R)  Core(TM)\t i7 \n", "Intel(R) Core(TM) i7"},
      {"Name\0rest after the NUL"s, "Name"},
      {" \t\0 "s, ""},
      {std::string(200, 'x'), std::string(127, 'x')},
      // A cut that ends on a blank leaves no trailing blank.
      {std::string(126, 'a') + " b", std::string(126, 'a')},
      {std::string(126, 'a') + "   bc", std::string(126, 'a')},
  };
  for (const Case& c : cases) EXPECT_EQ(cleanDescription(c.text), c.expected) << c.text;
}

TEST(ProcessorInfoField, ExactKeyOfTheFirstMatchingLine) {
  EXPECT_EQ(processorInfoField(X86_CPUINFO, "model name"), "AMD EPYC 7B13 64-Core Processor");
  EXPECT_EQ(processorInfoField(X86_CPUINFO, "cpu MHz"), "2096.024");
  EXPECT_EQ(processorInfoField(ARM32_CPUINFO, "Processor"), "ARMv7 Processor rev 4 (v7l)");
  EXPECT_EQ(processorInfoField(ARM32_CPUINFO, "processor"), "0");
  EXPECT_EQ(processorInfoField(ARM64_CPUINFO, "model name"), "");
  EXPECT_EQ(processorInfoField(X86_CPUINFO, "model"), "");
  // A last line without its newline, and a value with a colon of its own.
  EXPECT_EQ(processorInfoField("a : 1\nmodel name : X: Y", "model name"), "X: Y");
}

TEST(ProcessorName, TakesTheFirstSourceThatNamesIt) {
  struct Case {
    std::string brand;
    std::string info;
    std::string board;
    std::string expected;
  };
  const Case cases[] = {
      {INTEL_BRAND, X86_CPUINFO, "", "Intel(R) Xeon(R) CPU E5-2690 v4 @ 2.60GHz"},
      {AMD_BRAND, "", "", "AMD EPYC 7B13 64-Core Processor"},
      {NUL_PADDED_BRAND, "", "", "Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz"},
      // A brand string of nothing but padding names nothing.
      {std::string(48, '\0'), X86_CPUINFO, "", "AMD EPYC 7B13 64-Core Processor"},
      {std::string(48, ' '), X86_CPUINFO, "", "AMD EPYC 7B13 64-Core Processor"},
      {"", ARM32_CPUINFO, BOARD_MODEL, "ARMv7 Processor rev 4 (v7l)"},
      {"", ARM64_CPUINFO, BOARD_MODEL, "Raspberry Pi 4 Model B Rev 1.4"},
      {"", ARM64_CPUINFO, "", "undefined"},
      {"", "", "", "undefined"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(processorName(c.brand, c.info, c.board), c.expected) << c.expected;
  }
}

TEST(OsReportedClock, MaximumClockElseHighestCpuMhz) {
  EXPECT_EQ(osReportedClock(4200, X86_CPUINFO), 4200);
  EXPECT_EQ(osReportedClock(0, X86_CPUINFO), 3401);
  EXPECT_EQ(osReportedClock(0, ARM64_CPUINFO), 0);
  EXPECT_EQ(osReportedClock(0, "cpu MHz : fast\ncpu MHz : 1200.4\n"), 1200);
  EXPECT_EQ(osReportedClock(0, ""), 0);
}

}  // namespace
}  // namespace bench
