// The figure field every report uses, and the append to the output file.
#include "core/report_text.h"

#include <sys/resource.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {

// An append ended part-way in a child process (so that the test keeps its
// limits, signals and calls), set up as in the batch run: by a file-size
// limit or a write that makes no progress (a full disk), a close that reports
// a delayed write error, or a termination or interrupt signal. The file keeps
// its old bytes; one the append created is not left behind. A signal that was
// ignored (a run under nohup) stays ignored and short writes go on: the whole
// text is appended.
TEST(AppendToFile, AnAppendEndedPartWayLeavesTheOutputFileAsItWas) {
  struct Case {
    const char* why;
    bool sizeLimit;
    detail::AppendCalls calls;
    int signal, status;  // raised after the first write; the exit status, or the signal that ends the child
    bool appended;
  };
  const Case cases[] = {
      {"size limit", true, {}, 0, orlendo::errnum::DiskFull, false},
      {"no progress", false, {[](int, const void*, std::size_t) -> ssize_t { return 0; }, nullptr}, 0,
       orlendo::errnum::DiskFull, false},
      {"close fails", false, {nullptr, [](int fd) { ::close(fd); errno = EIO; return -1; }}, 0,
       orlendo::errnum::DeviceIO, false},
      {"SIGTERM", false, {}, SIGTERM, SIGTERM, false},
      {"SIGINT", false, {}, SIGINT, SIGINT, false},
      {"SIGHUP ignored", false, {}, SIGHUP, 0, true},
      {"short writes", false, {[](int fd, const void* data, std::size_t) { return ::write(fd, data, 1); }, nullptr},
       0, 0, true},
  };
  TempFolder folder;
  const std::string out = folder.file("out.txt"), text(5000, 'r');
  for (const Case& c : cases) {
    for (const char* before : {"kept\r\n", ""}) {
      SCOPED_TRACE(std::string(c.why) + (*before ? ", an existing file" : ", a new file"));
      std::filesystem::remove(out);
      if (*before) folder.write("out.txt", before);
      const pid_t pid = ::fork();
      ASSERT_GE(pid, 0);
      if (pid == 0) {
        if (c.signal == SIGHUP) ::signal(SIGHUP, SIG_IGN);
        UndoOpenAppendOnFatalSignals();
        const rlimit limit{100, 100};
        if (c.sizeLimit) ::setrlimit(RLIMIT_FSIZE, &limit);
        detail::setAppendCalls(c.calls);
        try {
          FileAppend file(out);
          file.write(text);
          if (c.signal) ::raise(c.signal);
          file.commit();
        } catch (const orlendo::Error& e) {
          ::_exit(static_cast<int>(e.number()));
        }
        ::_exit(0);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(pid, &status, 0), pid);
      if (c.signal && !c.appended) {
        ASSERT_TRUE(WIFSIGNALED(status)) << "ended by the signal, as without the handler";
        EXPECT_EQ(WTERMSIG(status), c.status);
      } else {
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), c.status);
      }
      const std::string left = std::filesystem::exists(out) ? readBytes(out) : "(no file)";
      EXPECT_EQ(left, c.appended ? before + text : *before ? before : "(no file)");
    }
  }
}

// The figure field every report uses: a figure is never cut.
TEST(FigureField, AFigureLongerThanItsFieldPrintsWholeAfterOneBlank) {
  struct Case {
    std::size_t width;
    std::string value, expected, why;
  };
  const Case cases[] = {
      {6, "1.00", "  1.00", "shorter: blanks before it"},
      {4, "1.00", "1.00", "fits exactly: no blank"},
      {3, "1.00", " 1.00", "over by one: whole, after one blank"},
      {4, "-1,234,567.00", " -1,234,567.00", "over by many"},
      {3, "é.5", "é.5", "counted in characters, not bytes"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RightFit(c.width, c.value), c.expected) << c.why;
    std::string line = "x";
    appendRightFit(line, c.width, c.value);
    EXPECT_EQ(line, "x" + c.expected) << c.why;
  }
}

}  // namespace
}  // namespace tvx::test
