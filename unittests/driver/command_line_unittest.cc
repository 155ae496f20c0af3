#include "driver/command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bench {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::GetCapturedStderr;

struct Parsed {
  ParsedCommandLine result;
  RunSettings settings;
  std::string err;
};

Parsed parse(std::vector<const char*> args) {
  args.insert(args.begin(), "bench");
  Parsed parsed;
  CaptureStderr();
  parsed.result = parseCommandLine(static_cast<int>(args.size()), args.data(), &parsed.settings);
  parsed.err = GetCapturedStderr();
  return parsed;
}

TEST(ParseSize, SuffixesAndThirtyTwoBitWrap) {
  struct Case {
    const char* text;
    uint32_t expected;
  };
  const Case cases[] = {
      {"256k", 262144u},
      {"64m", 67108864u},
      {"2g", 2147483648u},
      {"4g", 0u},
      {"3G", 3221225472u},
      {"100", 100u},
      {"12x", 12u},
      {"0x100", 0u},
      {"  7K", 7168u},
      {"abc", 0u},
      {"", 0u},
      {"5000g", 0u},
      {"99999999999", 4294967295u},  // saturates like the standard conversion
      {"99999999999k", 4294966272u},
  };
  for (const Case& c : cases) EXPECT_EQ(parseSize(c.text), c.expected) << c.text;
}

TEST(ParseCommandLine, MaskAndTestSelection) {
  EXPECT_EQ(parse({"-i", "0"}).settings.testMask, 0x000001u);
  EXPECT_EQ(parse({"-i", "99"}).settings.testMask, 0x800000u);
  EXPECT_EQ(parse({"-i", "-99999999999"}).settings.testMask, 0x000001u);
  Parsed withMask = parse({"-i", "3", "0x10"});
  EXPECT_EQ(withMask.settings.testMask, 0x4u);
  EXPECT_TRUE(withMask.result.testGiven);
  EXPECT_STREQ(withMask.result.maskArgument, "0x10");
  // A missing value leaves the option without effect.
  EXPECT_EQ(parse({"-i"}).settings.testMask, 0xFFFFFFu);
  EXPECT_FALSE(parse({"-i"}).result.testGiven);
}

TEST(ParseCommandLine, ParsingStopsAtTheMask) {
  Parsed parsed = parse({"0x1", "-c", "2400"});
  EXPECT_STREQ(parsed.result.maskArgument, "0x1");
  EXPECT_EQ(parsed.settings.cpuClock, 0);
  EXPECT_FALSE(parsed.settings.descriptionGiven);
}

TEST(ParseCommandLine, ClockAndDescription) {
  Parsed parsed = parse({"-c", "2400", "0x1"});
  EXPECT_EQ(parsed.settings.cpuClock, 2400);
  EXPECT_STREQ(parsed.settings.cpuDescription(), "0x1");
  EXPECT_EQ(parsed.result.maskArgument, nullptr);

  Parsed clockOnly = parse({"-c", "1800"});
  EXPECT_TRUE(clockOnly.settings.descriptionGiven);
  EXPECT_STREQ(clockOnly.settings.cpuDescription(), "undefined");

  std::string longText(300, 'd');
  Parsed cut = parse({"-c", "99999999999", longText.c_str()});
  EXPECT_EQ(cut.settings.cpuClock, INT32_MAX);
  EXPECT_EQ(std::string(cut.settings.cpuDescription()), std::string(127, 'd'));
}

// Only the exact word "auto" asks for a measured clock; anything else after
// -c is a number as before, and a later -c wins.
TEST(ParseCommandLine, AutoClock) {
  struct Case {
    std::vector<const char*> args;
    bool clockAuto;
    int32_t clock;
    const char* description;
  };
  const Case cases[] = {
      {{"-c", "auto"}, true, 0, "undefined"},
      {{"-c", "auto", "My box"}, true, 0, "My box"},
      {{"-c", "auto", "-b"}, true, 0, "-b"},
      {{"-c", "0"}, false, 0, "undefined"},
      {{"-c", "autox"}, false, 0, "undefined"},
      {{"-c", "Auto"}, false, 0, "undefined"},
      {{"-c", "auto", "x", "-c", "2400"}, false, 2400, "x"},
  };
  for (const Case& c : cases) {
    Parsed parsed = parse(c.args);
    std::string args;
    for (const char* arg : c.args) args += std::string(arg) + " ";
    EXPECT_EQ(parsed.settings.cpuClockAuto, c.clockAuto) << args;
    EXPECT_EQ(parsed.settings.cpuClock, c.clock) << args;
    EXPECT_TRUE(parsed.settings.descriptionGiven) << args;
    EXPECT_STREQ(parsed.settings.cpuDescription(), c.description) << args;
    EXPECT_EQ(parsed.err, "") << args;
  }
}

TEST(ParseCommandLine, ListWidthIsClamped) {
  struct Case {
    const char* arg;
    int width;
    bool spreadSheet;
  };
  const Case cases[] = {
      {"-l", 80, false},     {"-l20", 40, false}, {"-l500", 160, false},        {"-lx", 80, false},
      {"-l100", 100, false}, {"-ls", 80, true},   {"-l99999999999", 160, false}};
  for (const Case& c : cases) {
    Parsed parsed = parse({c.arg});
    EXPECT_TRUE(parsed.result.listMode) << c.arg;
    EXPECT_EQ(parsed.result.listing.listWidth, c.width) << c.arg;
    EXPECT_EQ(parsed.result.listing.spreadSheetMode, c.spreadSheet) << c.arg;
  }
}

