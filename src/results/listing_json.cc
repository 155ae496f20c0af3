#include "results/listing_json.h"

#include <cstdio>

#include "results/text_escape.h"

namespace bench {

std::string listingJson(const ResultTable& table, const std::vector<ListedTest>& tests,
                        const ListingOptions& options, const SystemId& thisSystem) {
  std::string out = "{\"system\": {\"description\": ";
  appendJsonString(&out, thisSystem.description);
  char number[96];
  std::snprintf(number, sizeof number, ", \"clock_mhz\": %d},\n\"tests\": [", thisSystem.clock);
  out += number;
  for (size_t t = 0; t < tests.size(); ++t) {
    const ListedTest& test = tests[t];
    std::snprintf(number, sizeof number, "%s\n {\"test\": %d, \"title\": ", t == 0 ? "" : ",",
                  test.number);
    out += number;
    appendJsonString(&out, bareTitle(test.title));
    out += ", \"results\": [";
    std::vector<int> positions = selectRecords(table, test.number, options);
    for (size_t i = 0; i < positions.size(); ++i) {
      const ResultRecord& record = table.record(positions[i]);
      out += i == 0 ? "\n  {\"description\": " : ",\n  {\"description\": ";
      appendJsonString(&out, record.description);
      // The same conversions as the text listing, so the figures agree.
      std::snprintf(number, sizeof number,
                    ", \"clock_mhz\": %d, \"time_s\": %.2f, \"ref\": %.2f, "
                    "\"time_ms\": %d}",
                    record.clock, record.time * 0.001, refValue(record.time, record.clock),
                    record.time);
      out += number;
    }
    out += positions.empty() ? "]}" : "\n ]}";
  }
  out += tests.empty() ? "]}\n" : "\n]}\n";
  return out;
}

}  // namespace bench
