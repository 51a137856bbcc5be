// The batch run ended by a signal while it appends its reports and writes
// its CSV file: the files are either all as they were or all new, never a
// part of the reports, never one file old and the other new.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeFile(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

// Three securities of 2,000 buys and sells each: reports of about 1 MB.
std::string bigInvestor() {
  std::string text =
      "[General]\r\nVersion=QVX2017.10\r\nName=Signal Test\r\nLine 2=\r\nStart Date=12/31/1983\r\n"
      "Stop Date=12/31/2016\r\nLumora=1\r\n";
  for (const char* security : {"Quorvex", "Meridane", "Brantel"}) {
    text += std::string("\r\n[") + security + "]\r\nCount=2000\r\n";
    for (int i = 1; i <= 2000; ++i) {
      char date[16];
      std::snprintf(date, sizeof date, "%02d/%02d/%04d", 1 + i % 12, 1 + i % 28, 1984 + (i - 1) / 63);
      const std::string n = std::to_string(i);
      text += n + " Date=" + date + "\r\n" + n + " Shares=" + (i % 5 ? "10" : "-2") + "\r\n" + n + " Cost=" +
              (i % 5 ? std::to_string(100 + i) : "0") + "\r\n" + n + " Code=" + date + "-" + n + "\r\n";
    }
  }
  return text;
}

// Starts the batch run; returns its process id.
pid_t startBatch(const fs::path& input, const fs::path& output, const fs::path& csv) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
    ::execl(TVX_DESK_BINARY, TVX_DESK_BINARY, "/silent", "/input", input.c_str(), "/output", output.c_str(),
            "/csv", csv.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  return pid;
}

TEST(BatchSignal, ATerminatedOrInterruptedRunLeavesTheOldFileOrTheWholeReports) {
  const fs::path dir = fs::temp_directory_path() / ("tvx_signal_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path input = dir / "big.qvx";
  const fs::path output = dir / "out.txt";
  const fs::path csv = dir / "out.csv";
  writeFile(input, bigInvestor());
  const std::string before = "an earlier report\r\n";
  const std::string csvBefore = "an earlier export\r\n";

  // The whole reports, and how long a run takes.
  writeFile(output, before);
  const auto started = std::chrono::steady_clock::now();
  int status = 0;
  const pid_t first = startBatch(input, output, csv);
  ASSERT_EQ(::waitpid(first, &status, 0), first);
  const auto runTime = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const std::string whole = readFile(output);
  ASSERT_GT(whole.size(), before.size() + 500'000);
  const std::string wholeCsv = readFile(csv);

  std::mt19937 random(20171231);
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(runTime).count();
  int oldKept = 0, wholeWritten = 0;
  for (int i = 0; i < 60; ++i) {
    writeFile(output, before);
    writeFile(csv, csvBefore);
    const int signalNumber = i % 2 ? SIGINT : SIGTERM;
    const pid_t pid = startBatch(input, output, csv);
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<long>(0, span)(random)));
    ::kill(pid, signalNumber);
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    const std::string now = readFile(output);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 3) << "run " << i << ": no temporary file";
    if (now == before) {
      EXPECT_EQ(readFile(csv), csvBefore) << "run " << i;
      ++oldKept;
    } else {
      EXPECT_EQ(readFile(csv), wholeCsv) << "run " << i;
      ASSERT_EQ(now.size(), whole.size()) << "run " << i << ": a part of the reports was left behind";
      EXPECT_EQ(now, whole);
      ++wholeWritten;
    }
  }
  // Most signals land while the reports are made; the counts show where they fell.
  RecordProperty("oldKept", oldKept);
  RecordProperty("wholeWritten", wholeWritten);
  EXPECT_GT(oldKept, 0);
  fs::remove_all(dir);
}

}  // namespace
