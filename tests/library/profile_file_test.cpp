#include "orlendo/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "model/atomic_write.h"
#include "orlendo/error.h"
#include "library/test_support.h"

namespace fs = std::filesystem;
using orlendo::Error;
using orlendo::FileHelper;
using orlendo::ProfileFile;
namespace errnum = orlendo::errnum;

namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void TearDown() override { orlendo::detail::setAtomicWriteCall(nullptr); }

  std::string path(const std::string& name) const { return dir_.file(name); }

  void writeBytes(const std::string& name, const std::string& bytes) const { tvxtest::writeBytes(path(name), bytes); }
  std::string readBytes(const std::string& name) const { return tvxtest::readBytes(path(name)); }
  std::set<std::string> entries() const { return dir_.entries(); }

  tvxtest::TempDir dir_{"profile_file_test"};
};

using tvxtest::errorNumber;

// A write call that stores a few bytes and then reports a full disk.
ssize_t failAfterSomeBytes(int fd, const void* data, std::size_t size) {
  static int calls = 0;
  if (++calls % 2 == 1) return ::write(fd, data, size < 5 ? size : 5);
  errno = ENOSPC;
  return -1;
}

TEST_F(ProfileFileTest, RoundTripKeepsSectionsKeysAndValuesExactly) {
  ProfileFile out(ProfileFile::Mode::Deferred);
  out.BindEmpty(path("data.qvx"));
  out.WriteString("General", "Name", "Ann = Smith");
  out.WriteString("General", "Line 2", "   indented second line  ");
  out.WriteString("General", "Empty", "");
  out.WriteString("Quorvex", "Count", "1");
  out.WriteString("Quorvex", "1 Date", "01/02/1990");
  EXPECT_EQ(out.Render(),
            "[General]\r\nName=Ann = Smith\r\nLine 2=   indented second line  \r\nEmpty=\r\n"
            "\r\n[Quorvex]\r\nCount=1\r\n1 Date=01/02/1990\r\n");
  EXPECT_FALSE(FileHelper::PathExists(path("data.qvx")));  // deferred: nothing written yet
  out.Commit();
  EXPECT_EQ(readBytes("data.qvx"), out.Render());

  ProfileFile in;
  in.FileName(path("data.qvx"));
  EXPECT_EQ(in.GetString("General", "Name", "?"), "Ann = Smith");
  EXPECT_EQ(in.GetString("General", "Line 2", "?"), "   indented second line  ");
  EXPECT_EQ(in.GetString("General", "Empty", "?"), "");
  EXPECT_EQ(in.GetString("Quorvex", "1 Date", "?"), "01/02/1990");
  EXPECT_EQ(in.GetString("Quorvex", "2 Date", "none"), "none");
  EXPECT_EQ(in.GetString("Nowhere", "Count", "none"), "none");
  EXPECT_EQ(in.Render(), out.Render());
}

TEST_F(ProfileFileTest, ReadingMatchesCaseInsensitivelyAndIgnoresNoise) {
  writeBytes("in.ini",
             "orphan=before any section\n"
             "; a comment\n"
             "  [ User Preferences ]  \n"
             "  FONT NAME  = Courier New\n"
             "garbage line without equals\n"
             "=no key\n"
             "font name=second wins not\n"
             "[broken\n"
             "lost=1\n"
             "[user preferences]\n"
             "Font Size=10\n");
  ProfileFile pf;
  pf.FileName(path("in.ini"));
  EXPECT_EQ(pf.GetString("user PREFERENCES", "font name", "?"), " Courier New");
  EXPECT_EQ(pf.GetString(" User Preferences ", " Font Size ", "?"), "10");
  EXPECT_EQ(pf.GetString("broken", "lost", "none"), "none");
  EXPECT_EQ(pf.GetString("", "orphan", "none"), "none");
  // Repeated sections merge into the first; the value's leading blank is kept.
  EXPECT_EQ(pf.Render(), "[User Preferences]\r\nFONT NAME= Courier New\r\nFont Size=10\r\n");
}

