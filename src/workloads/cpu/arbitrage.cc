#include "workloads/cpu/arbitrage.h"

#include <cstdio>

#include "core/random_james.h"
#include "run/settings.h"
#include "run/stopwatch.h"
#include "run/result_text.h"

namespace bench {

namespace {

int32_t currencyCount = 0;
double rates[ARBITRAGE_CURRENCIES][RATE_ROW_STRIDE];
int32_t visited[RATE_ROW_STRIDE];
int32_t path[ARBITRAGE_CURRENCIES];
int32_t cycleLength = 0;
double bestProfit = 1.0;
int32_t bestLength = 0;
int32_t bestSequence[ARBITRAGE_CURRENCIES];

}  // namespace

void generateRates() {
  currencyCount = ARBITRAGE_CURRENCIES;
  RandomJames random;
  for (int32_t r = 0; r < ARBITRAGE_CURRENCIES; ++r) {
    for (int32_t c = 0; c < ARBITRAGE_CURRENCIES; ++c) rates[r][c] = random.gaussian(1.0, 0.05, 5);
  }
}

void extend(int32_t depth, double product) {
  const int32_t last = path[depth - 1];
  if (depth + 1 == cycleLength) {
    const int32_t first = path[0];
    for (int32_t i = 0; i < currencyCount; ++i) {
      if (visited[i]) continue;
      // The order of the multiplications is part of the result: rotations
      // of one cycle give exactly equal products only when multiplied alike.
      const double v = (rates[last][i] * product) * rates[i][first];
      if (v > bestProfit) {
        bestProfit = v;
        bestLength = cycleLength;
        for (int32_t k = 0; k < depth; ++k) bestSequence[k] = path[k];
        bestSequence[depth] = i;
      }
    }
    return;
  }
  for (int32_t i = 0; i < currencyCount; ++i) {
    if (visited[i]) continue;
    visited[i] = 1;
    path[depth] = i;
    extend(depth + 1, rates[last][i] * product);
    visited[i] = 0;
  }
}

void findArbitrage() {
  for (int32_t& flag : visited) flag = 0;
  bestProfit = 1.0;
  bestLength = 0;
  for (cycleLength = 2; cycleLength <= currencyCount - 1; ++cycleLength) {
    for (int32_t s = 0; s < currencyCount; ++s) {
      visited[s] = 1;
      path[0] = s;
      extend(1, 1.0);
      visited[s] = 0;
    }
    printProgress((cycleLength - 1) * 100.0 / (currencyCount - 1));
  }
  if (runSettings.superBriefMode) return;
  if (bestLength <= 0) {
    printResult("No arbitrage sequence exists\n");
    return;
  }
  printResult("Arbitrage profit:%7.3f, seq:", bestProfit);
  for (int32_t k = 0; k < bestLength; ++k) printResult(" %d", bestSequence[k] + 1);
  printResult(" %d\n", bestSequence[0] + 1);
}

Outcome arbitrageTest() {
  timerStart();
  generateRates();
  findArbitrage();
  return Outcome::time(timerElapsed());
}

ArbitrageResult arbitrageResult() {
  ArbitrageResult result{bestProfit, bestLength, {}};
  for (int32_t k = 0; k < bestLength; ++k) result.sequence[k] = bestSequence[k];
  return result;
}

void setRatesForTesting(int32_t count, const double* rows) {
  currencyCount = count;
  for (int32_t r = 0; r < count; ++r) {
    for (int32_t c = 0; c < count; ++c) rates[r][c] = rows[r * count + c];
  }
}

}  // namespace bench
