// Descriptions as safe text for web pages and JSON documents.
//
// Descriptions come from other people's result files: they may hold markup,
// quotes, control characters, and bytes of one-byte code pages written on
// older systems. Each function here turns such bytes into valid UTF-8 that
// reads as text in its context and can break nothing around it.
//
// Thread-safe.
#ifndef BENCH_RESULTS_TEXT_ESCAPE_H_
#define BENCH_RESULTS_TEXT_ESCAPE_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace bench {

// Decodes the character at text[*position] and advances *position past it.
// A well-formed UTF-8 sequence (no overlong form, no surrogate, at most
// U+10FFFF) gives its code point. Any other byte counts alone as the
// character it stands for in the Western one-byte code page of older
// systems: 0xA0..0xFF as Latin-1, 0x80..0x9F as that code page's
// typographic characters (the euro sign, dashes, quotes), U+FFFD for the
// five bytes it leaves undefined.
// REQUIRES: *position < text.size().
char32_t nextCharacter(std::string_view text, size_t* position);

// True when `text` is well-formed UTF-8 (as nextCharacter decodes it).
bool isUtf8(std::string_view text);

// Appends `c` in UTF-8. REQUIRES: c is a code point other than a surrogate.
void appendUtf8(std::string* out, char32_t c);

// Appends `text` for HTML: safe both as element text and inside a quoted
// attribute value (either quote), since & < > " ' become character
// references. Control characters other than tab and noncharacters, which
// HTML does not allow in a document, become U+FFFD.
void appendHtmlText(std::string* out, std::string_view text);

// Appends `text` as one JSON string, quotes included: " and \ are escaped,
// control characters become \uXXXX escapes (so nothing is lost).
void appendJsonString(std::string* out, std::string_view text);

}  // namespace bench

#endif  // BENCH_RESULTS_TEXT_ESCAPE_H_
