#include "results/text_escape.h"

#include <cstdint>

#include "results/text_format.h"

namespace bench {

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

// The characters of bytes 0x80..0x9F in the Western one-byte code page;
// 0xFFFD where it defines none.
constexpr char32_t HIGH_CONTROLS[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,  // 88..8F
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178,  // 98..9F
};

char32_t singleByteCharacter(uint8_t byte) {
  if (byte >= 0x80 && byte < 0xA0) return HIGH_CONTROLS[byte - 0x80];
  return byte;
}

bool isContinuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }

// Control characters (but tab) and noncharacters are parse errors in an
// HTML document, even as character references.
bool allowedInHtml(char32_t c) {
  if (c < 0x20) return c == '\t';
  if (c >= 0x7F && c < 0xA0) return false;
  if (c >= 0xFDD0 && c <= 0xFDEF) return false;
  return (c & 0xFFFE) != 0xFFFE;
}

}  // namespace

char32_t nextCharacter(std::string_view text, size_t* position) {
  size_t at = *position;
  uint8_t lead = static_cast<uint8_t>(text[at]);
  *position = at + 1;
  if (lead < 0x80) return lead;

  // Sequence length, payload bits of the lead byte, least code point that
  // needs this length (anything less is an overlong form).
  int length = 0;
  char32_t c = 0;
  char32_t least = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    c = lead & 0x1F;
    least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    c = lead & 0x0F;
    least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    c = lead & 0x07;
    least = 0x10000;
  } else {
    return singleByteCharacter(lead);
  }
  if (text.size() - at < static_cast<size_t>(length)) return singleByteCharacter(lead);
  for (int i = 1; i < length; ++i) {
    uint8_t byte = static_cast<uint8_t>(text[at + i]);
    if (!isContinuation(byte)) return singleByteCharacter(lead);
    c = (c << 6) | (byte & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    return singleByteCharacter(lead);
  }
  *position = at + length;
  return c;
}

void appendUtf8(std::string* out, char32_t c) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void appendHtmlText(std::string* out, std::string_view text) {
  for (size_t at = 0; at < text.size();) {
    char32_t c = nextCharacter(text, &at);
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += "&lt;";
        break;
      case '>':
        *out += "&gt;";
        break;
      case '"':
        *out += "&quot;";
        break;
      case '\'':
        *out += "&#39;";
        break;
      default:
        if (!allowedInHtml(c)) c = REPLACEMENT;
        appendUtf8(out, c);
        break;
    }
  }
}

bool isUtf8(std::string_view text) {
  std::string again;
  for (size_t at = 0; at < text.size();) {
    size_t start = at;
    again.clear();
    appendUtf8(&again, nextCharacter(text, &at));
    if (text.substr(start, at - start) != again) return false;
  }
  return true;
}

void appendJsonString(std::string* out, std::string_view text) {
  *out += '"';
  for (size_t at = 0; at < text.size();) {
    char32_t c = nextCharacter(text, &at);
    if (c == '"' || c == '\\') {
      *out += '\\';
      *out += static_cast<char>(c);
    } else if (c < 0x20) {
      appendFormat(out, "\\u%04X", static_cast<unsigned>(c));
    } else {
      appendUtf8(out, c);
    }
  }
  *out += '"';
}

}  // namespace bench
