#include "results/listing_json.h"

#include <string>

#include "results/relative_speed.h"
#include "results/speed_overview.h"
#include "results/text_escape.h"
#include "results/text_format.h"

namespace bench {

void writeListingJson(DocumentWriter* out, const ResultTable& table,
                      const std::vector<ListedTest>& tests, const ListingOptions& options,
                      const SystemId& thisSystem, const EvidenceIndex* evidence) {
  std::string* text = out->text();
  appendFormat(text, "{\"schema\": %d, \"system\": {\"description\": ", LISTING_JSON_SCHEMA);
  appendJsonString(text, thisSystem.description);
  appendFormat(text, ", \"clock_mhz\": %d},\n\"tests\": [", thisSystem.clock);
  std::vector<TestRecords> selected = selectTestRecords(table, tests, options);
  for (size_t t = 0; t < selected.size(); ++t) {
    const ListedTest& test = *selected[t].test;
    appendFormat(text, "%s\n {\"test\": %d, \"title\": ", t == 0 ? "" : ",", test.number);
    appendJsonString(text, bareTitle(test.title));
    *text += ", \"results\": [";
    const std::vector<int>& positions = selected[t].positions;
    for (size_t i = 0; i < positions.size(); ++i) {
      const ResultRecord& record = table.record(positions[i]);
      *text += i == 0 ? "\n  {\"description\": " : ",\n  {\"description\": ";
      appendJsonString(text, record.description);
      // The same conversions as the text listing, so the figures agree.
      appendFormat(text, ", \"clock_mhz\": %d, \"time_s\": %.2f, \"ref\": %.2f, \"time_ms\": %d",
                   record.clock, record.time * 0.001, refValue(record.time, record.clock),
                   record.time);
      if (const Evidence* facts = evidence != nullptr ? evidence->find(record) : nullptr) {
        *text += ", \"evidence\": {\"build\": ";
        appendJsonString(text, facts->build);
        appendFormat(text,
                     ", \"repetitions\": %d, \"fastest_ms\": %d, \"median_ms\": %.1f, "
                     "\"slowest_ms\": %d, \"noise\": %s, \"time\": ",
                     facts->repetitions, facts->fastestMs, facts->medianMs, facts->slowestMs,
                     !facts->noiseJudged ? "null" : (facts->busy ? "\"busy\"" : "\"quiet\""));
        appendJsonString(text, facts->time);
        *text += '}';
      }
      *text += '}';
      out->endPiece();
    }
    *text += positions.empty() ? "]}" : "\n ]}";
  }
  *text += tests.empty() ? "],\n\"systems\": [" : "\n],\n\"systems\": [";
  SpeedOverview overview(table, selected);
  const std::vector<size_t>& ranking = overview.ranking();
  for (size_t i = 0; i < ranking.size(); ++i) {
    const SystemId& system = overview.system(ranking[i]);
    const OverallSpeed& overall = overview.overall(ranking[i]);
    *text += i == 0 ? "\n {\"description\": " : ",\n {\"description\": ";
    appendJsonString(text, system.description);
    appendFormat(text, ", \"clock_mhz\": %d, \"overall_percent\": ", system.clock);
    if (overall.tests == 0) {
      *text += "null";
    } else {
      appendPermilleAsPercent(text, overall.permille);
    }
    appendFormat(text, ", \"tests\": %d}", overall.tests);
    out->endPiece();
  }
  *text += ranking.empty() ? "]}\n" : "\n]}\n";
}

}  // namespace bench
