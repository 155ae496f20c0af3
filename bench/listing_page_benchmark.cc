// The page and JSON forms of the listing for a large collection: 10,000
// records (417 systems over all 24 tests, some descriptions in a one-byte
// code page, some with markup), the whole document built per iteration.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "results/listing_json.h"
#include "results/listing_page.h"

namespace bench {
namespace {

constexpr int RECORDS = 10000;

void fillTable(ResultTable* table) {
  for (int i = 0; i < RECORDS; ++i) {
    int system = i / TEST_COUNT;
    char description[96];
    std::snprintf(description, sizeof description, "%s system %d <%s> rev. %d",
                  system % 7 == 0 ? "Caf\xE9 \x80" : "Example CPU", system,
                  system % 2 == 0 ? "desktop" : "laptop", system * 37 % 100);
    table->append(description, 800 + system * 13 % 4000, i % TEST_COUNT + 1,
                  1000 + (i * 7919) % 90000, false);
  }
}

std::vector<ListedTest> allTests() {
  std::vector<ListedTest> tests;
  for (int n = 1; n <= TEST_COUNT; ++n) tests.push_back(ListedTest{n, listingTitle(n)});
  return tests;
}

const SystemId THIS_SYSTEM{"Example CPU system 1 <laptop> rev. 37", 813};

void BM_ListingPage(benchmark::State& state) {
  ResultTable table;
  fillTable(&table);
  std::vector<ListedTest> tests = allTests();
  ListingOptions options;
  options.sortResults = state.range(0) != 0;
  size_t bytes = 0;
  for (auto _ : state) {
    DocumentWriter page;
    writeListingPage(&page, table, tests, options, THIS_SYSTEM);
    bytes = page.text()->size();
    benchmark::DoNotOptimize(page.text()->data());
  }
  state.counters["page_bytes"] = static_cast<double>(bytes);
  state.counters["records"] = RECORDS;
}
BENCHMARK(BM_ListingPage)->Arg(0)->Arg(1)->ArgName("sorted")->Unit(benchmark::kMillisecond);

void BM_ListingJson(benchmark::State& state) {
  ResultTable table;
  fillTable(&table);
  std::vector<ListedTest> tests = allTests();
  size_t bytes = 0;
  for (auto _ : state) {
    DocumentWriter json;
    writeListingJson(&json, table, tests, ListingOptions{}, THIS_SYSTEM);
    bytes = json.text()->size();
    benchmark::DoNotOptimize(json.text()->data());
  }
  state.counters["document_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ListingJson)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