TEST_F(ProfileFileTest, ReadsLfLineEndsByteOrderMarkAndWindows1252) {
  writeBytes("lf.qvx", "[General]\nName=Bo\nLine 2=x\n");
  writeBytes("bom.qvx", "\xEF\xBB\xBF[General]\r\nName=Caf\xC3\xA9\r\n");
  writeBytes("cp.qvx", "[General]\r\nName=Caf\xE9 \x97 \x80 \x9F\r\n");
  ProfileFile lf, bom, cp;
  lf.FileName(path("lf.qvx"));
  bom.FileName(path("bom.qvx"));
  cp.FileName(path("cp.qvx"));
  EXPECT_EQ(lf.GetString("General", "Name", "?"), "Bo");
  EXPECT_EQ(lf.GetString("General", "Line 2", "?"), "x");
  EXPECT_EQ(bom.GetString("General", "Name", "?"), "Caf\u00e9");  // UTF-8 kept, not re-converted
  EXPECT_EQ(cp.GetString("General", "Name", "?"), "Caf\u00e9 \u2014 \u20ac \u0178");

  std::string text;
  ASSERT_TRUE(orlendo::readTextFile(path("cp.qvx"), text));
  EXPECT_EQ(text, "[General]\r\nName=Caf\u00e9 \u2014 \u20ac \u0178\r\n");
  // An overlong form and a lone surrogate are not UTF-8 either.
  writeBytes("overlong.txt", "\xC0\xAF \xED\xA0\x80");
  ASSERT_TRUE(orlendo::readTextFile(path("overlong.txt"), text));
  EXPECT_EQ(text, "\u00c0\u00af \u00ed\u00a0\u20ac");
}

TEST_F(ProfileFileTest, WriteStringReplacesInPlaceAppendsAndCreatesSections) {
  ProfileFile pf;  // write-through: each call replaces the file
  pf.FileName(path("s.ini"));
  pf.WriteString("A", "one", "1");
  pf.WriteString("A", "two", "2");
  pf.WriteString("B", "x", "x");
  pf.WriteString("a", "ONE", "uno");  // same key, other case: replaced in place
  pf.WriteString("A", "three", "3");
  pf.WriteString("C", "y", "y");
  EXPECT_EQ(readBytes("s.ini"),
            "[A]\r\none=uno\r\ntwo=2\r\nthree=3\r\n\r\n[B]\r\nx=x\r\n\r\n[C]\r\ny=y\r\n");
}

TEST_F(ProfileFileTest, LineBreaksInsideTextsAreWrittenAsBlanks) {
  ProfileFile pf;
  pf.FileName(path("n.qvx"));
  pf.WriteString("General", "Name", "Ann\r\nSmith\rJr\nIII");
  pf.WriteString("Sec\ntion", "Ke\r\ny", "v");
  EXPECT_EQ(readBytes("n.qvx"), "[General]\r\nName=Ann Smith Jr III\r\n\r\n[Sec tion]\r\nKe y=v\r\n");
  ProfileFile back;
  back.FileName(path("n.qvx"));
  EXPECT_EQ(back.GetString("General", "Name", "?"), "Ann Smith Jr III");
  EXPECT_EQ(back.GetString("Sec tion", "Ke y", "?"), "v");
  // Keys that would read back as something else are refused.
  EXPECT_EQ(errorNumber([&] { pf.WriteString("General", "a=b", "v"); }), errnum::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { pf.WriteString("General", "[x", "v]"); }), errnum::InvalidArgument);
  EXPECT_EQ(errorNumber([&] { pf.WriteString("General", "  ", "v"); }), errnum::InvalidArgument);
}

TEST_F(ProfileFileTest, GetLongReadsIntegersAndRejectsOtherText) {
  writeBytes("l.ini",
             "[S]\nabc=abc\nbig=99999999999\nneg= -3 \nplus=+7\nmax=2147483647\n"
             "min=-2147483648\nover=2147483648\nunder=-2147483649\nempty=\ndec=1.0\n"
             "inner=1 2\nsign=-\ngroups=1,000\n");
  ProfileFile pf;
  pf.FileName(path("l.ini"));
  EXPECT_EQ(pf.GetLong("S", "neg", 0), -3);
  EXPECT_EQ(pf.GetLong("S", "plus", 0), 7);
  EXPECT_EQ(pf.GetLong("S", "max", 0), 2147483647);
  EXPECT_EQ(pf.GetLong("S", "min", 0), INT32_MIN);
  EXPECT_EQ(pf.GetLong("S", "missing", 42), 42);
  EXPECT_EQ(pf.GetLong("Other", "neg", -9), -9);
  for (const char* key : {"abc", "empty", "dec", "inner", "sign", "groups"})
    EXPECT_EQ(errorNumber([&] { pf.GetLong("S", key, 0); }), errnum::TypeMismatch) << key;
  for (const char* key : {"big", "over", "under"})
    EXPECT_EQ(errorNumber([&] { pf.GetLong("S", key, 0); }), errnum::Overflow) << key;
}