TEST(ParseCommandLine, ListDocumentForms) {
  struct Case {
    std::vector<const char*> args;
    ListDocument document;
    bool spreadSheet;
  };
  const Case cases[] = {
      {{"-lh"}, ListDocument::HTML, false},          {{"-lj"}, ListDocument::JSON, false},
      {{"-lhx"}, ListDocument::HTML, false},         {{"-lh", "-lj"}, ListDocument::JSON, false},
      {{"-lh", "-ls"}, ListDocument::NONE, true},    {{"-ls", "-lj"}, ListDocument::JSON, true},
      {{"-lj", "-l120"}, ListDocument::JSON, false},
  };
  for (const Case& c : cases) {
    Parsed parsed = parse(c.args);
    EXPECT_TRUE(parsed.result.listMode) << c.args.back();
    EXPECT_EQ(parsed.result.listing.listDocument, c.document) << c.args.front() << c.args.back();
    EXPECT_EQ(parsed.result.listing.spreadSheetMode, c.spreadSheet)
        << c.args.front() << c.args.back();
    EXPECT_EQ(parsed.err, "");
  }
}

// -lc and -lv compare runs instead of listing; -lv takes the journal from
// the next argument, so a mask after it is still the mask.
TEST(ParseCommandLine, ComparisonForms) {
  struct Case {
    std::vector<const char*> args;
    bool json;
    bool againstJournal;
    const char* journal;
    const char* mask;
  };
  const Case cases[] = {
      {{"-lc"}, false, false, nullptr, nullptr},
      {{"-lcj", "0x8000"}, true, false, nullptr, "0x8000"},
      {{"-lv", "old.jsonl", "0x8000"}, false, true, "old.jsonl", "0x8000"},
      {{"-lvj", "old.jsonl"}, true, true, "old.jsonl", nullptr},
      {{"-lv"}, false, true, nullptr, nullptr},
  };
  for (const Case& c : cases) {
    Parsed parsed = parse(c.args);
    const ComparisonRequest& request = parsed.result.comparison;
    EXPECT_TRUE(request.wanted) << c.args.front();
    EXPECT_FALSE(parsed.result.listMode) << c.args.front();
    EXPECT_EQ(request.json, c.json) << c.args.front();
    EXPECT_EQ(request.againstJournal, c.againstJournal) << c.args.front();
    EXPECT_STREQ(request.journal, c.journal) << c.args.front();
    EXPECT_STREQ(parsed.result.maskArgument, c.mask) << c.args.front();
  }
  EXPECT_FALSE(parse({"-lx"}).result.comparison.wanted);
}

TEST(ParseCommandLine, SortOptions) {
  struct Case {
    const char* arg;
    bool sort;
    bool ascending;
    SortKey key;
    const char* err;
  };
  const Case cases[] = {
      {"-sat", true, true, SortKey::TIME, ""},
      {"-sdr", true, false, SortKey::REF, ""},
      {"-sac", true, true, SortKey::CLOCK, ""},
      {"-sax", false, true, SortKey::TIME, ""},
      {"-sd", false, false, SortKey::TIME, ""},
      {"-sx", false, true, SortKey::TIME, "Error in sorting argument \"-sx\" (will be ignored)\n"},
  };
  for (const Case& c : cases) {
    Parsed parsed = parse({c.arg});
    EXPECT_EQ(parsed.result.listing.sortResults, c.sort) << c.arg;
    EXPECT_EQ(parsed.result.listing.sortAscending, c.ascending) << c.arg;
    if (c.sort) {
      EXPECT_EQ(parsed.result.listing.sortKey, c.key) << c.arg;
    }
    EXPECT_EQ(parsed.err, c.err) << c.arg;
  }
}

TEST(ParseCommandLine, RestrictOptions) {
  Parsed limits = parse({"-rm", "256k", "-rv", "64m", "-rd", "2g"});
  EXPECT_EQ(limits.settings.ramLimit, 262144u);
  EXPECT_EQ(limits.settings.vmLimit, 67108864u);
  EXPECT_EQ(limits.settings.diskLimit, 2147483648u);

  Parsed bad = parse({"-rq", "5"});
  EXPECT_EQ(bad.err, "Error in restricting argument \"-rq\" (will be ignored)\n");
  EXPECT_STREQ(bad.result.maskArgument, "5");
}

TEST(ParseCommandLine, ModesAndOneShotCommands) {
  Parsed brief = parse({"-bb", "-a", "-m", "other.txt"});
  EXPECT_TRUE(brief.settings.briefMode);
  EXPECT_TRUE(brief.settings.superBriefMode);
  EXPECT_TRUE(brief.settings.logPerTest);
  EXPECT_STREQ(brief.result.mergeFileName, "other.txt");

  EXPECT_EQ(parse({"-h", "1"}).result.outcome, ParseOutcome::SHOW_USAGE);
  Parsed selfTest = parse({"-t", "-x"});
  EXPECT_EQ(selfTest.result.outcome, ParseOutcome::SELF_TEST);
  EXPECT_EQ(selfTest.err, "");
}

TEST(ParseCommandLine, UnknownArgumentsAreReportedAndSkipped) {
  Parsed parsed = parse({"-", "-x", "-b"});
  EXPECT_EQ(parsed.err,
            "Unknown argument \"-\" (will be ignored), type \"bench -h\" for help!\n"
            "Unknown argument \"-x\" (will be ignored), type \"bench -h\" for help!\n");
  EXPECT_TRUE(parsed.settings.briefMode);
}

}  // namespace
}  // namespace bench
