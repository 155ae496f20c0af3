// A document of the listing (the web page, the JSON) written in pieces.
//
// The pieces are appended to text() (with appendFormat, the escapes of
// text_escape.h, or plainly); it grows as needed. With a stream the writer
// sends the text out whenever a piece ends and it holds a block or more, so
// a document of any size needs about a block of memory; without a stream it
// keeps the whole document.
//
// Used by one thread at a time.
#ifndef BENCH_RESULTS_DOCUMENT_WRITER_H_
#define BENCH_RESULTS_DOCUMENT_WRITER_H_

#include <cstdio>
#include <string>

namespace bench {

class DocumentWriter {
 public:
  // Keeps the whole document in text().
  DocumentWriter() = default;
  // Writes the document to `stream`, which must outlive the writer.
  explicit DocumentWriter(std::FILE* stream) : stream_(stream) {}
  DocumentWriter(const DocumentWriter&) = delete;
  DocumentWriter& operator=(const DocumentWriter&) = delete;

  // The text not yet sent out (with no stream: the document so far).
  std::string* text() { return &text_; }

  // Ends a piece (a record, a row): with a stream, sends the text out when
  // it holds a block or more.
  void endPiece() {
    if (stream_ != nullptr && text_.size() >= BLOCK_SIZE) sendOut();
  }

  // Sends out what is left and flushes the stream. Returns false when any
  // write failed; error() then holds the system's error number.
  bool finish();
  int error() const { return error_; }

 private:
  static constexpr size_t BLOCK_SIZE = 65536;

  void sendOut();

  std::FILE* stream_ = nullptr;
  std::string text_;
  int error_ = 0;  // of the first failed write; nothing is sent after it
};

}  // namespace bench

#endif  // BENCH_RESULTS_DOCUMENT_WRITER_H_
