// RandomJames: the program's only pseudo-random generator, the universal
// generator of Marsaglia and Zaman in the form published by F. James. It
// yields uniform doubles on a grid of 2^-24 and the same sequence on every
// machine and build, so every test does identical work everywhere.
//
// A plain value object; one instance is used by one thread at a time.
#ifndef BENCH_CORE_RANDOM_JAMES_H_
#define BENCH_CORE_RANDOM_JAMES_H_

#include <cstdint>

namespace bench {

class RandomJames {
 public:
  // The seeds every user of the program constructs with.
  static constexpr int SEED_IJ = 1802;
  static constexpr int SEED_KL = 9373;

  RandomJames(int ij = SEED_IJ, int kl = SEED_KL);

  // Seeds the generator. REQUIRES: 0 <= ij <= 31328, 0 <= kl <= 30081;
  // otherwise prints both seed messages on standard error and leaves the
  // generator uninitialised (every draw then yields 0.0).
  void reset(int ij, int kl);

  bool initialised() const { return initialised_; }

  // The next uniform double in [0, 1), a multiple of 2^-24.
  double next() {
    if (!initialised_) return 0.0;
    double uni = u_[i97_] - u_[j97_];
    if (uni < 0.0) uni += 1.0;
    u_[i97_] = uni;
    if (--i97_ < 0) i97_ = 96;
    if (--j97_ < 0) j97_ = 96;
    c_ -= cd_;
    if (c_ < 0.0) c_ += cm_;
    uni -= c_;
    if (uni < 0.0) uni += 1.0;
    return uni;
  }

  // Stores the next `count` draws into `buffer`; nothing for null or 0.
  void fill(double* buffer, int count);

  // An approximately normal deviate: the sum of `count` uniforms, scaled to
  // the given mean and standard deviation. The factors are cached and
  // recomputed when mean, sigma or count change.
  double gaussian(double mean, double sigma, int count);

  // Stores `n` successive gaussian(mean, sigma, count) values into `buffer`;
  // nothing for null or 0.
  void fillGaussian(double mean, double sigma, int count, double* buffer, int n);

  // True when the generator reproduces the published test vector. Reseeds
  // this generator.
  bool selfTest();

 private:
  double u_[97];
  double c_;
  double cd_;
  double cm_;
  int i97_;
  int j97_;
  double mean_;
  double sigma_;
  double scale_;
  double offset_;
  int count_;
  bool initialised_;
};

}  // namespace bench

#endif  // BENCH_CORE_RANDOM_JAMES_H_
