#include "workloads/disk/double_file.h"

#include <cerrno>
#include <cstring>

#include "platform/files.h"

namespace bench {

namespace {

constexpr int64_t VALUE_BYTES = sizeof(double);

}  // namespace

CDoubleFile::CDoubleFile(const char* name, bool writable)
    : stream_(nullptr),
      writable_(writable),
      base_(0),
      count_(0),
      pos_(0),
      dirty_(false),
      errorOperation_(nullptr),
      errorNumber_(0) {
  std::snprintf(name_, sizeof name_, "%s", name);
  open();
}

CDoubleFile::~CDoubleFile() { close(); }

void CDoubleFile::open() {
  stream_ = platform::openWorkFile(name_, writable_ ? "w+b" : "rb");
  if (stream_ == nullptr) {
    fail(writable_ ? "create" : "open");
    return;
  }
  // The window is the only buffer: every flush and refill is then exactly
  // one transfer of the window, and a failed transfer is seen at once.
  std::setvbuf(stream_, nullptr, _IONBF, 0);
}

void CDoubleFile::fail(const char* operation) {
  if (failed()) return;
  errorOperation_ = operation;
  errorNumber_ = errno != 0 ? errno : EIO;
}

void CDoubleFile::printFailure() const {
  std::fprintf(stderr, "Cannot %s work file \"%s\": %s\n", errorOperation_, name_,
               std::strerror(errorNumber_));
}

void CDoubleFile::rewrite() {
  if (!writable_) return;
  if (stream_ != nullptr) std::fclose(stream_);  // the old contents do not matter
  stream_ = nullptr;
  base_ = count_ = pos_ = 0;
  dirty_ = false;
  if (!failed()) open();
}

void CDoubleFile::flush() {
  if (!dirty_) return;
  dirty_ = false;
  if (failed() || stream_ == nullptr) return;
  errno = 0;
  if (!platform::seekFile(stream_, base_ * VALUE_BYTES, SEEK_SET)) {
    fail("position");
    return;
  }
  errno = 0;
  if (std::fwrite(window_, sizeof(double), static_cast<size_t>(count_), stream_) !=
      static_cast<size_t>(count_)) {
    fail("write");
  }
}

void CDoubleFile::refill() {
  flush();
  base_ += pos_;
  pos_ = 0;
  count_ = 0;
  if (failed() || stream_ == nullptr) return;
  errno = 0;
  if (!platform::seekFile(stream_, base_ * VALUE_BYTES, SEEK_SET)) {
    fail("position");
    return;
  }
  errno = 0;
  size_t got = std::fread(window_, sizeof(double), WINDOW_SIZE, stream_);
  if (got < static_cast<size_t>(WINDOW_SIZE) && std::ferror(stream_)) {
    fail("read");
    return;
  }
  count_ = static_cast<int32_t>(got);
}

void CDoubleFile::seek(int32_t index) {
  if (base_ <= index && index <= base_ + count_) {
    pos_ = index - base_;
    return;
  }
  flush();
  base_ = index;
  pos_ = 0;
  count_ = 0;
}

void CDoubleFile::slide() {
  flush();
  base_ += WINDOW_SIZE;
  count_ -= WINDOW_SIZE;
  pos_ = 0;
}

void CDoubleFile::close() {
  if (stream_ != nullptr) {
    flush();
    errno = 0;
    if (std::fclose(stream_) != 0) fail("close");
    stream_ = nullptr;
  }
  base_ = count_ = pos_ = 0;
}

}  // namespace bench
