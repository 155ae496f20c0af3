#include "results/document_writer.h"

#include <cerrno>

namespace bench {

void DocumentWriter::sendOut() {
  if (error_ == 0) {
    errno = 0;
    if (std::fwrite(text_.data(), 1, text_.size(), stream_) != text_.size()) {
      error_ = errno != 0 ? errno : EIO;
    }
  }
  text_.clear();
}

bool DocumentWriter::finish() {
  if (stream_ == nullptr) return true;
  sendOut();
  errno = 0;
  if (std::fflush(stream_) != 0 && error_ == 0) error_ = errno != 0 ? errno : EIO;
  return error_ == 0;
}

}  // namespace bench
