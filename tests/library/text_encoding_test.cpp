#include "library/test_support.h"

namespace {

using TextEncodingTest = tvxtest::InFolder;

std::string read(const std::string& bytes) {
  tvxtest::writeBytes("t.txt", bytes);
  std::string text;
  EXPECT_TRUE(orlendo::readTextFile("t.txt", text));
  return text;
}

TEST_F(TextEncodingTest, KeepsUtf8DropsItsByteOrderMarkAndConvertsWindows1252) {
  EXPECT_EQ(read("\xEF\xBB\xBF[General]\r\nName=Caf\xC3\xA9\r\n"), "[General]\r\nName=Caf\u00e9\r\n");  // not re-converted
  EXPECT_EQ(read("Name=Caf\xE9 \x97 \x80 \x9F\r\n"), "Name=Caf\u00e9 \u2014 \u20ac \u0178\r\n");
  // An overlong form and a lone surrogate are not UTF-8 either.
  EXPECT_EQ(read("\xC0\xAF"), "\u00c0\u00af");
  EXPECT_EQ(read("\xED\xA0\x80"), "\u00ed\u00a0\u20ac");
  // One stray byte after a long ASCII run (read 32 or 8 bytes at a time) decides too.
  EXPECT_EQ(read(std::string(31, 'a') + "\xE9"), std::string(31, 'a') + "\u00e9");
  EXPECT_EQ(read(std::string(20, 'a') + "\xE9"), std::string(20, 'a') + "\u00e9");
  EXPECT_EQ(read(std::string(17, 'a') + "\xC3\xA9"), std::string(17, 'a') + "\u00e9");
}

}  // namespace
