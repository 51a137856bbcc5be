// The built tvxdesk run as a separate process in batch mode, with no
// display: output file, exit status and standard error.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "file_bytes.h"

namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;

using tvx::test_files::readBytes;
using tvx::test_files::writeBytes;

// One shell word, whatever the text holds.
std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

struct Result {
  int status = -1;  // -1: ended by a signal
  std::string err;
};

class BatchRun : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }

  // Runs "tvxdesk /silent `args`" without any display; `extraEnv` goes between
  // env and the program ("NAME=value", or a command that runs the program as "$0").
  Result desk(const Args& args, const std::string& extraEnv = "") const {
    const fs::path errFile = fs::temp_directory_path() / ("tvx_e2e_err_" + std::to_string(::getpid()));
    // exec: the status is the program's own, not that of a shell reporting its signal.
    std::string command = "exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + extraEnv + " " +
                          quoted(TVX_DESK_BINARY) + " /silent";
    for (const auto& a : args) command += " " + quoted(a);
    const int status = std::system((command + " </dev/null >/dev/null 2>" + quoted(errFile)).c_str());
    Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readBytes(errFile)};
    fs::remove(errFile);
    return r;
  }
  Result batch(const fs::path& in, const fs::path& out, const std::string& extraEnv = "") const {
    return desk({"/input", in.string(), "/output", out.string()}, extraEnv);
  }
  // The example with one text replaced.
  std::string damaged(const std::string& from, const std::string& to) const {
    std::string data = readBytes(example);
    const auto at = data.find(from);
    return at == std::string::npos ? std::string() : data.replace(at, from.size(), to);
  }
  long entries() const { return std::distance(fs::directory_iterator(dir), {}); }

  const fs::path dir = fs::temp_directory_path() / ("tvx_e2e_" + std::to_string(::getpid()));
  const std::string example = TVX_EXAMPLES_DIR "/smith.qvx";
};

// The example under each Lumora election: the report file and the CSV file
// byte for byte as the program has always written them (tests/e2e/expected/);
// the reports are appended on the next run, the CSV file replaced.
TEST_F(BatchRun, TheExampleGivesTheKnownReportsAndCsvForEachElection) {
  std::string data = readBytes(example);
  const auto at = data.find("Lumora=2\r\n");
  ASSERT_NE(at, std::string::npos);
  for (const char election : {'1', '2', '3'}) {
    SCOPED_TRACE(election);
    data[at + 7] = election;
    writeBytes(dir / "in.qvx", data);
    fs::remove(dir / "o.txt");
    for (int run = election == '2' ? 0 : 1; run < 2; ++run) {
      const Result r = desk({"/input", (dir / "in.qvx").string(), "/output", (dir / "o.txt").string(), "/csv",
                             (dir / "o.csv").string()});
      ASSERT_EQ(r.status, 0) << r.err;
      EXPECT_EQ(r.err, "");
    }
    const std::string expected = std::string(TVX_EXPECTED_DIR "/smith-election") + election;
    const std::string txt = readBytes(expected + ".txt");
    EXPECT_TRUE(readBytes(dir / "o.txt") == (election == '2' ? txt + txt : txt)) << "the report file differs";
    EXPECT_TRUE(readBytes(dir / "o.csv") == readBytes(expected + ".csv")) << "the CSV file differs";
  }
}

TEST_F(BatchRun, NeverLoadsTheDesktopModule) {
  const Result r = batch(example, dir / "o.txt", "LD_DEBUG=files");
  EXPECT_EQ(r.status, 0);
  ASSERT_NE(r.err.find("libOrlendo"), std::string::npos) << "the loader reports the libraries it maps";
  EXPECT_EQ(r.err.find("libtvxqt"), std::string::npos);
  EXPECT_EQ(r.err.find("libQt"), std::string::npos);
}

