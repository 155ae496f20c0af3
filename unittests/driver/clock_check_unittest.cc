#include "driver/clock_check.h"

#include <gtest/gtest.h>

#include <string>

#include "run/processor_name.h"

namespace bench {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

bool contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// The fake meter's answer, and how often it was asked.
MeasuredClock fakeMeasurement;
int fakeMeasurements = 0;

MeasuredClock fakeMeter() {
  ++fakeMeasurements;
  return fakeMeasurement;
}

class ClockCheck : public ::testing::Test {
 protected:
  void SetUp() override { fakeMeasurements = 0; }

  // Runs the check before the run with the meter answering `measured`;
  // returns what it printed on standard error.
  std::string before(bool clockGiven, MeasuredClock measured, MeasuredClock* result = nullptr) {
    fakeMeasurement = measured;
    CaptureStderr();
    MeasuredClock got = checkClockBeforeRun(&settings, table, clockGiven, fakeMeter);
    if (result != nullptr) *result = got;
    return GetCapturedStderr();
  }

  // Runs the check after the run with the clocks measured after the tests.
  static std::string after(MeasuredClock beforeRun, std::initializer_list<MeasuredClock> tests) {
    MeasuredClock lowest;
    for (const MeasuredClock& measured : tests) keepLowerClock(&lowest, measured);
    CaptureStderr();
    checkClockAfterRun(beforeRun, lowest);
    return GetCapturedStderr();
  }

  void giveDescription(const char* text) {
    std::snprintf(settings.descriptionBuffer, DESCRIPTION_BUFFER_SIZE, "%s", text);
    settings.descriptionOffset = 0;
  }

  RunSettings settings;
  ResultTable table;
};

TEST_F(ClockCheck, AutoTakesTheMeasuredClockAndTheProcessorName) {
  settings.cpuClockAuto = true;
  MeasuredClock result;
  EXPECT_EQ(before(false, {3670, ClockSource::CHAIN}, &result), "");
  EXPECT_EQ(settings.cpuClock, 3670);
  EXPECT_EQ(result.mhz, 3670);
  EXPECT_EQ(std::string(settings.cpuDescription()), thisProcessorName());
  EXPECT_EQ(fakeMeasurements, 1);
}

TEST_F(ClockCheck, AutoKeepsAGivenDescription) {
  settings.cpuClockAuto = true;
  giveDescription("My box");
  EXPECT_EQ(before(false, {2400, ClockSource::CHAIN}), "");
  EXPECT_STREQ(settings.cpuDescription(), "My box");
  EXPECT_EQ(settings.cpuClock, 2400);
}

TEST_F(ClockCheck, AutoSaysWhenTheClockIsNotMeasured) {
  settings.cpuClockAuto = true;
  std::string reported = before(false, {2596, ClockSource::OS_REPORTED});
  EXPECT_TRUE(contains(reported, "operating system reports, 2596 MHz")) << reported;
  EXPECT_EQ(settings.cpuClock, 2596);

  std::string none = before(false, {0, ClockSource::NONE});
  EXPECT_TRUE(contains(none, "using 0 MHz")) << none;
  EXPECT_EQ(settings.cpuClock, 0);
}

// The warning comes for a given clock only, names both figures, and is not
// given for figures the operating system merely reports.
TEST_F(ClockCheck, GivenClockIsCrossChecked) {
  struct Case {
    bool clockGiven;
    int32_t given;
    MeasuredClock measured;
    bool warns;
  };
  const Case cases[] = {
      {true, 1000, {3670, ClockSource::CHAIN}, true},
      {true, 3500, {3670, ClockSource::CHAIN}, false},
      {false, 0, {3670, ClockSource::CHAIN}, false},
      {true, 1000, {2596, ClockSource::OS_REPORTED}, false},
      {true, 1000, {0, ClockSource::NONE}, false},
  };
  for (const Case& c : cases) {
    settings.cpuClock = c.given;
    std::string err = before(c.clockGiven, c.measured);
    if (c.warns) {
      EXPECT_TRUE(contains(err, "given clock of 1000 MHz")) << err;
      EXPECT_TRUE(contains(err, "3670 MHz")) << err;
      EXPECT_TRUE(contains(err, "\"ref\" compares systems by the clock given")) << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line";
    } else {
      EXPECT_EQ(err, "") << c.given << " " << c.measured.mhz;
    }
    EXPECT_EQ(settings.cpuClock, c.given) << "a given clock stays";
  }
}

// A measurement close to a clock this system already has in the table is
// recorded under that clock, and says so; other systems' clocks and clocks
// further away are not taken; a new clock is rounded to 10 MHz.
TEST_F(ClockCheck, AutoRecordsUnderTheClockThisSystemAlreadyHas) {
  giveDescription("Box");
  table.append("Box", 3700, 1, 1000, false);
  table.append("Other", 2005, 1, 1000, false);
  settings.cpuClockAuto = true;
  struct Case {
    int32_t measured;
    int32_t recorded;
    const char* note;  // part of the line on standard error, or "" for none
  };
  const Case cases[] = {
      {3667, 3700, "measured 3667 MHz; recorded as 3700 MHz, the clock of this system's results"},
      {3700, 3700, ""},
      {4070, 4070, ""},  // 10% faster: a new system
      {4073, 4070,
       "measured 4073 MHz; recorded as 4070 MHz (a measured clock is recorded in "
       "steps of 10 MHz)"},
      {2005, 2010, "recorded as 2010 MHz (a measured"},  // another description's clock
  };
  for (const Case& c : cases) {
    std::string err = before(false, {c.measured, ClockSource::CHAIN});
    EXPECT_EQ(settings.cpuClock, c.recorded) << c.measured;
    if (*c.note == '\0') {
      EXPECT_EQ(err, "") << c.measured;
    } else {
      EXPECT_TRUE(contains(err, c.note)) << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << "one line";
    }
  }
  // The operating system's figure is taken as it is.
  before(false, {2596, ClockSource::OS_REPORTED});
  EXPECT_EQ(settings.cpuClock, 2596);
}

// The lowest clock measured after any test counts, not the last one.
TEST_F(ClockCheck, ThrottlingDuringTheRunIsReported) {
  const MeasuredClock beforeRun{3670, ClockSource::CHAIN};
  std::string err =
      after(beforeRun,
            {{3600, ClockSource::CHAIN}, {3000, ClockSource::CHAIN}, {3650, ClockSource::CHAIN}});
  EXPECT_TRUE(contains(err, "dropped from 3670 MHz to 3000 MHz")) << err;
  EXPECT_EQ(after(beforeRun, {{3400, ClockSource::CHAIN}}), "");
  EXPECT_EQ(after(beforeRun, {{0, ClockSource::NONE}}), "");
  EXPECT_EQ(after(beforeRun, {}), "");

  // Without a chain measurement before the run there is nothing to compare.
  EXPECT_EQ(after({2596, ClockSource::OS_REPORTED}, {{1000, ClockSource::CHAIN}}), "");
}

}  // namespace
}  // namespace bench
