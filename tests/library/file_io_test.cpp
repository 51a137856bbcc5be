#include <limits.h>
#include <sys/stat.h>

#include "library/test_support.h"

namespace fs = std::filesystem;
namespace errnum = orlendo::errnum;

namespace {

using tvxtest::errorNumber;
using tvxtest::readBytes;
using tvxtest::writeBytes;
using Names = std::set<std::string>;
using FileIoTest = tvxtest::InFolder;

// What may be at the name a write replaces. A link to a file elsewhere is
// followed (a user's own data file may be one); a link that leads nowhere is
// replaced, its target never created. Anything but a regular file is
// refused, naming it, before anything is written. Names up to the file
// system's limit save, with one temporary file of their own. One fixed
// temporary name per file: whatever a killed write left there is replaced,
// never followed (a link planted there leads nowhere we write).
TEST_F(FileIoTest, WhatIsAtTheNameDecidesWhatTheWriteReplaces) {
  fs::create_directory("elsewhere");
  const std::string longName(NAME_MAX, 'n');
  struct Case {
    const char* why;
    std::function<void()> setUp;
    std::string name;
    long error;           // 0: written
    std::string message;  // after the name, for a refusal
    const char* victim;   // what elsewhere/victim then holds
  };
  const Case cases[] = {
      {"a link to a file elsewhere is followed", [] { fs::create_symlink("elsewhere/victim", "n"); }, "n", 0, "", "new"},
      {"a link that leads nowhere is replaced", [] { fs::create_symlink("elsewhere/missing", "n"); }, "n", 0, "",
       "keep me"},
      {"a leftover temporary file", [] { writeBytes("n.tmp", "half a sav"); }, "n", 0, "", "keep me"},
      {"a link at the temporary name", [] { fs::create_symlink("elsewhere/victim", "n.tmp"); }, "n", 0, "", "keep me"},
      {"a link to a FIFO",
       [] {
         ::mkfifo("elsewhere/fifo", 0600);
         fs::create_symlink("elsewhere/fifo", "n");
       },
       "n", errnum::PathFileAccess, " is not a regular file.", "keep me"},
      {"a name of the longest length, over a leftover of its own",
       [&] {
         const std::string leftover = orlendo::StagedFile(longName, "").temporaryName();
         EXPECT_LE(leftover.size(), std::size_t{NAME_MAX});
         writeBytes(leftover, "a killed write's");
       },
       longName, 0, "", "keep me"},
      {"a name too long", [] {}, longName + "x", errnum::PathFileAccess,
       ": the name is longer than the file system allows.", "keep me"},
      {"a folder that takes no files", [] {}, "/proc/f.qvx", errnum::PathFileAccess,
       " cannot be created: its folder takes no new files.", "keep me"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    writeBytes("elsewhere/victim", "keep me");
    c.setUp();
    const orlendo::Error e = tvxtest::caught([&] { orlendo::writeFileAtomically(c.name, "new"); });
    EXPECT_EQ(e.number(), c.error);
    EXPECT_EQ(e.number() ? e.description() : "", c.error ? c.name + c.message : "");
    EXPECT_EQ(readBytes("elsewhere/victim"), c.victim);
    if (c.error == 0) {
      EXPECT_EQ(readBytes(c.name), "new");
    }
    EXPECT_FALSE(fs::exists("elsewhere/missing"));
    std::error_code ec;
    fs::remove(c.name, ec);
    EXPECT_EQ(entries(), Names{"elsewhere"}) << "no temporary file is left";
    fs::remove("elsewhere/fifo");
  }
  EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically("no/such/f.qvx", "x"); }), errnum::PathNotFound);
}

// Every failure on the way makes the write fail and keeps the old file, or
// no file where there was none: a short write, the file's fsync, a close
// that reports a delayed write error, the exchange or rename of names, and
// the folder's fsync after it (only a real I/O error: some file systems
// refuse an fsync of a folder).
int eio() { return errno = EIO, -1; }
bool isFolder(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
}

TEST_F(FileIoTest, AFailureAtAnyStepFailsTheWriteAndKeepsTheOldFile) {
  using Calls = orlendo::detail::AtomicWriteCalls;
  struct Case {
    const char* why;
    Calls calls;
    bool oldFile;
    long error;  // 0: written
  };
  const Case cases[] = {
      {"write", {.write = [](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; }}, true,
       errnum::DiskFull},
      {"a write that makes no progress", {.write = [](int, const void*, std::size_t) -> ssize_t { return 0; }}, true,
       errnum::DiskFull},
      {"fsync of the file", {.fsync = [](int fd) { return isFolder(fd) ? ::fsync(fd) : eio(); }}, true, errnum::DeviceIO},
      {"close", {.close = [](int fd) { return ::close(fd), eio(); }}, true, errnum::DeviceIO},
      {"exchange", {.exchange = [](const char*, const char*) { return eio(); }}, true, errnum::DeviceIO},
      {"rename", {.rename = [](const char*, const char*) { return eio(); }}, false, errnum::DeviceIO},
      {"fsync of the folder", {.fsync = [](int fd) { return isFolder(fd) ? eio() : ::fsync(fd); }}, true,
       errnum::DeviceIO},
      {"fsync of the folder, a new file", {.fsync = [](int fd) { return isFolder(fd) ? eio() : ::fsync(fd); }}, false,
       errnum::DeviceIO},
      {"fsync of a folder refused", {.fsync = [](int fd) { return isFolder(fd) ? (errno = EINVAL, -1) : ::fsync(fd); }},
       true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    std::filesystem::remove("d.qvx");
    if (c.oldFile) writeBytes("d.qvx", "old");
    orlendo::detail::setAtomicWriteCalls(c.calls);
    EXPECT_EQ(errorNumber([&] { orlendo::writeFileAtomically("d.qvx", "new"); }), c.error);
    orlendo::detail::setAtomicWriteCalls({});
    EXPECT_EQ(readBytes("d.qvx"), c.error == 0 ? "new" : c.oldFile ? "old" : "");
    EXPECT_EQ(entries(), c.error == 0 || c.oldFile ? Names{"d.qvx"} : Names{});
  }
}

}  // namespace
