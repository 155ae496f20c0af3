// printf-style formatting onto the end of a string, of any length: the
// documents of the listing are built with it, so no figure or text is ever
// cut to fit a buffer.
//
// Thread-safe.
#ifndef BENCH_RESULTS_TEXT_FORMAT_H_
#define BENCH_RESULTS_TEXT_FORMAT_H_

#include <string>

namespace bench {

// Appends `format` with its arguments, as printf would print them, to *out.
void appendFormat(std::string* out, const char* format, ...) __attribute__((format(printf, 2, 3)));

}  // namespace bench

#endif  // BENCH_RESULTS_TEXT_FORMAT_H_
