#include "support/file_size_limit.h"

namespace bench::testing {

ScopedFileSizeLimit::ScopedFileSizeLimit(uint64_t /*bytes*/) {}
ScopedFileSizeLimit::~ScopedFileSizeLimit() = default;
bool ScopedFileSizeLimit::available() { return false; }

}  // namespace bench::testing
