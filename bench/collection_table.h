// A collector's result table for the measurements: `systems` systems with a
// result in every one of the 24 tests, written in the result-file format,
// system after system as merged tables grow. Descriptions are as long as
// people write them (about 20 characters), so COLLECTION_SYSTEMS systems (a
// million records) make a file of about 40 MB.
#ifndef BENCH_BENCH_COLLECTION_TABLE_H_
#define BENCH_BENCH_COLLECTION_TABLE_H_

#include <cstdint>
#include <cstdio>
#include <string>

#include "results/result_table.h"

namespace bench {

constexpr int COLLECTION_SYSTEMS = 41667;
constexpr int COLLECTION_TESTS = 24;

// The description of system `system`: a maker, a model number and a clock.
inline std::string collectionDescription(int system) {
  static const char* const MAKERS[] = {"Ryzen 7", "Core i5", "Athlon",  "Core 2 Duo",
                                       "Xeon E5", "Celeron", "Ryzen 9", "Pentium 4"};
  char text[64];
  std::snprintf(text, sizeof text, "%s %d-%d %d.%d GHz", MAKERS[system % 8], system % 9000 + 1000,
                system / 9000, 1 + system % 4, system % 10);
  return text;
}

// The clock of system `system` in MHz.
inline int32_t collectionClock(int system) { return 800 + system * 37 % 4200; }

// The time of system `system` in test `test` (1..24), in milliseconds: the
// test's own length over the system's speed, which spreads tenfold, with a
// few percent of noise, as real tables look.
inline int32_t collectionTime(int system, int test) {
  uint32_t hash = static_cast<uint32_t>(system) * 2654435761u;
  int32_t speed = 100 + static_cast<int32_t>((hash >> 8) % 900);
  int32_t noise =
      95 + static_cast<int32_t>(((hash >> 4) ^ (static_cast<uint32_t>(test) * 40503u)) % 11);
  return (2000 + test * 700) * 1000 / speed * noise / 100;
}

// Appends the records of `systems` systems to `table`, in file order.
inline void fillCollectionTable(ResultTable* table, int systems) {
  for (int system = 0; system < systems; ++system) {
    std::string description = collectionDescription(system);
    for (int test = 1; test <= COLLECTION_TESTS; ++test) {
      table->append(description, collectionClock(system), test, collectionTime(system, test),
                    false);
    }
  }
}

// Writes the table of `systems` systems to `fileName`; false when it cannot.
inline bool writeCollectionTable(const char* fileName, int systems) {
  std::FILE* file = std::fopen(fileName, "w");
  if (file == nullptr) return false;
  for (int system = 0; system < systems; ++system) {
    std::string description = collectionDescription(system);
    for (int test = 1; test <= COLLECTION_TESTS; ++test) {
      std::fprintf(file, "%2d %8d %4d %s\n", test, collectionTime(system, test),
                   collectionClock(system), description.c_str());
    }
  }
  return std::fclose(file) == 0;
}

}  // namespace bench

#endif  // BENCH_BENCH_COLLECTION_TABLE_H_
