#include "results/listing_json.h"

#include <gtest/gtest.h>

#include "driver/catalogue.h"

namespace bench {
namespace {

// The whole document, as the writer keeps it without a stream.
std::string listingJson(const ResultTable& table, const std::vector<ListedTest>& tests,
                        const ListingOptions& options, const SystemId& thisSystem) {
  DocumentWriter writer;
  writeListingJson(&writer, table, tests, options, thisSystem);
  return *writer.text();
}

TEST(ListingJson, DocumentInListingOrderWithTheListingsFigures) {
  ResultTable table;
  table.append("Example CPU 3.0 GHz", 3000, 7, 20345, false);
  table.append("Quote \" and \\ and <b> and caf\xE9", 2400, 7, 9999, false);
  table.append("Elsewhere", 1000, 8, 1, false);
  ListingOptions options;
  options.sortResults = true;
  options.sortKey = SortKey::TIME;
  std::vector<ListedTest> tests = {{7, listingTitle(7)}, {24, listingTitle(24)}};
  EXPECT_EQ(listingJson(table, tests, options, SystemId{"undefined", 2400}),
            "{\"schema\": 1, \"system\": {\"description\": \"undefined\", \"clock_mhz\": "
            "2400},\n"
            "\"tests\": [\n"
            " {\"test\": 7, \"title\": \"Monte-Carlo form-factor (50M iterations)\", "
            "\"results\": [\n"
            "  {\"description\": \"Quote \\\" and \\\\ and <b> and caf\xC3\xA9\", "
            "\"clock_mhz\": 2400, \"time_s\": 10.00, \"ref\": 24.00, \"time_ms\": "
            "9999},\n"
            "  {\"description\": \"Example CPU 3.0 GHz\", \"clock_mhz\": 3000, "
            "\"time_s\": 20.34, \"ref\": 61.03, \"time_ms\": 20345}\n"
            " ]},\n"
            " {\"test\": 24, \"title\": \"Parallel sort in virtual memory (2 to 16 "
            "threads, "
            "2x double[128M] array)\", \"results\": []}\n"
            "],\n\"systems\": [\n"
            " {\"description\": \"Quote \\\" and \\\\ and <b> and caf\xC3\xA9\", "
            "\"clock_mhz\": 2400, \"overall_percent\": 100.0, \"tests\": 1},\n"
            " {\"description\": \"Example CPU 3.0 GHz\", \"clock_mhz\": 3000, "
            "\"overall_percent\": 49.1, \"tests\": 1}\n"
            "]}\n");
}

TEST(ListingJson, NoTestsIsAnEmptyList) {
  ResultTable table;
  EXPECT_EQ(listingJson(table, {}, ListingOptions{}, SystemId{"undefined", 0}),
            "{\"schema\": 1, \"system\": {\"description\": \"undefined\", \"clock_mhz\": "
            "0},\n\"tests\": [],\n\"systems\": []}\n");
}

}  // namespace
}  // namespace bench
