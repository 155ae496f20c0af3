#include "results/evidence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "results/listing_json.h"
#include "results/listing_page.h"

namespace bench {
namespace {

JournalEntry line(const char* time, int32_t timeMs, std::vector<int32_t> repetitions, bool busy,
                  const char* description = "Box") {
  JournalEntry entry;
  entry.runId = time;
  entry.time = time;
  entry.architecture = "x86-64";
  entry.floatingPoint = "sse2";
  entry.buildOs = "linux";
  entry.description = description;
  entry.clock = 3000;
  entry.test = 5;
  entry.timeMs = timeMs;
  entry.repeated = repetitions.size() > 1;
  entry.repetitionsMs = std::move(repetitions);
  entry.noiseJudged = entry.repeated;
  entry.busy = busy;
  return entry;
}

ResultRecord record(const char* description, int32_t clock, int32_t time) {
  return ResultRecord{description, clock, 5, time, false};
}

// A record's evidence is the line of the run that set its time, even when a
// later, slower run followed; else the latest line of its system and test.
TEST(EvidenceIndex, TheRunThatSetTheTimeOrElseTheLatest) {
  const EvidenceIndex index({
      line("2026-01-02T00:00:00Z", 1010, {1000, 1020, 1010}, false),
      line("2026-01-03T00:00:00Z", 1500, {1200, 1900, 1400, 1500}, true),
      line("2026-01-01T00:00:00Z", 900, {900}, false),
  });
  struct Case {
    ResultRecord record;
    const char* time;  // of the line used; null for none
  };
  const Case cases[] = {
      {record("Box", 3000, 1010), "2026-01-02T00:00:00Z"},
      {record("Box", 3000, 900), "2026-01-01T00:00:00Z"},
      {record("Box", 3000, 800), "2026-01-03T00:00:00Z"},  // a time merged from elsewhere
      {record("Box", 3100, 1010), nullptr},                // another clock
      {record("Box ", 3000, 1010), nullptr},               // another description
  };
  for (const Case& c : cases) {
    const Evidence* found = index.find(c.record);
    if (c.time == nullptr) {
      EXPECT_EQ(found, nullptr) << c.record.time;
    } else {
      ASSERT_NE(found, nullptr) << c.record.time;
      EXPECT_EQ(found->time, c.time) << c.record.time;
    }
  }
  const Evidence& busy = *index.find(record("Box", 3000, 800));
  EXPECT_EQ(busy.repetitions, 4);
  EXPECT_EQ(busy.fastestMs, 1200);
  EXPECT_EQ(busy.medianMs, 1450);
  EXPECT_EQ(busy.slowestMs, 1900);
  EXPECT_TRUE(busy.busy);
  EXPECT_EQ(describeEvidence(busy),
            "x86-64 sse2 linux; 4 repetitions: fastest 1.200 s, median 1.450 s, slowest 1.900 s;"
            " the repetitions disagree: the machine was busy; run at 2026-01-03T00:00:00Z");
  EXPECT_EQ(describeEvidence(*index.find(record("Box", 3000, 900))),
            "x86-64 sse2 linux; timed once: 0.900 s; run at 2026-01-01T00:00:00Z");
}

// Records with evidence carry it in both documents; records without look as
// they did.
TEST(EvidenceIndex, ListingsShowItOnlyWhereThereIsSome) {
  ResultTable table;
  table.append("Box", 3000, 5, 1500, false);
  table.append("Plain", 3000, 5, 2000, false);
  const EvidenceIndex index({line("2026-01-03T00:00:00Z", 1500, {1200, 1900, 1500}, true)});
  const std::vector<ListedTest> tests = {{5, listingTitle(5)}};
  const SystemId nobody{"undefined", 0};

  DocumentWriter json;
  writeListingJson(&json, table, tests, ListingOptions{}, nobody, &index);
  EXPECT_NE(json.text()->find(
                "\"time_ms\": 1500, \"evidence\": {\"build\": \"x86-64 sse2 linux\", "
                "\"repetitions\": 3, \"fastest_ms\": 1200, \"median_ms\": 1500.0, "
                "\"slowest_ms\": 1900, \"noise\": \"busy\", \"time\": \"2026-01-03T00:00:00Z\"}}"),
            std::string::npos)
      << *json.text();
  EXPECT_NE(json.text()->find("\"time_ms\": 2000}"), std::string::npos);

  DocumentWriter page;
  writeListingPage(&page, table, tests, ListingOptions{}, nobody, &index);
  const std::string& html = *page.text();
  size_t box = html.find("<td class=\"desc\">Box");
  size_t plain = html.find("<td class=\"desc\">Plain");
  ASSERT_NE(box, std::string::npos);
  ASSERT_NE(plain, std::string::npos);
  std::string boxRow = html.substr(box, html.find("</tr>", box) - box);
  std::string plainRow = html.substr(plain, html.find("</tr>", plain) - plain);
  EXPECT_NE(boxRow.find(">busy</span>"), std::string::npos) << boxRow;
  EXPECT_NE(boxRow.find("<title>x86-64 sse2 linux; 3 repetitions"), std::string::npos);
  EXPECT_NE(boxRow.find("<rect class=\"bar busy\""), std::string::npos);
  EXPECT_EQ(plainRow.find("<title>"), std::string::npos) << plainRow;
  EXPECT_NE(plainRow.find("<rect class=\"bar\""), std::string::npos);
  EXPECT_NE(html.find("came from repetitions that disagreed"), std::string::npos);

  // Without a journal the page says nothing of evidence.
  DocumentWriter plainPage;
  const EvidenceIndex none;
  writeListingPage(&plainPage, table, tests, ListingOptions{}, nobody, &none);
  EXPECT_EQ(plainPage.text()->find("run journal"), std::string::npos);
}

}  // namespace
}  // namespace bench
