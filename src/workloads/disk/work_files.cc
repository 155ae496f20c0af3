#include "workloads/disk/work_files.h"

#include "platform/files.h"
#include "run/outcome.h"

namespace bench {

const CDoubleFile* firstFailedFile(std::span<CDoubleFile* const> files) {
  for (const CDoubleFile* file : files) {
    if (file->failed()) return file;
  }
  return nullptr;
}

void discardWorkFiles(std::span<CDoubleFile* const> files) {
  for (CDoubleFile* file : files) {
    file->close();
    platform::removeFile(file->name());
  }
}

Outcome abandonWorkFiles(const CDoubleFile& failedFile, std::span<CDoubleFile* const> files) {
  std::fflush(stdout);  // the progress shown so far comes before the reason
  failedFile.printFailure();
  discardWorkFiles(files);
  return Outcome::failed();
}

}  // namespace bench
