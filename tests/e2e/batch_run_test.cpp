// The built tvxdesk run as a separate process in batch mode, with no
// display: output file, exit status and standard error.
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Result {
  int status = -1;  // -1: ended by a signal
  std::string err, out;
};

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// One shell word, whatever the text holds.
std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// Runs tvxdesk with `args` (plus `extraEnv`, "NAME=value") and without any display.
Result runDesk(const std::vector<std::string>& args, const std::string& extraEnv = "") {
  const fs::path errFile = fs::temp_directory_path() / ("tvx_e2e_err_" + std::to_string(::getpid()));
  const fs::path outFile = fs::temp_directory_path() / ("tvx_e2e_out_" + std::to_string(::getpid()));
  // exec: the status is the program's own, not that of a shell reporting its signal.
  std::string command = "exec env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + extraEnv;
  command += " " + quoted(TVX_DESK_BINARY);
  for (const auto& a : args) command += " " + quoted(a);
  const int status =
      std::system((command + " </dev/null 2>" + quoted(errFile) + " >" + quoted(outFile)).c_str());
  Result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(errFile), readFile(outFile)};
  fs::remove(errFile);
  fs::remove(outFile);
  return r;
}

class BatchRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() / ("tvx_e2e_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override { fs::remove_all(dir); }
  fs::path example() const { return fs::path(TVX_EXAMPLES_DIR) / "smith.qvx"; }
  static Result batch(const fs::path& in, const fs::path& out, const std::string& extraEnv = "") {
    return runDesk({"/silent", "/input", in.string(), "/output", out.string()}, extraEnv);
  }
  fs::path dir;
};

TEST_F(BatchRun, WritesDetailedThenSummaryAndAppendsOnTheNextRun) {
  const fs::path out = dir / "smith.txt";
  const Result r = batch(example(), out);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::string text = readFile(out);
  // No header block: the file opens with the empty line of the first security block.
  EXPECT_EQ(text.rfind("\r\n  Quorvex\r\n  Description        Date             Shares", 0), 0u);
  const auto summary = text.find("\r\n  Security                        Shares          Basis   Cost Per Share\r\n");
  ASSERT_NE(summary, std::string::npos);
  EXPECT_NE(text.find("\r\n  Quorvex                ", summary), std::string::npos);
  EXPECT_EQ(text.find("Margaret"), std::string::npos);
  EXPECT_EQ(text.find('\n', 0), text.find("\r\n", 0) + 1) << "CR LF line ends";

  ASSERT_EQ(batch(example(), out).status, 0);
  EXPECT_EQ(readFile(out), text + text);
}

TEST_F(BatchRun, NeverLoadsTheDesktopModule) {
  const Result r = batch(example(), dir / "o.txt", "LD_DEBUG=files");
  EXPECT_EQ(r.status, 0);
  ASSERT_NE(r.err.find("libOrlendo"), std::string::npos) << "the loader reports the libraries it maps";
  EXPECT_EQ(r.err.find("libtvxqt"), std::string::npos);
  EXPECT_EQ(r.err.find("libQt"), std::string::npos);
}

