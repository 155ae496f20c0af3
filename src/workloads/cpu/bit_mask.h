// CBitMask: a growable array of bits whose valid index range can be widened
// at both ends. Its storage comes straight from the platform's committed
// virtual memory and is returned to it, never from the heap; every growth
// reallocates and copies the whole storage (there is no spare capacity).
//
// A mask owns its storage exclusively; copies never share it. Used by one
// thread at a time.
#ifndef BENCH_WORKLOADS_CPU_BIT_MASK_H_
#define BENCH_WORKLOADS_CPU_BIT_MASK_H_

#include <cstdint>
#include <memory>

namespace bench {

class CBitMask {
 public:
  // An empty mask: no storage, size, low and high all 0.
  CBitMask() = default;

  // A copy with its own storage. When that storage cannot be had, the new
  // mask is empty (check size() against the source's).
  CBitMask(const CBitMask& other);
  CBitMask& operator=(const CBitMask&) = delete;

  // Releases the storage.
  virtual ~CBitMask();

  // A new heap-allocated copy with its own storage, or null when the storage
  // cannot be had.
  virtual std::unique_ptr<CBitMask> clone() const;

  // Empties this mask and then, if `other` is given, copies its range and
  // bits. Returns false when the storage cannot be had; the mask is then
  // left empty.
  bool assign(const CBitMask* other);

  // Releases the storage; the mask becomes empty.
  void clear();

  // Widens the mask so that `bit` is a valid index. Bits already held keep
  // their values; new bits are 0. Returns false when the new storage cannot
  // be had or the range would leave the 32-bit index range; the mask is then
  // unchanged.
  bool include(int32_t bit);

  // Bit i (low <= i < high) is bit (i - low) & 7 of byte (i - low) >> 3,
  // least significant bit first. Hot loops work on data() directly.
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  int32_t size() const { return size_; }  // bytes of storage
  int32_t low() const { return low_; }    // index held by bit 0 of byte 0
  int32_t high() const { return high_; }  // one past the highest index held

  // REQUIRES: low() <= bit < high().
  bool test(int32_t bit) const { return (data_[(bit - low_) >> 3] >> ((bit - low_) & 7)) & 1; }
  void set(int32_t bit) {
    data_[(bit - low_) >> 3] |= static_cast<uint8_t>(1u << ((bit - low_) & 7));
  }

 private:
  uint8_t* data_ = nullptr;
  int32_t size_ = 0;
  int32_t low_ = 0;
  int32_t high_ = 0;
};

}  // namespace bench

#endif  // BENCH_WORKLOADS_CPU_BIT_MASK_H_
