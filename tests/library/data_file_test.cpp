// The investor data file: Investor.LoadFile and Save, with its backup copy.
#include <fcntl.h>
#include <sys/stat.h>

#include "orlendo/transactions.h"
#include "library/test_support.h"

namespace fs = std::filesystem;
using namespace orlendo;

namespace {

const Date kToday = tvxtest::ymd(2024, 3, 5);

using tvxtest::addEntry;
using tvxtest::caught;
using tvxtest::readBytes;
using tvxtest::writeBytes;
using Names = std::set<std::string>;

BuySellsPtr entriesOf(const InvestorPtr& investor, std::string_view security) {
  return investor->colSecurities()->Item(security)->colBuySells();
}

InvestorPtr loaded(const std::string& name) {
  auto investor = Investor::create(kToday);
  investor->LoadFile(name);
  return investor;
}

// Every entry of every security as text, for comparing two investors.
std::vector<std::string> allEntries(const InvestorPtr& investor) {
  std::vector<std::string> out;
  for (const auto& s : *investor->colSecurities()) {
    out.push_back(s->SecName() + " " + std::to_string(s->colBuySells()->Count()));
    for (const auto& e : *s->colBuySells())
      out.push_back(e->XActionDate() + "|" + e->ChgShrs() + "|" + e->ChgCost() + "|" + e->Code());
  }
  return out;
}

// An investor with buys and sells in several securities.
InvestorPtr sampleInvestor() {
  auto investor = Investor::create(kToday);
  investor->BeginEdit();
  investor->Version("2017.10  ");
  investor->sName("Ann Lee  ");
  // A line break in a value is written as a blank: otherwise this one would
  // become a "Start Date" key read before the real one.
  investor->Line2("  c/o Trust = 2\r\nStart Date=01/01/2000");
  investor->StartCalc("1/1/1990");
  investor->StopCalc("12/31/2016");
  investor->Lumora2QVX(eLumora::shares);
  addEntry(investor, "Quorvex", "03/15/1990", "1234.5", "1000", "1990/03/15-1");
  addEntry(investor, "Quorvex", "06/01/1995", "-100.25", "", "1995/06/01-2");
  addEntry(investor, "Lumora", "01/10/2000", "10", "123.45", "2000/01/10-1", "2000/01/10-1");
  addEntry(investor, "Tellano after 5-27-05", "02/01/2006", "25,000", "1,000,000.5", "2006/02/01-1");
  addEntry(investor, "Vesterholm Corporation", "", "", "", "");
  addEntry(investor, "Solvane", "not a date", "12abc", "n/a", "d");  // saved as entered
  return investor;
}

using DataFileTest = tvxtest::InFolder;

// An exchange of names (for detail::setAtomicWriteCalls) that fails for data.qvx.
int exchangeFailsForData(const char* a, const char* b) {
  if (std::string_view(b).ends_with("data.qvx")) return errno = EIO, -1;
  return ::renameat2(AT_FDCWD, a, AT_FDCWD, b, RENAME_EXCHANGE);
}

// ---- round trip ------------------------------------------------------------------------

TEST_F(DataFileTest, SaveThenLoadGivesBackEveryText) {
  auto original = sampleInvestor();
  original->Save("data.qvx");
  EXPECT_TRUE(original->InEditMode());  // Save leaves the mode alone

  auto copy = loaded("data.qvx");
  EXPECT_EQ(copy->Version() + "|" + copy->sName() + "|" + copy->Line2(),
            "2017.10|Ann Lee|  c/o Trust = 2 Start Date=01/01/2000");  // trailing blanks go, leading ones and "=" stay
  EXPECT_EQ(copy->StartCalc() + " " + copy->StopCalc(), "01/01/1990 12/31/2016");
  EXPECT_EQ(copy->Lumora2QVX(), eLumora::shares);
  EXPECT_EQ(allEntries(copy), allEntries(original));
  EXPECT_EQ(entriesOf(copy, "Tellano after 5-27-05")->Item(1)->ChgCost(), "1,000,000.50");

  // What the file holds: every security's count, even 0, and the formatted gets.
  ProfileFile file;
  file.FileName("data.qvx");
  EXPECT_EQ(file.GetString("General", "Lumora", ""), "2");
  for (const auto& security : *original->colSecurities())
    EXPECT_EQ(file.GetString(security->SecName(), "Count", ""), std::to_string(security->colBuySells()->Count()));
  EXPECT_EQ(file.GetString("Quorvex", "1 Shares", ""), "1,234.50000");
  EXPECT_EQ(file.GetString("Quorvex", "2 Cost", ""), "0.00");
  EXPECT_EQ(file.GetString("Solvane", "1 Shares", ""), "12abc");
  // A second save writes the same bytes; no proceeds given, none written.
  copy->Save("again.qvx");
  EXPECT_EQ(readBytes("again.qvx"), readBytes("data.qvx"));
  EXPECT_EQ(readBytes("data.qvx").find("Proceeds"), std::string::npos);

  // A sell's proceeds go right after its cost, as an amount, and come back.
  entriesOf(copy, "Quorvex")->Item(2)->Proceeds("5100");
  copy->Save("proceeds.qvx");
  EXPECT_NE(readBytes("proceeds.qvx").find("2 Cost=0.00\r\n2 Proceeds=5,100.00\r\n2 Code="), std::string::npos);
  const auto reloaded = loaded("proceeds.qvx");
  EXPECT_EQ(entriesOf(reloaded, "Quorvex")->Item(2)->Proceeds(), "5,100.00");
  EXPECT_FALSE(entriesOf(reloaded, "Quorvex")->Item(1)->HasProceeds());
}

// ---- defaults and odd files ------------------------------------------------------------------

TEST_F(DataFileTest, MissingKeysTakeTheirDefaults) {
  for (const char* content : {"[General]\r\n[Quorvex]\r\n", "", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(content ? content : "(no file)");
    if (content) writeBytes("data.qvx", content);
    auto investor = sampleInvestor();
    investor->LoadFile(content ? "data.qvx" : "missing.qvx");
    EXPECT_EQ(investor->Version() + investor->sName() + investor->Line2(), "");
    EXPECT_EQ(investor->StartCalc() + " " + investor->StopCalc(), "12/31/1983 03/05/2024");  // the investor's today
    EXPECT_EQ(investor->Lumora2QVX(), eLumora::standard);
    EXPECT_EQ(entriesOf(investor, "Quorvex")->Count(), 0);
  }
  EXPECT_FALSE(fs::exists("missing.qvx"));
  // Text without a section header is some other file: refused, or the next save would overwrite it.
  writeBytes("notes.txt", "Name=Ann\r\n");
  const Error e = caught([] { loaded("notes.txt"); });
  EXPECT_EQ(e.number(), errnum::NotADataFile);
  EXPECT_EQ(e.description(), "notes.txt is not a Tallyvex data file");
  writeBytes("big.qvx", "[General]\r\n[Quorvex]\r\nCount=32768\r\n");  // more than the entry counter holds
  EXPECT_EQ(tvxtest::errorNumber([] { loaded("big.qvx"); }), errnum::Overflow);

  // Missing entry keys load as an empty entry coded date, "-" and n; dates
  // that are not date text leave the previous dates.
  writeBytes("data.qvx",
             "[General]\r\nStart Date=13/45/2000\r\nStop Date=abc\r\nLumora=3\r\n"
             "[Quorvex]\r\nCount=2\r\n1 Date=03/15/1990\r\n1 Shares=1,234.50000\r\n1 Cost=1,000.00\r\n");
  auto investor = sampleInvestor();
  investor->LoadFile("data.qvx");
  EXPECT_EQ(investor->StartCalc() + " " + investor->StopCalc(), "01/01/1990 12/31/2016");
  EXPECT_EQ(investor->Lumora2QVX(), eLumora::cash);
  EXPECT_EQ(allEntries(investor)[1], "03/15/1990|1,234.50000|1,000.00|03/15/1990-1");
  EXPECT_EQ(allEntries(investor)[2], "|0.00000|0.00|-2");
}

// An entry's keys match as ProfileFile matches keys: trimmed, any letter
// case, the first of a repeat; only the exact "N Date" form of a save is N's.
TEST_F(DataFileTest, EntryKeysMatchLikeAnyKeyAndOnlyInTheirSavedForm) {
  struct Case {
    const char* name;
    const char* body;      // after "[Quorvex]"
    const char* expected;  // date|code of each entry
  };
  const Case cases[] = {
      {"first of a repeat", "Count=1\r\n1 Date=01/02/1990\r\n1 date=03/04/1995\r\n1 Code=a\r\n1 CODE=b\r\n",
       "01/02/1990|a;"},
      {"blanks and case", "Count=1\r\n 1 DATE \t=01/02/1990\r\n\t1 cOdE=a\r\n", "01/02/1990|a;"},
      {"not the saved form", "Count=1\r\n01 Date=01/02/1990\r\n1  Date=01/02/1990\r\n1Date=01/02/1990\r\n1xDate=01/02/1990\r\n",
       "|-1;"},
      {"beyond the count", "Count=1\r\n1 Code=a\r\n2 Date=01/02/1990\r\n2 Code=b\r\n", "|a;"},
      {"before the count, out of order", "2 Code=b\r\n1 Code=a\r\nCount=2\r\n", "|a;|b;"},
      {"repeated section", "Count=1\r\n1 Date=01/02/1990\r\n[QUORVEX ]\r\n1 Date=03/04/1995\r\n1 Code=z\r\nCount=5\r\n",
       "01/02/1990|z;"},
      {"zero and past the counter", "Count=1\r\n0 Code=a\r\n4294967297 Code=b\r\n1 Code=c\r\n", "|c;"},
      {"lone CR line ends", "Count=1\r1 Date=01/02/1990\r1 Code=a\r", "01/02/1990|a;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeBytes("data.qvx", std::string("[General]\r\n[Quorvex]\r\n") + c.body);
    const auto investor = loaded("data.qvx");
    std::string got;
    for (const auto& e : *entriesOf(investor, "Quorvex")) got += e->XActionDate() + "|" + e->Code() + ";";
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(DataFileTest, ASecurityWithMoreEntriesThanTheCounterHoldsIsNotSaved) {
  auto investor = Investor::create(kToday);
  for (int i = 0; i < 32768; ++i) addEntry(investor, "Halvern", "", "1", "1", "");
  writeBytes("data.qvx", "[General]\r\nName=Old\r\n");
  EXPECT_EQ(tvxtest::errorNumber([&] { investor->Save("data.qvx"); }), errnum::Overflow);
  EXPECT_EQ(entries(), Names{"data.qvx"});
  EXPECT_TRUE(readBytes("data.qvx") == "[General]\r\nName=Old\r\n");  // no 3 MB dump on failure
}

// ---- the save and its backup ----------------------------------------------------------------

// The backup is as private as the data file, with the owner's read and
// write added (under a umask that would give a new file 0644); what is at
// backup.qvx is replaced, never followed, and one of another user or a
// folder there is left alone; every refusal comes before either file is
// touched: a read-only data file (also for the superuser) keeps the older
// backup. A full disk while the backup or the data file is written stops
// the save and keeps both files as they were; a save that fails once both
// files are written puts the older backup back. No temporary file is left.
TEST_F(DataFileTest, TheBackupIsAsPrivateAsTheFileAndReplacesOnlyWhatIsOurs) {
  const mode_t mask = ::umask(022);
  fs::create_directory("elsewhere");
  const std::string backup = file("backup.qvx");
  struct Case {
    const char* why;
    fs::perms dataMode;
    std::function<void()> atBackup;
    long error;           // 0: saved
    std::string message;  // the error's description
  };
  const auto rw = fs::perms::owner_read | fs::perms::owner_write;
  const auto plain = [] { writeBytes("backup.qvx", "older backup"); };
  const auto fullDiskAfter = [](int writes) {
    tvxtest::gWritesLeft = writes;
    detail::setAtomicWriteCall(tvxtest::failingWrite);
  };
  const Case cases[] = {
      {"a private file", rw, plain, 0, ""},
      {"a file the group may read and write", rw | fs::perms::group_read | fs::perms::group_write, plain, 0, ""},
      {"a link planted at backup.qvx", rw, [] { fs::create_symlink(fs::absolute("elsewhere/notes"), "backup.qvx"); },
       0, ""},
      {"a backup.qvx of another user", rw,
       [] {
         writeBytes("backup.qvx", "older backup");
         ASSERT_EQ(::lchown("backup.qvx", ::geteuid() + 1, static_cast<gid_t>(-1)), 0) << "needs root";
       },
       errnum::PermissionDenied, backup + " belongs to another user."},
      {"a folder at backup.qvx", rw, [] { fs::create_directory("backup.qvx"); }, errnum::PathFileAccess,
       backup + " is not a regular file."},
      {"a read-only data file", fs::perms::owner_read, plain, errnum::PermissionDenied, "Tallyvex"},
      {"the data file cannot be put in place", rw,
       [&] {
         plain();
         detail::setAtomicWriteCalls({.exchange = exchangeFailsForData});
       },
       errnum::DeviceIO, "Tallyvex"},
      {"a full disk while the backup is written", rw, [&] { plain(), fullDiskAfter(0); }, errnum::DiskFull,
       "Cannot write the backup copy " + backup + ": Disk full"},
      {"a full disk while the data file is written", rw, [&] { plain(), fullDiskAfter(1); }, errnum::DiskFull, "Tallyvex"},
  };
  auto investor = sampleInvestor();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    fs::remove_all("backup.qvx");
    investor->Save("data.qvx");
    fs::permissions("data.qvx", c.dataMode);
    const std::string old = readBytes("data.qvx");
    fs::remove_all("backup.qvx");
    writeBytes("elsewhere/notes", "another user's notes");
    c.atBackup();
    const std::string olderBackup = fs::is_regular_file("backup.qvx") ? readBytes("backup.qvx") : "";
    writeBytes("data.qvx.tmp", "a killed save's");  // goes, whether the save is made or refused
    investor->sName(c.why);
    const Error e = caught([&] { investor->Save("data.qvx"); });
    detail::setAtomicWriteCalls({});
    EXPECT_EQ(e.number(), c.error);
    EXPECT_EQ(e.number() ? e.description() : "", c.message);
    EXPECT_EQ(readBytes("elsewhere/notes"), "another user's notes");
    EXPECT_FALSE(fs::is_symlink("backup.qvx") && c.error == 0);
    EXPECT_EQ(fs::is_regular_file("backup.qvx") ? readBytes("backup.qvx") : "", c.error ? olderBackup : old);
    EXPECT_EQ(readBytes("data.qvx") == old, c.error != 0);
    EXPECT_EQ(entries(), (Names{"backup.qvx", "data.qvx", "elsewhere"}));
    if (c.error == 0) {  // the data file keeps its permissions
      EXPECT_EQ(fs::status("data.qvx").permissions(), c.dataMode);
      EXPECT_EQ(fs::status("backup.qvx").permissions(), c.dataMode);
    }
    fs::permissions("data.qvx", rw);
  }
  ::umask(mask);
}

// Loaded entries and calculated buys and sells are kept compact until a
// caller asks: the object Item gives is then the entry or transaction itself,
// so a change through it is what the calculation and every reader see.
TEST_F(DataFileTest, AnEntryOrTransactionItemGivesIsTheOneObjectFromThenOn) {
  writeBytes("data.qvx",
             "[General]\r\nStart Date=12/31/1983\r\nStop Date=12/31/1985\r\n[Quorvex]\r\nCount=2\r\n"
             "1 Date=01/02/1984\r\n1 Shares=10.00000\r\n1 Cost=100.00\r\n"
             "2 Date=01/03/1984\r\n2 Shares=-4.00000\r\n2 Cost=0.00\r\n");
  auto investor = loaded("data.qvx");
  entriesOf(investor, "Quorvex")->Item(1)->ChgShrs("20");
  investor->Calculate(tvxtest::ymd(1983, 12, 31), tvxtest::ymd(1985, 12, 31));
  const XactionsPtr xactions = investor->colSecurities()->Item("Quorvex")->colXActions();
  ASSERT_EQ(xactions->Count(), 2);
  xactions->Item(1)->Description("Changed");
  std::vector<std::string> read;
  visitXactions(*xactions, [&](const Xaction& x) { read.push_back(x.Description() + " " + x.NewShrs()); });
  EXPECT_EQ(read, (std::vector<std::string>{"Changed 20.00000", "Sell 16.00000"}));
  EXPECT_EQ(xactions->NewEnum()[0]->Description(), "Changed");
}

}  // namespace
