#include "run/settings.h"

namespace bench {

RunSettings runSettings;

void resetRunSettings() { runSettings = RunSettings{}; }

}  // namespace bench
