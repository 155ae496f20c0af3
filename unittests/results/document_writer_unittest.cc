#include "results/document_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "results/text_format.h"
#include "support/test_support.h"

namespace bench {
namespace {

TEST(AppendFormat, PiecesOfAnyLengthAppendWhole) {
  // Lengths around the first guess of the room a piece needs, and far
  // beyond it; each is appended after text already there.
  for (size_t length : {0, 1, 127, 128, 129, 5000}) {
    std::string out = "head:";
    std::string text(length, 'x');
    appendFormat(&out, "%s|%d|%.2f", text.c_str(), -2147483647 - 1, 4611686014132.42);
    EXPECT_EQ(out, "head:" + text + "|-2147483648|4611686014132.42") << length;
  }
}

TEST(DocumentWriter, StreamGetsTheWholeDocumentAndMemoryHoldsAboutABlock) {
  testing::ScopedTempDir dir;
  std::FILE* file = std::fopen("document.txt", "wb");
  ASSERT_NE(file, nullptr);
  std::string expected;
  size_t mostHeld = 0;
  {
    DocumentWriter writer(file);
    for (int piece = 0; piece < 20000; ++piece) {
      appendFormat(writer.text(), "piece %d;", piece);
      appendFormat(&expected, "piece %d;", piece);
      mostHeld = std::max(mostHeld, writer.text()->size());
      writer.endPiece();
    }
    EXPECT_TRUE(writer.finish());
    EXPECT_EQ(writer.error(), 0);
  }
  std::fclose(file);
  EXPECT_GT(expected.size(), 3u * 65536);
  EXPECT_LE(mostHeld, 65536u + 32);
  EXPECT_EQ(testing::readFile("document.txt"), expected);
}

TEST(DocumentWriter, WithoutAStreamKeepsTheWholeDocument) {
  DocumentWriter writer;
  for (int piece = 0; piece < 20000; ++piece) {
    *writer.text() += "0123456789";
    writer.endPiece();
  }
  EXPECT_TRUE(writer.finish());
  EXPECT_EQ(writer.text()->size(), 200000u);
}

}  // namespace
}  // namespace bench
