#include "results/filter.h"

#include "regex/regular_expression.h"

namespace bench {

// A later `-r` replaces an earlier one.
bool compileSystemFilter(const char* pattern, ListingOptions* options) {
  options->systemFilter = nullptr;
  auto expression = std::make_shared<VRegularExpression>(pattern);
  if (!expression->valid()) return false;
  options->systemFilter = std::move(expression);
  return true;
}

bool filterAccepts(const ListingOptions& options, const char* description) {
  return options.systemFilter == nullptr || options.systemFilter->match(description);
}

}  // namespace bench
