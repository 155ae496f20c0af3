#include "core/random_james.h"

#include <cmath>
#include <cstdio>

namespace bench {

RandomJames::RandomJames(int ij, int kl) {
  reset(ij, kl);
  mean_ = 0.0;
  sigma_ = -1.0;
  scale_ = 0.0;
  offset_ = 0.0;
  count_ = 0;
}

void RandomJames::reset(int ij, int kl) {
  if (ij < 0 || ij > 31328 || kl < 0 || kl > 30081) {
    std::fprintf(stderr,
                 "RandomJones::reset() - The first random number seed must have a value "
                 "between 0 and 31328\n");
    std::fprintf(stderr,
                 "                       The second random number seed must have a value "
                 "between 0 and 30081\n");
    initialised_ = false;
    return;
  }
  initialised_ = true;
  int i = (ij / 177) % 177 + 2;
  int j = ij % 177 + 2;
  int k = (kl / 169) % 178 + 1;
  int l = kl % 169;
  for (double& entry : u_) {
    double s = 0.0;
    double t = 0.5;
    for (int bit = 0; bit < 24; ++bit) {
      int m = (((i * j) % 179) * k) % 179;
      i = j;
      j = k;
      k = m;
      l = (53 * l + 1) % 169;
      if ((l * m) % 64 >= 32) s += t;
      t *= 0.5;
    }
    entry = s;
  }
  c_ = 362436.0 / 16777216.0;
  cd_ = 7654321.0 / 16777216.0;
  cm_ = 16777213.0 / 16777216.0;
  i97_ = 96;
  j97_ = 32;
}

void RandomJames::fill(double* buffer, int count) {
  if (buffer == nullptr) return;
  for (int i = 0; i < count; ++i) buffer[i] = next();
}

double RandomJames::gaussian(double mean, double sigma, int count) {
  if (count != count_ || sigma != sigma_ || mean != mean_) {
    scale_ = std::sqrt(12.0 / count) * sigma;
    offset_ = mean - scale_ * count * 0.5;
    mean_ = mean;
    sigma_ = sigma;
    count_ = count;
  }
  double sum = 0.0;
  for (int i = 0; i < count; ++i) sum += next();
  return sum * scale_ + offset_;
}

void RandomJames::fillGaussian(double mean, double sigma, int count, double* buffer, int n) {
  if (buffer == nullptr) return;
  for (int i = 0; i < n; ++i) buffer[i] = gaussian(mean, sigma, count);
}

bool RandomJames::selfTest() {
  reset(SEED_IJ, SEED_KL);
  if (!initialised_) return false;
  double batch[1000];
  for (int b = 0; b < 20; ++b) {
    fill(batch, 1000);
    if (!initialised_) return false;
  }
  static constexpr int32_t EXPECTED[6] = {6533892, 14220222, 7275067, 6172232, 8354498, 10633180};
  bool ok = true;
  for (int32_t expected : EXPECTED) {
    auto value = static_cast<int32_t>(next() * 4096.0 * 4096.0 + 0.5);
    if (value != expected) ok = false;
  }
  return ok;
}

}  // namespace bench
