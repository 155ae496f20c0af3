#include "results/filter.h"

#include "regex/regular_expression.h"

namespace bench {

// The expression lives until the process ends, like the other options; a
// later `-r` replaces an earlier one.
bool compileSystemFilter(const char* pattern, ListingOptions* options) {
  delete options->systemFilter;
  options->systemFilter = nullptr;
  auto* expression = new VRegularExpression(pattern);
  if (!expression->valid()) {
    delete expression;
    return false;
  }
  options->systemFilter = expression;
  return true;
}

bool filterAccepts(const ListingOptions& options, const char* description) {
  return options.systemFilter == nullptr || options.systemFilter->match(description);
}

}  // namespace bench
