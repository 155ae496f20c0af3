// Arbitrage sequence lookup: a random table of exchange rates between 12
// currencies is searched exhaustively, depth first, for the most profitable
// closed sequence of distinct currencies of every length from 2 to 11.
//
// The rates, the current path and the best cycle are process-wide state of
// this test, used by the main thread only.
#ifndef BENCH_WORKLOADS_CPU_ARBITRAGE_H_
#define BENCH_WORKLOADS_CPU_ARBITRAGE_H_

#include <cstdint>

#include "run/outcome.h"

namespace bench {

// Number of currencies of the test, and the row stride of the rate table.
inline constexpr int32_t ARBITRAGE_CURRENCIES = 12;
inline constexpr int32_t RATE_ROW_STRIDE = 16;

// Sets the currency count to 12 and fills the 12 x 12 rates, row by row,
// with gaussian(1.0, 0.05, 5) draws of a freshly seeded RandomJames. The
// diagonal is drawn too; it never takes part in a cycle.
void generateRates();

// Searches every cycle length from 2 to count - 1, by starting currency and
// then in lexicographic order of the following currencies, printing a
// progress line after each length. A cycle replaces the best one only when
// its product is strictly larger, so among equal products the first found
// wins. Prints the result line unless in super-brief mode.
void findArbitrage();

// The recursive step: `depth` currencies are on the path and `product` is
// the product of the depth - 1 rates along it. Closes the cycle when one
// more currency completes the current length, else extends the path.
// REQUIRES: 1 <= depth < current cycle length.
void extend(int32_t depth, double product);

// Test 4 as the run harness times it: timerStart(), generateRates(),
// findArbitrage(); returns timerElapsed() as its time.
Outcome arbitrageTest();

// The best cycle of the last findArbitrage().
struct ArbitrageResult {
  double profit;                           // 1.0 when no cycle gains
  int32_t length;                          // 0 when no cycle gains
  int32_t sequence[ARBITRAGE_CURRENCIES];  // 0-based currencies
};
ArbitrageResult arbitrageResult();

// Test seam: installs a hand-made table of `count` currencies, row-major
// with `count` columns per row, in place of generateRates().
// REQUIRES: 2 <= count <= ARBITRAGE_CURRENCIES.
void setRatesForTesting(int32_t count, const double* rows);

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_ARBITRAGE_H_
