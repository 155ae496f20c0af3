#include "results/relative_speed.h"

#include <cmath>
#include <cstdint>

#include "results/text_format.h"

namespace bench {

namespace {

// A natural number of any size, least significant 32 bits first, without
// leading zero limbs. Enough arithmetic to compare products exactly.
class Natural {
 public:
  // Room for `limbs` limbs is made at once, so that growing to them does
  // not reallocate.
  Natural(uint32_t value, size_t limbs) {
    limbs_.reserve(limbs);
    limbs_.push_back(value);
  }

  // REQUIRES: factor > 0, so that no leading zero limb appears
  void multiply(uint32_t factor) {
    uint64_t carry = 0;
    for (uint32_t& limb : limbs_) {
      uint64_t product = static_cast<uint64_t>(limb) * factor + carry;
      limb = static_cast<uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<uint32_t>(carry));
  }

  // Multiplies by base^exponent, as few 32-bit factors at a time as fit.
  // REQUIRES: 0 < base < 2^32
  void multiplyByPower(uint32_t base, size_t exponent) {
    uint64_t factor = 1;
    for (size_t i = 0; i < exponent; ++i) {
      if (factor * base > UINT32_MAX) {
        multiply(static_cast<uint32_t>(factor));
        factor = 1;
      }
      factor *= base;
    }
    multiply(static_cast<uint32_t>(factor));
  }

  // The natural logarithm, to about nine digits (from the top 64 bits).
  double logarithm() const {
    constexpr double LN2 = 0.6931471805599453;
    size_t size = limbs_.size();
    if (size == 1) return std::log(static_cast<double>(limbs_[0]));
    double top = static_cast<double>(limbs_[size - 1]) * 4294967296.0 + limbs_[size - 2];
    return std::log(top) + static_cast<double>(32 * (size - 2)) * LN2;
  }

  bool operator<=(const Natural& other) const {
    if (limbs_.size() != other.limbs_.size()) return limbs_.size() < other.limbs_.size();
    for (size_t i = limbs_.size(); i-- > 0;) {
      if (limbs_[i] != other.limbs_[i]) return limbs_[i] < other.limbs_[i];
    }
    return true;
  }

 private:
  std::vector<uint32_t> limbs_;
};

}  // namespace

int relativePercent(int32_t fastest, int32_t time) {
  return static_cast<int>(static_cast<int64_t>(fastest) * 100 / time);
}

int32_t geometricMeanPermille(const std::vector<SpeedRatio>& ratios) {
  constexpr int32_t WHOLE = 1000;
  // (k / 1000)^n <= F / T, with F and T the products of the fastest times
  // and of the system's times, is k^n T <= 1000^n F: exact in integers.
  // Each time and each fastest time adds at most a limb; each factor of
  // 1000^n or k^n at most 10 bits.
  const size_t limbs = 2 * ratios.size() + 2;
  Natural times(1, limbs);
  Natural bound(1, limbs);
  for (const SpeedRatio& ratio : ratios) {
    times.multiply(static_cast<uint32_t>(ratio.time));
    bound.multiply(static_cast<uint32_t>(ratio.fastest));
  }
  // The floating-point mean is within a step or two of the answer on any
  // build; the exact test decides, so the answer does not depend on it.
  double estimate = WHOLE * std::exp((bound.logarithm() - times.logarithm()) /
                                     static_cast<double>(ratios.size()));
  bound.multiplyByPower(WHOLE, ratios.size());
  Natural scaled(1, limbs);
  auto reached = [&](int32_t k) {
    if (k == 0) return true;
    scaled = times;
    scaled.multiplyByPower(static_cast<uint32_t>(k), ratios.size());
    return scaled <= bound;
  };
  int32_t k = estimate >= WHOLE ? WHOLE : (estimate > 0 ? static_cast<int32_t>(estimate) : 0);
  while (!reached(k)) --k;
  while (k < WHOLE && reached(k + 1)) ++k;
  return k;
}

void appendPermilleAsPercent(std::string* out, int32_t permille) {
  appendFormat(out, "%d.%d", permille / 10, permille % 10);
}

}  // namespace bench
