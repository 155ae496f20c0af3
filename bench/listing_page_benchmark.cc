// The page and JSON forms of the listing, the whole document built per
// iteration, for two tables: 10,000 records (417 systems over all 24 tests,
// some descriptions in a one-byte code page, some with markup), and a
// collector's million records (collection_table.h).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "collection_table.h"
#include "driver/catalogue.h"
#include "results/listing_json.h"
#include "results/listing_page.h"

namespace bench {
namespace {

constexpr int SMALL_RECORDS = 10000;

// The table of the first argument: 0 the small one, 1 the collection.
const ResultTable& table(const benchmark::State& state) {
  static const ResultTable small = [] {
    ResultTable filled;
    for (int i = 0; i < SMALL_RECORDS; ++i) {
      int system = i / TEST_COUNT;
      char description[96];
      std::snprintf(description, sizeof description, "%s system %d <%s> rev. %d",
                    system % 7 == 0 ? "Caf\xE9 \x80" : "Example CPU", system,
                    system % 2 == 0 ? "desktop" : "laptop", system * 37 % 100);
      filled.append(description, 800 + system * 13 % 4000, i % TEST_COUNT + 1,
                    1000 + (i * 7919) % 90000, false);
    }
    return filled;
  }();
  static const ResultTable collection = [] {
    ResultTable filled;
    fillCollectionTable(&filled, COLLECTION_SYSTEMS);
    return filled;
  }();
  return state.range(0) == 0 ? small : collection;
}

std::vector<ListedTest> allTests() {
  std::vector<ListedTest> tests;
  for (int n = 1; n <= TEST_COUNT; ++n) tests.push_back(ListedTest{n, listingTitle(n)});
  return tests;
}

// A system in the small table, and one in the middle of the collection,
// slower than its fastest hundred.
const SystemId SMALL_SYSTEM{"Example CPU system 1 <laptop> rev. 37", 813};
const std::string COLLECTION_DESCRIPTION = collectionDescription(COLLECTION_SYSTEMS / 2);
const SystemId COLLECTION_SYSTEM{COLLECTION_DESCRIPTION.c_str(),
                                 collectionClock(COLLECTION_SYSTEMS / 2)};

const SystemId& thisSystem(const benchmark::State& state) {
  return state.range(0) == 0 ? SMALL_SYSTEM : COLLECTION_SYSTEM;
}

// Arguments: the table; unsorted (0) or sorted by ascending time (1).
void BM_ListingPage(benchmark::State& state) {
  std::vector<ListedTest> tests = allTests();
  ListingOptions options;
  options.sortResults = state.range(1) != 0;
  size_t bytes = 0;
  for (auto _ : state) {
    DocumentWriter page;
    writeListingPage(&page, table(state), tests, options, thisSystem(state));
    bytes = page.text()->size();
    benchmark::DoNotOptimize(page.text()->data());
  }
  state.counters["page_bytes"] = static_cast<double>(bytes);
  state.counters["records"] = table(state).count();
}
BENCHMARK(BM_ListingPage)
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->ArgNames({"collection", "sorted"})
    ->Unit(benchmark::kMillisecond);

// Argument: the table.
void BM_ListingJson(benchmark::State& state) {
  std::vector<ListedTest> tests = allTests();
  size_t bytes = 0;
  for (auto _ : state) {
    DocumentWriter json;
    writeListingJson(&json, table(state), tests, ListingOptions{}, thisSystem(state));
    bytes = json.text()->size();
    benchmark::DoNotOptimize(json.text()->data());
  }
  state.counters["document_bytes"] = static_cast<double>(bytes);
  state.counters["records"] = table(state).count();
}
BENCHMARK(BM_ListingJson)->Arg(0)->Arg(1)->ArgName("collection")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bench
