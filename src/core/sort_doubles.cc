#include "core/sort_doubles.h"

#include <cmath>
#include <utility>

namespace bench {

void sortDoubles(double* a, int32_t n) {
  while (n >= 12) {
    double pivot = (a[n - 1] + a[0]) * 0.5;
    // A sum beyond the double range would put the pivot outside the values
    // and the partition would never shrink; halving first cannot overflow
    // and is exact at such magnitudes.
    if (!std::isfinite(pivot)) pivot = a[n - 1] * 0.5 + a[0] * 0.5;
    int32_t i = -1;
    int32_t j = n;
    for (;;) {
      do ++i;
      while (i < n && a[i] <= pivot);
      do --j;
      while (j >= 0 && a[j] >= pivot);
      if (j < i) break;
      std::swap(a[i], a[j]);
    }
    int32_t left = j + 1;
    int32_t right = n - i;
    if (left < right) {
      if (left > 1) sortDoubles(a, left);
      a += i;
      n = right;
    } else {
      if (right > 1) sortDoubles(a + i, right);
      n = left;
    }
  }
  // Selection sort of the short remainder; the first of equal minima wins.
  while (n > 1) {
    int32_t minimum = 0;
    for (int32_t k = 1; k < n; ++k) {
      if (a[k] < a[minimum]) minimum = k;
    }
    if (minimum != 0) std::swap(a[0], a[minimum]);
    ++a;
    --n;
  }
}

}  // namespace bench
