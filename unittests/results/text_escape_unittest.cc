#include "results/text_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace bench {
namespace {

std::string html(std::string_view text) {
  std::string out;
  appendHtmlText(&out, text);
  return out;
}

std::string json(std::string_view text) {
  std::string out;
  appendJsonString(&out, text);
  return out;
}

struct EscapeCase {
  const char* name;
  std::string input;
  const char* html;
  const char* json;
};

// Markup and quotes from other people's files, and bytes of one-byte code
// pages, each shown as text in either context.
const EscapeCase CASES[] = {
    {"Markup", "<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;",
     "\"<script>alert(1)</script>\""},
    {"Quotes", "\"&'", "&quot;&amp;&#39;", "\"\\\"&'\""},
    {"Backslash", "C:\\bench", "C:\\bench", "\"C:\\\\bench\""},
    {"ValidUtf8",
     "\xC3\x9C"
     "ber \xE2\x82\xAC \xF0\x9F\x9A\x80",
     "\xC3\x9C"
     "ber \xE2\x82\xAC \xF0\x9F\x9A\x80",
     "\"\xC3\x9C"
     "ber \xE2\x82\xAC \xF0\x9F\x9A\x80\""},
    {"Latin1Letters", "Caf\xE9 \xB5P", "Caf\xC3\xA9 \xC2\xB5P", "\"Caf\xC3\xA9 \xC2\xB5P\""},
    {"CodePageTypography", "\x80\x93\x99", "\xE2\x82\xAC\xE2\x80\x9C\xE2\x84\xA2",
     "\"\xE2\x82\xAC\xE2\x80\x9C\xE2\x84\xA2\""},
    {"UndefinedCodePageByte", "a\x81z", "a\xEF\xBF\xBDz", "\"a\xEF\xBF\xBDz\""},
    {"TruncatedSequenceAtEnd", "x\xC3", "x\xC3\x83", "\"x\xC3\x83\""},
    {"LeadByteBeforeAscii", "\xE2(", "\xC3\xA2(", "\"\xC3\xA2(\""},
    {"OverlongSlash", "\xC0\xAF", "\xC3\x80\xC2\xAF", "\"\xC3\x80\xC2\xAF\""},
    {"EncodedSurrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC",
     "\"\xC3\xAD\xC2\xA0\xE2\x82\xAC\""},
    {"BeyondUnicode", "\xF4\x90\x80\x80", "\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC",
     "\"\xC3\xB4\xEF\xBF\xBD\xE2\x82\xAC\xE2\x82\xAC\""},
    {"ControlCharacters",
     std::string("a\tb\x01"
                 "c\x1F\x7F",
                 7),
     "a\tb\xEF\xBF\xBD"
     "c\xEF\xBF\xBD\xEF\xBF\xBD",
     "\"a\\u0009b\\u0001c\\u001F\x7F\""},
    {"EncodedC1ControlAndNoncharacters", "\xC2\x85|\xEF\xBF\xBE|\xEF\xB7\x90",
     "\xEF\xBF\xBD|\xEF\xBF\xBD|\xEF\xBF\xBD", "\"\xC2\x85|\xEF\xBF\xBE|\xEF\xB7\x90\""},
};

class TextEscape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(TextEscape, HtmlAndJson) {
  EXPECT_EQ(html(GetParam().input), GetParam().html);
  EXPECT_EQ(json(GetParam().input), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(Descriptions, TextEscape, ::testing::ValuesIn(CASES),
                         [](const auto& caseInfo) { return std::string(caseInfo.param.name); });

// Whatever the bytes, the output is well-formed UTF-8 that decodes back to
// characters one for one: no raw byte of the input passes through alone.
TEST(TextEscapeProperty, EveryByteSequenceBecomesValidUtf8) {
  for (int first = 1; first < 256; ++first) {
    for (int second = 1; second < 256; ++second) {
      std::string input = {static_cast<char>(first), static_cast<char>(second), '\xBF', 'z'};
      std::string out = html(input);
      for (size_t at = 0; at < out.size();) {
        unsigned char lead = static_cast<unsigned char>(out[at]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        ASSERT_TRUE(lead < 0x80 || (lead >= 0xC2 && lead <= 0xF4)) << first << " " << second;
        ASSERT_LE(at + length, out.size());
        size_t next = at;
        char32_t c = nextCharacter(out, &next);
        ASSERT_EQ(next, at + length) << first << " " << second;
        ASSERT_TRUE(c < 0xD800 || c > 0xDFFF);
        at = next;
      }
    }
  }
}

}  // namespace
}  // namespace bench
