#include "library/test_support.h"

using orlendo::ProfileFile;
namespace errnum = orlendo::errnum;

namespace {

using tvxtest::errorNumber;
using tvxtest::readBytes;
using tvxtest::writeBytes;
using ProfileFileTest = tvxtest::InFolder;

ProfileFile bound(const std::string& name) {
  ProfileFile pf;
  pf.FileName(name);
  return pf;
}

TEST_F(ProfileFileTest, ReadingMatchesCaseInsensitivelyAndIgnoresNoise) {
  // LF, CR LF and a lone CR each end a line.
  writeBytes("in.ini",
             "orphan=before any section\n; a comment\n  [ User Preferences ]  \r\n  FONT NAME  = Courier New\n"
             "garbage line without equals\n=no key\n;font size=a comment\nfont name=second wins not\r[broken\nlost=1\n"
             "[user preferences]\rFont Size=10\n");
  const ProfileFile pf = bound("in.ini");
  EXPECT_EQ(pf.GetString("user PREFERENCES", "font name", "?"), " Courier New");
  EXPECT_EQ(pf.GetString(" User Preferences ", " Font Size ", "?"), "10");
  EXPECT_EQ(pf.GetString("broken", "lost", "none"), "none");
  EXPECT_EQ(pf.GetString("", "orphan", "none"), "none");
  // Repeated sections merge into the first; the value's leading blank is kept.
  EXPECT_EQ(pf.Render(), "[User Preferences]\r\nFONT NAME= Courier New\r\nFont Size=10\r\n");
}

TEST_F(ProfileFileTest, WriteStringReplacesInPlaceAppendsAndWritesLineBreaksAsBlanks) {
  ProfileFile pf = bound("s.ini");  // write-through: each call replaces the file
  pf.WriteString("A", "one", "1");
  pf.WriteString("B", "x", "x");
  pf.WriteString("a", "ONE", "uno");  // same key, other case: replaced in place
  pf.WriteString("A", "two", "2");
  pf.WriteString("Sec\ntion", "Ke\r\ny", "Ann\r\nSmith\rJr\nIII");
  EXPECT_EQ(readBytes("s.ini"),
            "[A]\r\none=uno\r\ntwo=2\r\n\r\n[B]\r\nx=x\r\n\r\n[Sec tion]\r\nKe y=Ann Smith Jr III\r\n");
  EXPECT_EQ(bound("s.ini").GetString("Sec tion", "Ke y", "?"), "Ann Smith Jr III");
  // Keys that would read back as something else are refused.
  for (const char* key : {"a=b", "[x", "  "})
    EXPECT_EQ(errorNumber([&] { pf.WriteString("General", key, "v]"); }), errnum::InvalidArgument) << key;
}

}  // namespace
