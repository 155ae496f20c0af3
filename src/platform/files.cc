#include "platform/files.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace bench::platform {

bool removeFile(const char* name) { return std::remove(name) == 0 || errno == ENOENT; }

bool syncFile(std::FILE* stream) {
  if (std::fflush(stream) != 0) return false;
  return fsync(fileno(stream)) == 0;
}

bool renameFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

void makeTemporaryName(const char* prefix, char* out, size_t outSize) {
  std::snprintf(out, outSize, "%s.%ld.tmp", prefix, static_cast<long>(getpid()));
}

}  // namespace bench::platform
