#include "workloads/cpu/bit_mask.h"

#include <cstdint>
#include <cstring>

#include "platform/memory.h"

namespace bench {

CBitMask::CBitMask(const CBitMask& other) { assign(&other); }

CBitMask::~CBitMask() { clear(); }

std::unique_ptr<CBitMask> CBitMask::clone() const {
  auto copy = std::make_unique<CBitMask>(*this);
  if (copy->size() != size_) return nullptr;
  return copy;
}

bool CBitMask::assign(const CBitMask* other) {
  if (other == this) return true;
  clear();
  if (other == nullptr || other->size_ == 0) {
    if (other != nullptr) {
      low_ = other->low_;
      high_ = other->high_;
    }
    return true;
  }
  auto* storage = static_cast<uint8_t*>(platform::commitMemory(static_cast<size_t>(other->size_)));
  if (storage == nullptr) return false;
  std::memcpy(storage, other->data_, static_cast<size_t>(other->size_));
  data_ = storage;
  size_ = other->size_;
  low_ = other->low_;
  high_ = other->high_;
  return true;
}

void CBitMask::clear() {
  platform::releaseMemory(data_, static_cast<size_t>(size_));
  data_ = nullptr;
  size_ = 0;
  low_ = 0;
  high_ = 0;
}

bool CBitMask::include(int32_t bit) {
  if (bit < low_) {
    int64_t add64 = (static_cast<int64_t>(low_) - bit + 7) >> 3;
    if (low_ - add64 * 8 < INT32_MIN || size_ + add64 > INT32_MAX) return false;
    auto add = static_cast<int32_t>(add64);
    size_t newSize = static_cast<size_t>(size_) + static_cast<size_t>(add);
    auto* storage = static_cast<uint8_t*>(platform::commitMemory(newSize));
    if (storage == nullptr) return false;
    std::memset(storage, 0, static_cast<size_t>(add));
    if (size_ != 0) std::memcpy(storage + add, data_, static_cast<size_t>(size_));
    platform::releaseMemory(data_, static_cast<size_t>(size_));
    data_ = storage;
    size_ += add;
    low_ -= add * 8;
  } else if (bit >= high_) {
    int64_t n64 = (static_cast<int64_t>(bit) - low_ + 8) >> 3;
    if (low_ + n64 * 8 > INT32_MAX) return false;  // `high` must stay representable
    auto n = static_cast<int32_t>(n64);
    auto* storage = static_cast<uint8_t*>(platform::commitMemory(static_cast<size_t>(n)));
    if (storage == nullptr) return false;
    if (size_ != 0) std::memcpy(storage, data_, static_cast<size_t>(size_));
    std::memset(storage + size_, 0, static_cast<size_t>(n - size_));
    platform::releaseMemory(data_, static_cast<size_t>(size_));
    data_ = storage;
    size_ = n;
    high_ = low_ + n * 8;
  }
  return true;
}

}  // namespace bench
