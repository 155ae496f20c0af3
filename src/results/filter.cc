#include "results/filter.h"

#include "regex/regular_expression.h"

namespace bench {

// The expression lives until the process ends, like every run setting; a
// later `-r` replaces an earlier one.
bool compileSystemFilter(const char* pattern, RunSettings* settings) {
  delete settings->systemFilter;
  settings->systemFilter = nullptr;
  auto* expression = new VRegularExpression(pattern);
  if (!expression->valid()) {
    delete expression;
    return false;
  }
  settings->systemFilter = expression;
  return true;
}

bool filterAccepts(const RunSettings& settings, const char* description) {
  return settings.systemFilter == nullptr || settings.systemFilter->match(description);
}

}  // namespace bench