TEST_F(ProfileFileTest, MissingFileReadsEmptyButUnreadableFileFails) {
  ProfileFile pf;
  pf.FileName(path("absent.qvx"));
  EXPECT_EQ(pf.GetString("General", "Name", "def"), "def");
  EXPECT_EQ(pf.GetLong("General", "Lumora", 1), 1);
  std::string text = "old";
  EXPECT_FALSE(orlendo::readTextFile(path("absent.qvx"), text));

  fs::create_directory(path("folder.qvx"));
  EXPECT_EQ(errorNumber([&] { pf.FileName(path("folder.qvx")); }), errnum::PathFileAccess);
  EXPECT_EQ(pf.FileName(), path("absent.qvx"));  // a failed bind keeps the old one

  writeBytes("locked.qvx", "[General]\nName=x\n");
  ::chmod(path("locked.qvx").c_str(), 0);
  if (::access(path("locked.qvx").c_str(), R_OK) == 0) GTEST_SKIP() << "permissions not enforced (root)";
  EXPECT_EQ(errorNumber([&] { pf.FileName(path("locked.qvx")); }), errnum::PermissionDenied);
}

TEST_F(ProfileFileTest, FailedWriteLeavesOldFileIntactAndNoTemporaryFile) {
  const std::string old = "[General]\r\nName=old\r\n";
  writeBytes("d.qvx", old);
  ProfileFile pf;
  pf.FileName(path("d.qvx"));
  orlendo::detail::setAtomicWriteCall(&failAfterSomeBytes);
  EXPECT_EQ(errorNumber([&] { pf.WriteString("General", "Name", std::string(1000, 'n')); }),
            errnum::DiskFull);
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("new.qvx"), "content"); }),
            errnum::DiskFull);
  orlendo::detail::setAtomicWriteCall(nullptr);
  EXPECT_EQ(readBytes("d.qvx"), old);
  EXPECT_EQ(entries(), std::set<std::string>{"d.qvx"});
  // The object keeps matching the file that is on disk.
  EXPECT_EQ(pf.GetString("General", "Name", "?"), "old");
}

TEST_F(ProfileFileTest, AtomicWriteReportsFoldersAndPermissions) {
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("no/such/f.qvx"), "x"); }),
            errnum::PathNotFound);
  fs::create_directory(path("sub"));
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("sub"), "x"); }), errnum::PathFileAccess);
  EXPECT_TRUE(fs::is_directory(path("sub")));
  ProfileFile unbound;
  EXPECT_EQ(errorNumber([&] { unbound.WriteString("A", "b", "c"); }), errnum::NoFilename);

  writeBytes("sub/keep.qvx", "keep");
  fs::permissions(path("sub"), fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(path("sub").c_str(), W_OK) == 0) GTEST_SKIP() << "folder still writable (root)";
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("sub/keep.qvx"), "new"); }),
            errnum::PermissionDenied);
  EXPECT_EQ(readBytes("sub/keep.qvx"), "keep");
  fs::permissions(path("sub"), fs::perms::owner_all);
  EXPECT_EQ(std::distance(fs::directory_iterator(path("sub")), fs::directory_iterator()), 1);
  // A file the user made read-only is not replaced either.
  fs::permissions(path("sub/keep.qvx"), fs::perms::owner_read);
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically(path("sub/keep.qvx"), "new"); }),
            errnum::PermissionDenied);
  EXPECT_EQ(readBytes("sub/keep.qvx"), "keep");
}

TEST_F(ProfileFileTest, AtomicWriteSetsNewModeAndKeepsExistingMode) {
  const mode_t mask = ::umask(022);
  orlendo::writeFileAtomically(path("new.qvx"), "a");
  ::umask(027);
  orlendo::writeFileAtomically(path("masked.qvx"), "a");
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat(path("new.qvx").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0644u);
  ASSERT_EQ(::stat(path("masked.qvx").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  ::chmod(path("new.qvx").c_str(), 0600);
  orlendo::writeFileAtomically(path("new.qvx"), "replaced");
  ASSERT_EQ(::stat(path("new.qvx").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(readBytes("new.qvx"), "replaced");

  // A symbolic link keeps pointing at the file, which gets the new content.
  fs::create_symlink(path("new.qvx"), path("link.qvx"));
  orlendo::writeFileAtomically(path("link.qvx"), "via link");
  EXPECT_TRUE(fs::is_symlink(path("link.qvx")));
  EXPECT_EQ(readBytes("new.qvx"), "via link");
}

TEST_F(ProfileFileTest, PathExistsOnlyForAnExistingRegularFile) {
  writeBytes("a.qvx", "x");
  fs::create_directory(path("dir"));
  EXPECT_TRUE(FileHelper::PathExists(path("a.qvx")));
  EXPECT_FALSE(FileHelper::PathExists(path("*.qvx")));
  EXPECT_FALSE(FileHelper::PathExists(path("a.qv?")));
  EXPECT_FALSE(FileHelper::PathExists(path("dir")));
  EXPECT_FALSE(FileHelper::PathExists(path("b.qvx")));
  EXPECT_FALSE(FileHelper::PathExists(""));
}

}  // namespace