// A file whose entry does not read, or that is no data file at all, is
// refused with a message on standard error, and nothing is written; a buy's
// cost is read when the buy is posted, so the calculation fails on it.
TEST_F(BatchRun, AFileThatDoesNotReadIsRefusedSayingWhyAndNothingIsWritten) {
  std::string randomBytes(2000, '\0');
  std::mt19937 random(7);
  for (char& c : randomBytes) c = static_cast<char>(random() & 0xFF);
  const std::string proceeds = "3 Cost=0.00\r\n3 Proceeds=";
  const std::pair<std::string, std::string> cases[] = {  // data, the message after "<file>"
      {damaged("2 Shares=100.00000", "2 Shares=1OO"),
       ": security \"Quorvex\", entry 2: the Shares value \"1OO\" is not a number."},
      {damaged("2 Cost=6,212.50", "2 Cost=6 thousand"),
       ": security \"Quorvex\", entry 2: the Cost value \"6 thousand\" is not an amount.\nNo report was made."},
      {damaged("3 Cost=0.00", proceeds + "lots"),
       ": security \"Quorvex\", entry 3: the Proceeds value \"lots\" is not an amount."},
      {damaged("3 Cost=0.00", proceeds + "-5"), ": security \"Quorvex\", entry 3: the Proceeds value \"-5.00\" is below 0.00."},
      {damaged("3 Cost=0.00", proceeds + "1e30"),  // reads, beyond any amount
       ": security \"Quorvex\", entry 3: the Proceeds value \"1e30\" is not an amount."},
      {damaged("2 Cost=6,212.50", "2 Cost=6,212.50\r\n2 Proceeds=100"),
       ": security \"Quorvex\", entry 2: the Proceeds value \"100.00\" is given on a buy: only a sell has proceeds."},
      {randomBytes, " is not a Tallyvex data file"},
  };
  const fs::path bad = dir / "bad.qvx";
  for (const auto& [data, message] : cases) {
    ASSERT_FALSE(data.empty());
    writeBytes(bad, data);
    const Result r = batch(bad, dir / "o.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tvxdesk: WARNING: " + bad.string() + message + "\n");
  }
  // The calculation's failure with the CSV file alone.
  writeBytes(bad, cases[1].first);
  const Result r = desk({"/input", bad.string(), "/csv", (dir / "o.csv").string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("not an amount.\nNo CSV file was written."), std::string::npos) << r.err;
  EXPECT_EQ(entries(), 1) << "only the input file";
  // An unreadable cost on a sell is never read: the file calculates.
  writeBytes(bad, damaged("3 Cost=0.00", "3 Cost=none"));
  EXPECT_EQ(batch(bad, dir / "o.txt").status, 0);
}

// Command lines that name no usable file: the exit status, what standard
// error says, and nothing written. A folder, FIFO or link to one is refused
// before anything is written, as the input is, whatever its name ends with; a
// FIFO no longer hangs the run.
TEST_F(BatchRun, ACommandLineWithoutAUsableFileEndsSayingWhichAndWritesNothing) {
  const fs::path fifo = dir / "ff.txt", link = dir / "x.csv", folder = dir / "folder.qvx";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  fs::create_symlink(fifo, link);
  fs::create_directory(folder);
  const std::string in = example, out = (dir / "o.txt").string(), missing = (dir / "x.qvx").string();
  const auto notRegular = [](const fs::path& p) { return "tvxdesk: WARNING: " + p.string() + " is not a regular file.\n"; };
  const struct {
    Args args;
    int status;
    std::string told;  // in standard error
  } cases[] = {
      {{"/input", missing, "/output", out}, 1, "tvxdesk: WARNING: " + missing + " does not exist.\n"},
      {{"/input", (dir / "*.qvx").string(), "/output", out}, 1, "does not exist"},
      {{"/input", folder.string(), "/output", out}, 2, notRegular(folder)},
      {{"/input", in, "/output", fifo.string()}, 2, notRegular(fifo)},
      {{"/input", in, "/output", out, "/csv", link.string()}, 2, notRegular(link)},
      {{"/output", out}, 1, "/input"},
      {{"/input", in}, 2, "/csv"},  // neither /output nor /csv
      {{"/input", in, "/output", out, "/csv", (dir / "o.cs").string()}, 2, "/csv followed"},
      {{"/input", in, "/csv", (dir / "o.csv").string(), "/output", (dir / "o.text").string()}, 2, "/output followed"},
      {{"/input", in, "/csv"}, 2, "/csv followed"},
      {{"/input", in, "/sales", (dir / "none" / "s.csv").string()}, 2,
       "Description: Cannot write the sales file \"" + (dir / "none" / "s.csv").string() + "\": Path not found"},
  };
  for (const auto& c : cases) {
    const Result r = desk(c.args, "timeout 10");
    EXPECT_EQ(r.status, c.status) << c.told << " (124: it hung)";
    EXPECT_NE(r.err.find(c.told), std::string::npos) << r.err;
  }
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(entries(), 3) << "only the folder, the FIFO and the link";
}

// A file-size limit, as on a full disk (it binds root too), met by the CSV
// or only by the reports appended to an earlier run's: the run keeps both
// files new or leaves both as they were.
TEST_F(BatchRun, UnderASizeLimitTheRunKeepsBothFilesOrNeither) {
  const fs::path csv = dir / "smith.csv", txt = dir / "smith.txt";
  const Args args{"/input", example, "/output", txt.string(), "/csv", csv.string()};
  ASSERT_EQ(desk(args).status, 0);
  const std::string newTxt = readBytes(txt) + readBytes(txt), newCsv = readBytes(csv);
  for (const int blocks : {4, 60, 200}) {  // of 512 bytes; only 200 is enough
    SCOPED_TRACE(blocks);
    const bool kept = blocks == 200;
    writeBytes(csv, "old");
    fs::resize_file(txt, newTxt.size() / 2);
    const std::string oldTxt = readBytes(txt);
    const Result r = desk(args, "sh -c 'trap \"\" XFSZ; ulimit -f " + std::to_string(blocks) + "; exec \"$0\" \"$@\"'");
    EXPECT_EQ(r.status, kept ? 0 : 2) << r.err;
    EXPECT_EQ(r.err.find((blocks == 4 ? csv : txt).string()) != std::string::npos, !kept) << r.err;
    EXPECT_EQ(readBytes(csv), kept ? newCsv : "old");
    EXPECT_EQ(readBytes(txt), kept ? newTxt : oldTxt);
    EXPECT_EQ(entries(), 2) << "no temporary file left";
  }
}

// A run ended by a termination or interrupt signal at a random moment, on an
// investor of three securities of 2,000 buys and sells each (reports of about
// 1 MB), leaves the report and CSV files both as they were or both whole:
// never a part of the reports, never one file old and the other new, no
// temporary file.
TEST_F(BatchRun, ASignalLeavesBothFilesOldOrBothWhole) {
  const fs::path input = dir / "big.qvx", output = dir / "out.txt", csv = dir / "out.csv";
  std::string text = "[General]\r\nVersion=QVX2017.10\r\nStart Date=12/31/1983\r\nStop Date=12/31/2016\r\n";
  for (const char* security : {"Quorvex", "Meridane", "Brantel"}) {
    text += std::string("\r\n[") + security + "]\r\nCount=2000\r\n";
    for (int i = 1; i <= 2000; ++i) {
      char date[16];
      std::snprintf(date, sizeof date, "%02d/%02d/%04d", 1 + i % 12, 1 + i % 28, 1984 + (i - 1) / 63);
      const std::string n = std::to_string(i);
      text += n + " Date=" + date + "\r\n" + n + " Shares=" + (i % 5 ? "10" : "-2") + "\r\n" + n + " Cost=" +
              (i % 5 ? std::to_string(100 + i) : "0") + "\r\n";
    }
  }
  writeBytes(input, text);
  const Args args{"/input", input.string(), "/output", output.string(), "/csv", csv.string()};
  const auto reset = [&] {
    writeBytes(output, "an earlier report\r\n");
    writeBytes(csv, "an earlier export\r\n");
  };
  reset();
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(desk(args).status, 0);
  const double span = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  const std::string whole = readBytes(output), wholeCsv = readBytes(csv);
  ASSERT_GT(whole.size(), 500'000u);
  std::mt19937 random(20171231);
  int oldKept = 0;
  for (int i = 0; i < 40; ++i) {
    reset();
    const double after = std::uniform_real_distribution<double>(0.001, span)(random);
    desk(args, std::string("timeout -s ") + (i % 2 ? "INT " : "TERM ") + std::to_string(after));
    EXPECT_EQ(entries(), 3) << "run " << i << ": no temporary file";
    const bool old = readBytes(output) == "an earlier report\r\n";
    oldKept += old;
    EXPECT_TRUE(old || readBytes(output) == whole) << "run " << i << ": a part of the reports was left behind";
    EXPECT_EQ(readBytes(csv), old ? "an earlier export\r\n" : wholeCsv) << "run " << i;
  }
  EXPECT_GT(oldKept, 0) << "most signals land while the reports are made";
}

// The sales file from the one load and calculation that feeds the other two;
// a year or method that does not read, or a sales file that cannot be
// written, leaves every file as it was.
TEST_F(BatchRun, SalesWithTheOtherFilesAllOrNothing) {
  const fs::path sales = dir / "sales.csv", csv = dir / "smith.csv", txt = dir / "smith.txt";
  const auto with = [&](const Args& more) {
    Args args{"/input", example, "/output", txt.string(), "/csv", csv.string(), "/sales", sales.string()};
    args.insert(args.end(), more.begin(), more.end());
    return desk(args);
  };
  const std::string header =
      "security,shares,date_acquired,date_sold,proceeds,basis,adjustment_code,adjustment,gain,term,box,kind,"
      "method\r\n";
  Result r = with({"/taxyear", "1995"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readBytes(sales), header) << "no sale in 1995";
  r = with({"/TaxYear", "1994", "/method", "AVERAGE"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readBytes(sales), header + "Quorvex,150.00000,1983-12-31,1994-03-02,,4333.59,,,,long,E,sell,average\r\n");
  const std::string before[] = {readBytes(sales), readBytes(txt)};
  const std::pair<Args, std::string> refused[] = {
      {{"/taxyear", "19x4"}, "\"19x4\" is not a year"},     {{"/taxyear", "94"}, "\"94\" is not a year"},
      {{"/taxyear", "19944"}, "\"19944\" is not a year"},   {{"/taxyear"}, "\"\" is not a year"},
      {{"/method", "lifo"}, "\"lifo\" is not known"},
  };
  for (const auto& [more, message] : refused) {
    r = with(more);
    EXPECT_EQ(r.status, 2) << message;
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  }
  // A sales file that cannot be written, with and without the reports: no CSV file is left.
  fs::remove(csv);
  for (const bool reports : {true, false}) {
    Args args{"/input", example, "/csv", csv.string(), "/sales", (dir / "missing" / "s.csv").string()};
    if (reports) args.insert(args.end(), {"/output", txt.string()});
    r = desk(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("missing/s.csv"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(csv)) << "the CSV file written before the failure is taken back";
  }
  EXPECT_EQ(readBytes(sales), before[0]);
  EXPECT_EQ(readBytes(txt), before[1]);
}

}  // namespace
