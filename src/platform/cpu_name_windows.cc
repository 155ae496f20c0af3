#include "platform/cpu_name.h"

namespace bench::platform {

// Windows keeps no text of this kind: its programs name the processor by
// the brand string, which readCpuBrandString gives on every system.
std::string readProcessorInfoText() { return {}; }

std::string readBoardModel() { return {}; }

}  // namespace bench::platform
