#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/files.h"
#include "platform/files_system.h"

namespace bench::platform {

// off_t is what fseeko takes; a 32-bit one would cut the large work files.
static_assert(sizeof(off_t) >= sizeof(int64_t), "work files need 64-bit offsets");

const char LINE_END[] = "\n";

long writeDescriptor(std::FILE* stream, const char* data, size_t size) {
  return static_cast<long>(write(fileno(stream), data, size));
}

bool removeFile(const char* name) { return std::remove(name) == 0 || errno == ENOENT; }

bool syncFile(std::FILE* stream) {
  if (std::fflush(stream) != 0) return false;
  return fsync(fileno(stream)) == 0;
}

bool renameFile(const char* from, const char* to) { return std::rename(from, to) == 0; }

void makeTemporaryName(const char* prefix, char* out, size_t outSize) {
  std::snprintf(out, outSize, "%s.%ld.tmp", prefix, static_cast<long>(getpid()));
}

std::FILE* openWorkFile(const char* name, const char* mode) { return std::fopen(name, mode); }

bool seekFile(std::FILE* stream, int64_t offset, int origin) {
  return fseeko(stream, static_cast<off_t>(offset), origin) == 0;
}

int64_t tellFile(std::FILE* stream) { return static_cast<int64_t>(ftello(stream)); }

}  // namespace bench::platform