TEST_F(BatchRun, MissingInputFileOrSwitchExitsOneWithAMessage) {
  const fs::path missing = dir / "nobody.qvx";
  Result r = batch(missing, dir / "o.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(missing.string() + " does not exist."), std::string::npos) << r.err;
  r = runDesk({"/silent", "/output", (dir / "o.txt").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(r.err.empty());
  r = batch(dir / "*.qvx", dir / "o.txt");
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(fs::exists(dir / "o.txt"));
}

// The example with one text replaced.
std::string damaged(const fs::path& example, const std::string& from, const std::string& to) {
  std::string data = readFile(example);
  const auto at = data.find(from);
  if (at == std::string::npos) return {};
  return data.replace(at, from.size(), to);
}

TEST_F(BatchRun, AFileWhoseEntryDoesNotReadIsRefusedNamingTheEntryAndNothingIsWritten) {
  struct Case {
    std::string from, to, message;  // message after "<file>: "
  };
  const Case cases[] = {
      {"2 Shares=100.00000", "2 Shares=1OO",
       "security \"Quorvex\", entry 2: the Shares value \"1OO\" is not a number."},
      {"[Quorvex]\r\nCount=4", "[Quorvex]\r\nCount=5", "security \"Quorvex\", entry 5: the Date value is missing."},
      {"1 Date=11/04/1985", "1 Date=13/45/2000",
       "security \"Ferrant Technologies\", entry 1: the Date value \"13/45/2000\" is not a date."},
      // A buy's cost is read when the buy is posted: the calculation fails on it.
      {"2 Cost=6,212.50", "2 Cost=6 thousand",
       "security \"Quorvex\", entry 2: the Cost value \"6 thousand\" is not an amount.\nNo report was made."},
  };
  const fs::path bad = dir / "bad.qvx";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.to);
    const std::string data = damaged(example(), c.from, c.to);
    ASSERT_FALSE(data.empty());
    std::ofstream(bad, std::ios::binary | std::ios::trunc) << data;
    const Result r = batch(bad, dir / "o.txt");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "tvxdesk: WARNING: " + bad.string() + ": " + c.message + "\n");
    EXPECT_FALSE(fs::exists(dir / "o.txt"));
  }
  // An unreadable cost on a sell is never read: the file calculates.
  std::ofstream(bad, std::ios::binary | std::ios::trunc) << damaged(example(), "3 Cost=0.00", "3 Cost=none");
  EXPECT_EQ(batch(bad, dir / "o.txt").status, 0);
}

TEST_F(BatchRun, AnUnwritableOutputPathExitsTwo) {
  std::ofstream(dir / "plain") << "x";
  const fs::path out = dir / "plain" / "o.txt";  // a file in the way of the folder
  const Result r = batch(example(), out);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find(out.string()), std::string::npos) << r.err;
}

TEST_F(BatchRun, FolderNamesCapitalsAndBlanksInPaths) {
  const fs::path folder = dir / "silent" / "output" / "Ann Smith";
  fs::create_directories(folder);
  const fs::path in = folder / "Smith Family.QVX";
  fs::copy_file(example(), in);
  const fs::path out = folder / "My Reports.Txt";
  // The name with blanks as one (quoted) argument, switches in capitals.
  Result r = runDesk({"/SILENT", "/Input", in.string(), "/OUTPUT", out.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string once = readFile(out);
  EXPECT_FALSE(once.empty());
  // The same names typed without quotes: split at the blanks.
  const std::string inText = in.string();
  const std::string outText = out.string();
  r = runDesk({"/silent", "/input", inText.substr(0, inText.find(' ')), inText.substr(inText.find(' ') + 1),
               "/output", outText.substr(0, outText.find(' ')), outText.substr(outText.find(' ') + 1)});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(readFile(out), once + once);
}

TEST_F(BatchRun, WithoutADisplayAnInteractiveStartSaysHowToRunABatchAndHelpIsPrinted) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {"/input", example().string()}}) {
    const Result r = runDesk(args);
    EXPECT_EQ(r.status, 2) << "ended by a signal when -1";
    EXPECT_NE(r.err.find("tvxdesk /silent /input FILE.qvx /output FILE.txt"), std::string::npos) << r.err;
  }
  for (const char* help : {"--help", "-h", "/?"}) {
    const Result r = runDesk({help});
    EXPECT_EQ(r.status, 0) << help;
    EXPECT_EQ(r.out.rfind("Usage: tvxdesk", 0), 0u) << r.out;
    EXPECT_EQ(r.err, "");
  }
}

TEST_F(BatchRun, AnInteractiveStartWithoutTheDesktopModuleExitsTwo) {
  if (fs::exists(fs::path(TVX_DESK_BINARY).parent_path() / "libtvxqt.so"))
    GTEST_SKIP() << "the desktop module is built";
  const Result r = runDesk({"/input", example().string()}, "QT_QPA_PLATFORM=offscreen");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("libtvxqt.so"), std::string::npos);
}

}  // namespace
