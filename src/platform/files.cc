#include "platform/files.h"

#include <cerrno>

#include "platform/files_system.h"

namespace bench::platform {

bool appendWhole(std::FILE* stream, const void* data, size_t size) {
  if (std::fflush(stream) != 0) return false;
  const char* bytes = static_cast<const char*>(data);
  // A short write happens only when the disk or the file-size limit is
  // reached; writing the rest then fails with the system's reason.
  while (size > 0) {
    long written = writeDescriptor(stream, bytes, size);
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace bench::platform
