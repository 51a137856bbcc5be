// Saves killed with SIGKILL at random moments: the data file and backup.qvx
// each hold one whole version, and at most one temporary file of each is left.
//
// TVX_CRASH_KILLS=5000 ctest -R SaveCrash   runs a longer series (default 200).
#include <signal.h>
#include <sys/wait.h>

#include <cstdlib>
#include <random>
#include <thread>

#include "library/test_support.h"
#include "tools/save_loop_versions.h"


namespace {

class SaveCrashTest : public tvxtest::InFolder {
 protected:
  void SetUp() override {
    InFolder::SetUp();
    std::filesystem::create_directory("saves");
    // The expected bytes are written here without the flushes (save_loop has its own).
    orlendo::detail::setAtomicWriteCalls({nullptr, [](int) { return 0; }, nullptr});
  }

  // Empty when `file` is missing or holds exactly one version as save_loop
  // wrote it; otherwise what is wrong.
  std::string checkWhole(const std::string& file) {
    std::string bytes;
    if (!orlendo::readFileBytes(file, bytes)) return {};
    const auto at = bytes.find("\r\nName=Version ");
    if (at == std::string::npos) return file + " holds no version name (" + std::to_string(bytes.size()) + " bytes)";
    const long k = std::atol(bytes.c_str() + at + 15);
    std::filesystem::remove("expected.qvx");  // a new name: no backup is made in the scratch folder
    tvxtest::investorVersion(k)->Save("expected.qvx");
    if (tvxtest::readBytes("expected.qvx") != bytes) return file + " is not whole version " + std::to_string(k);
    return {};
  }
};

TEST_F(SaveCrashTest, KilledSavesLeaveWholeFilesAndAtMostOneTemporaryFileOfEach) {
  const char* env = std::getenv("TVX_CRASH_KILLS");
  const long kills = env && std::atol(env) > 0 ? std::atol(env) : 200;
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayMicros(0, 5000);
  long temporaryLeft = 0;
  for (long i = 0; i < kills; ++i) {
    const std::string folder = file("saves"), first = std::to_string(i * 100000);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {  // save_loop, its standard output into the pipe
      ::dup2(ready[1], 1);
      ::execl(TVX_SAVE_LOOP_BINARY, TVX_SAVE_LOOP_BINARY, folder.c_str(), first.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(ready[1]);
    ASSERT_GT(pid, 0);
    char started = 0;
    const ssize_t got = ::read(ready[0], &started, 1);
    ::close(ready[0]);
    ASSERT_EQ(got, 1) << "save_loop did not save";
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
    ASSERT_EQ(::kill(pid, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "save_loop ended by itself, status " << status;

    SCOPED_TRACE("kill " + std::to_string(i + 1));
    const auto names = entries("saves");
    for (const std::string& name : names)
      ASSERT_TRUE(name == "data.qvx" || name == "backup.qvx" || name == "data.qvx.tmp" || name == "backup.qvx.tmp") << name;
    temporaryLeft += static_cast<long>(names.count("data.qvx.tmp") + names.count("backup.qvx.tmp"));
    ASSERT_EQ(checkWhole(file("saves/data.qvx")), "");
    ASSERT_EQ(checkWhole(file("saves/backup.qvx")), "");
  }
  EXPECT_GT(temporaryLeft, 0) << "no kill landed inside a save";
  std::printf("%ld kills, %ld left a temporary file\n", kills, temporaryLeft);
}

}  // namespace
