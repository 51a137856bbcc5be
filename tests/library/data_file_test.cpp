// The investor data file: Investor.Fetch, LoadFile, Save and ApplyEdit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "model/atomic_write.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/profile_file.h"
#include "library/test_support.h"

namespace fs = std::filesystem;
using namespace orlendo;
using namespace std::chrono;

namespace {

const Date kToday{year{2024}, month{3}, day{5}};

using tvxtest::caught;
using tvxtest::readBytes;
using tvxtest::writeBytes;

BuySellPtr add(const InvestorPtr& investor, std::string_view security, std::string code, std::string date,
               std::string cost, std::string shares, std::string_view key = {}) {
  return investor->colSecurities()->Item(security)->colBuySells()->Add(code, date, cost, shares, key);
}

// An investor with buys and sells in several securities.
InvestorPtr sampleInvestor() {
  auto investor = Investor::create(kToday);
  investor->BeginEdit();
  investor->Version("2017.10  ");
  investor->sName("Ann Lee  ");
  investor->Line2("  c/o Trust = 2");
  investor->StartCalc("1/1/1990");
  investor->StopCalc("12/31/2016");
  investor->Lumora2QVX(eLumora::shares);
  add(investor, "Quorvex", "1990/03/15-1", "03/15/1990", "1000", "1234.5");
  add(investor, "Quorvex", "1995/06/01-2", "06/01/1995", "", "-100.25");
  add(investor, "Lumora", "2000/01/10-1", "01/10/2000", "123.45", "10", "2000/01/10-1");
  add(investor, "Tellano after 5-27-05", "2006/02/01-1", "02/01/2006", "1,000,000.5", "25,000");
  add(investor, "Vesterholm Corporation", "", "", "", "");
  return investor;
}

// A write call that stores a few bytes and then reports a full disk.
ssize_t failAfterSomeBytes(int fd, const void* data, std::size_t size) {
  static int calls = 0;
  if (++calls % 2 == 1) return ::write(fd, data, size < 5 ? size : 5);
  errno = ENOSPC;
  return -1;
}

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    fs::current_path(dir_.path());  // the backup copy goes to the current folder
  }
  void TearDown() override {
    detail::setAtomicWriteCall(nullptr);
    fs::current_path(previous_);
  }

  std::set<std::string> entries() const { return dir_.entries(); }
  static InvestorPtr loaded(const std::string& name) {
    auto investor = Investor::create(kToday);
    investor->LoadFile(name);
    return investor;
  }
  static BuySellsPtr entriesOf(const InvestorPtr& investor, std::string_view security) {
    return investor->colSecurities()->Item(security)->colBuySells();
  }

  fs::path previous_;
  tvxtest::TempDir dir_{"data_file_test"};
};

// ---- round trip ------------------------------------------------------------------------

TEST_F(DataFileTest, SaveThenLoadGivesBackEveryText) {
  auto original = sampleInvestor();
  original->Save("data.qvx");
  EXPECT_TRUE(original->InEditMode());  // Save leaves the mode alone

  auto copy = loaded("data.qvx");
  EXPECT_TRUE(copy->InEditMode());
  EXPECT_EQ(copy->Version(), "2017.10");  // trailing blanks removed
  EXPECT_EQ(copy->sName(), "Ann Lee");
  EXPECT_EQ(copy->Line2(), "  c/o Trust = 2");  // leading blanks and "=" kept
  EXPECT_EQ(copy->StartCalc(), "01/01/1990");
  EXPECT_EQ(copy->StopCalc(), "12/31/2016");
  EXPECT_EQ(copy->Lumora2QVX(), eLumora::shares);

  long withEntries = 0;
  for (long i = 1; i <= 30; ++i) {
    auto mine = original->colSecurities()->Item(i)->colBuySells();
    auto theirs = copy->colSecurities()->Item(i)->colBuySells();
    ASSERT_EQ(theirs->Count(), mine->Count()) << i;
    EXPECT_EQ(theirs->IsDirty(), mine->Count() > 0) << i;
    withEntries += mine->Count() > 0;
    for (long n = 1; n <= mine->Count(); ++n) {
      EXPECT_EQ(theirs->Item(n)->XActionDate(), mine->Item(n)->XActionDate());
      EXPECT_EQ(theirs->Item(n)->ChgShrs(), mine->Item(n)->ChgShrs());
      EXPECT_EQ(theirs->Item(n)->ChgCost(), mine->Item(n)->ChgCost());
      EXPECT_EQ(theirs->Item(n)->Code(), mine->Item(n)->Code());
    }
  }
  EXPECT_EQ(withEntries, 4);
  EXPECT_EQ(entriesOf(copy, "Quorvex")->Item(2)->ChgShrs(), "-100.25000");
  EXPECT_EQ(entriesOf(copy, "Tellano after 5-27-05")->Item(1)->ChgCost(), "1,000,000.50");

  // What the file holds, key by key; a second save writes the same bytes.
  ProfileFile file;
  file.FileName("data.qvx");
  EXPECT_EQ(file.GetString("General", "Lumora", ""), "2");
  EXPECT_EQ(file.GetString("General", "Start Date", ""), "01/01/1990");
  EXPECT_EQ(file.GetString("Quorvex", "Count", ""), "2");
  EXPECT_EQ(file.GetString("Quorvex", "1 Shares", ""), "1,234.50000");
  EXPECT_EQ(file.GetString("Quorvex", "1 Cost", ""), "1,000.00");
  EXPECT_EQ(file.GetString("Quorvex", "2 Cost", ""), "0.00");
  EXPECT_EQ(file.GetString("Vesterholm Corporation", "1 Code", "?"), "");
  for (const auto& security : *copy->colSecurities())
    EXPECT_NE(file.GetString(security->SecName(), "Count", ""), "") << security->SecName();
  copy->Save("again.qvx");
  EXPECT_EQ(readBytes("again.qvx"), readBytes("data.qvx"));
}

TEST_F(DataFileTest, AnInvestorWithoutEntriesStillWritesEveryCount) {
  Investor::create(kToday)->Save("empty.qvx");
  ProfileFile file;
  file.FileName("empty.qvx");
  const auto securities = Investor::create(kToday)->colSecurities();
  for (const auto& security : *securities)
    EXPECT_EQ(file.GetString(security->SecName(), "Count", ""), "0") << security->SecName();
  EXPECT_EQ(file.GetString("General", "Stop Date", ""), "03/05/2024");
}

TEST_F(DataFileTest, ValuesAreSavedAsTheirFormattedGets) {
  auto investor = Investor::create(kToday);
  add(investor, "Solvane", "c", "07/04/2001", "10.006", "1.2345678");
  add(investor, "Solvane", "d", "not a date", "n/a", "12abc");
  investor->Save("data.qvx");
  ProfileFile file;
  file.FileName("data.qvx");
  EXPECT_EQ(file.GetString("Solvane", "1 Shares", ""), "1.23457");
  EXPECT_EQ(file.GetString("Solvane", "1 Cost", ""), "10.01");
  EXPECT_EQ(file.GetString("Solvane", "2 Date", ""), "not a date");
  EXPECT_EQ(file.GetString("Solvane", "2 Shares", ""), "12abc");
  EXPECT_EQ(file.GetString("Solvane", "2 Cost", ""), "n/a");
  auto copy = loaded("data.qvx");
  EXPECT_EQ(entriesOf(copy, "Solvane")->Item(1)->ChgShrs(), "1.23457");
  EXPECT_EQ(entriesOf(copy, "Solvane")->Item(1)->ChgCost(), "10.01");
}

TEST_F(DataFileTest, LineBreaksInValuesAreWrittenAsBlanks) {
  auto investor = Investor::create(kToday);
  investor->BeginEdit();
  investor->sName("Ann\r\nLee");
  // Without care the second line would become a "Start Date" key read before the real one.
  investor->Line2("Dept\nStart Date=01/01/2000");
  investor->StartCalc("03/03/1993");
  investor->Save("data.qvx");
  auto copy = loaded("data.qvx");
  EXPECT_EQ(copy->sName(), "Ann Lee");
  EXPECT_EQ(copy->Line2(), "Dept Start Date=01/01/2000");
  EXPECT_EQ(copy->StartCalc(), "03/03/1993");
}

// ---- backup copy ----------------------------------------------------------------------------

TEST_F(DataFileTest, BackupHoldsThePreviousContentOfTheLastFileSavedOver) {
  auto investor = sampleInvestor();
  investor->Save("data.qvx");
  EXPECT_FALSE(fs::exists("backup.qvx"));  // a new name makes no backup
  const std::string first = readBytes("data.qvx");

  investor->sName("Second");
  investor->Save("data.qvx");
  const std::string second = readBytes("data.qvx");
  ASSERT_NE(first, second);
  EXPECT_EQ(readBytes("backup.qvx"), first);

  investor->sName("Third");
  investor->Save("data.qvx");
  EXPECT_EQ(readBytes("backup.qvx"), second);  // the older backup is replaced

  // The backup goes to the current folder whatever the data file's folder.
  fs::create_directory("sub");
  investor->Save("sub/other.qvx");
  EXPECT_EQ(readBytes("backup.qvx"), second);
  const std::string other = readBytes("sub/other.qvx");
  investor->sName("Fourth");
  investor->Save((dir_.path() / "sub" / "other.qvx").string());
  EXPECT_EQ(readBytes("backup.qvx"), other);
  EXPECT_FALSE(fs::exists("sub/backup.qvx"));
  EXPECT_EQ(entries(), (std::set<std::string>{"data.qvx", "backup.qvx", "sub"}));
}

TEST_F(DataFileTest, SavingToTheBackupFileItselfWorks) {
  auto investor = sampleInvestor();
  investor->Save("reference.qvx");
  writeBytes("backup.qvx", "[General]\r\nName=Old\r\n");
  investor->Save("backup.qvx");
  EXPECT_EQ(readBytes("backup.qvx"), readBytes("reference.qvx"));
  investor->sName("Again");
  investor->Save((dir_.path() / "backup.qvx").string());
  EXPECT_EQ(loaded("backup.qvx")->sName(), "Again");
  EXPECT_EQ(entries(), (std::set<std::string>{"reference.qvx", "backup.qvx"}));
}

// ---- defaults and odd files ------------------------------------------------------------------

TEST_F(DataFileTest, MissingKeysTakeTheirDefaults) {
  for (const char* content : std::initializer_list<const char*>{"[General]\r\n[Quorvex]\r\n", "", nullptr}) {
    SCOPED_TRACE(content ? content : "(no file)");
    if (content) writeBytes("data.qvx", content);
    auto investor = sampleInvestor();
    investor->LoadFile(content ? "data.qvx" : "missing.qvx");
    EXPECT_EQ(investor->Version(), "");
    EXPECT_EQ(investor->sName(), "");
    EXPECT_EQ(investor->Line2(), "");
    EXPECT_EQ(investor->StartCalc(), "12/31/1983");
    EXPECT_EQ(investor->StopCalc(), "03/05/2024");  // the investor's today
    EXPECT_EQ(investor->Lumora2QVX(), eLumora::standard);
    EXPECT_EQ(entriesOf(investor, "Quorvex")->Count(), 0);
    EXPECT_FALSE(investor->colSecurities()->IsDirty());
    EXPECT_TRUE(investor->InEditMode());
  }
  EXPECT_FALSE(fs::exists("missing.qvx"));
}

TEST_F(DataFileTest, MissingEntryKeysLoadAsEmptyEntries) {
  writeBytes("data.qvx",
             "[Quorvex]\r\nCount=2\r\n1 Date=03/15/1990\r\n1 Shares=1,234.50000\r\n1 Cost=1,000.00\r\n");
  auto investor = loaded("data.qvx");
  auto list = entriesOf(investor, "Quorvex");
  ASSERT_EQ(list->Count(), 2);
  EXPECT_EQ(list->Item(1)->Code(), "03/15/1990-1");  // date, "-" and n
  EXPECT_EQ(list->Item(1)->ChgShrs(), "1,234.50000");
  EXPECT_EQ(list->Item(2)->XActionDate(), "");
  EXPECT_EQ(list->Item(2)->ChgShrs(), "0.00000");  // stored as "0"
  EXPECT_EQ(list->Item(2)->ChgCost(), "0.00");
  EXPECT_EQ(list->Item(2)->Code(), "-2");
}

TEST_F(DataFileTest, DatesThatAreNotDateTextLeaveThePreviousDates) {
  writeBytes("data.qvx", "[General]\r\nStart Date=13/45/2000\r\nStop Date=abc\r\nLumora=3\r\n");
  auto investor = Investor::create(kToday);
  investor->BeginEdit();
  investor->StartCalc("01/01/1990");
  investor->StopCalc("06/30/2001");
  investor->LoadFile("data.qvx");
  EXPECT_EQ(investor->StartCalc(), "01/01/1990");
  EXPECT_EQ(investor->StopCalc(), "06/30/2001");
  EXPECT_EQ(investor->Lumora2QVX(), eLumora::cash);
}

TEST_F(DataFileTest, ASectionForAnUnknownSecurityIsIgnored) {
  writeBytes("data.qvx",
             "[General]\r\nName=Ann\r\n[Nonesuch Corp]\r\nCount=abc\r\n1 Date=01/01/1990\r\n"
             "[Solvane]\r\nCount=1\r\n1 Date=01/01/1990\r\n1 Shares=5\r\n1 Cost=50\r\n1 Code=x\r\n");
  auto investor = loaded("data.qvx");
  EXPECT_EQ(investor->sName(), "Ann");
  EXPECT_EQ(investor->colSecurities()->Count(), 30);
  EXPECT_EQ(entriesOf(investor, "Solvane")->Count(), 1);
  EXPECT_EQ(entriesOf(investor, "Solvane")->Item(1)->Code(), "x");
}

TEST_F(DataFileTest, AWindows1252FileLoads) {
  writeBytes("data.qvx", "[General]\nName=Ren\xE9 M\x96ller\n[Quorvex]\nCount=1\n1 Code=caf\xE9\n");
  auto investor = loaded("data.qvx");
  EXPECT_EQ(investor->sName(), "Ren\xC3\xA9 M\xE2\x80\x93ller");
  EXPECT_EQ(entriesOf(investor, "Quorvex")->Item(1)->Code(), "caf\xC3\xA9");
}

// ---- counts ------------------------------------------------------------------------------------

TEST_F(DataFileTest, ACountAboveTheSixteenBitCounterStopsTheLoadThere) {
  writeBytes("data.qvx",
             "[General]\r\nName=Ann\r\n"
             "[Quorvex]\r\nCount=1\r\n1 Date=01/01/1990\r\n1 Shares=1\r\n1 Cost=1\r\n1 Code=q\r\n"
             "[Ferrant Technologies]\r\nCount=1\r\n1 Date=01/01/1990\r\n1 Shares=2\r\n1 Cost=2\r\n1 Code=f\r\n"
             "[Solvane]\r\nCount=32768\r\n1 Date=01/01/1990\r\n"
             "[TBN]\r\nCount=1\r\n1 Code=t\r\n");
  auto investor = Investor::create(kToday);
  add(investor, "Solvane", "s-old", "", "", "");
  add(investor, "TBN", "t-old", "", "", "");
  const Error e = caught([&] { investor->LoadFile("data.qvx"); });
  EXPECT_EQ(e.number(), errnum::Overflow);
  EXPECT_EQ(e.source().rfind("Investor.LoadFile\rInvestor.Fetch\r", 0), 0u) << e.source();
  EXPECT_EQ(e.description(), "Tallyvex");
  EXPECT_EQ(investor->sName(), "Ann");
  EXPECT_EQ(entriesOf(investor, "Quorvex")->Item(1)->Code(), "q");
  EXPECT_EQ(entriesOf(investor, "Ferrant Technologies")->Item(1)->Code(), "f");
  EXPECT_EQ(entriesOf(investor, "Solvane")->Count(), 0);
  EXPECT_EQ(entriesOf(investor, "TBN")->Item(1)->Code(), "t-old");  // not reached
}

TEST_F(DataFileTest, CountsThatAreNotSmallIntegers) {
  struct Case {
    const char* count;
    long error;
    long loaded;
  };
  for (const Case c : {Case{"abc", errnum::TypeMismatch, 0}, Case{"", errnum::TypeMismatch, 0},
                       Case{"1.5", errnum::TypeMismatch, 0}, Case{"99999999999", errnum::Overflow, 0},
                       Case{"2147483648", errnum::Overflow, 0}, Case{"-3", 0, 0}, Case{" +2 ", 0, 2},
                       Case{"32767", 0, 32767}}) {
    SCOPED_TRACE(c.count);
    writeBytes("data.qvx", std::string("[Quorvex]\r\nCount=") + c.count + "\r\n");
    auto investor = Investor::create(kToday);
    const Error e = caught([&] { investor->LoadFile("data.qvx"); });
    EXPECT_EQ(e.number(), c.error);
    if (c.error != 0) {
      EXPECT_EQ(e.source().rfind("Investor.LoadFile\rInvestor.Fetch\r", 0), 0u) << e.source();
    }
    EXPECT_EQ(entriesOf(investor, "Quorvex")->Count(), c.loaded);
  }
  writeBytes("data.qvx", "[General]\r\nLumora=two\r\n");
  EXPECT_EQ(caught([] { Investor::create(kToday)->LoadFile("data.qvx"); }).number(), errnum::TypeMismatch);
}

TEST_F(DataFileTest, ASecurityWithMoreEntriesThanTheCounterHoldsIsNotSaved) {
  auto investor = Investor::create(kToday);
  auto list = entriesOf(investor, "Halvern");
  for (int i = 0; i < 32768; ++i) {
    std::string code, date, cost = "1", shares = "1";
    list->Add(code, date, cost, shares);
  }
  writeBytes("data.qvx", "[General]\r\nName=Old\r\n");
  const Error e = caught([&] { investor->Save("data.qvx"); });
  EXPECT_EQ(e.number(), errnum::Overflow);
  EXPECT_EQ(e.source().rfind("Investor.Save\r", 0), 0u) << e.source();
  EXPECT_TRUE(readBytes("data.qvx") == "[General]\r\nName=Old\r\n");  // no 3 MB dump on failure
  EXPECT_EQ(entries(), (std::set<std::string>{"data.qvx"}));
}

// ---- file names -----------------------------------------------------------------------------------

TEST_F(DataFileTest, AnEmptyFileNameFailsWithTheTrailAndChangesNothingElse) {
  auto investor = sampleInvestor();
  auto before = entriesOf(investor, "Quorvex");
  auto fresh = Investor::create(kToday);
  Error e = caught([&] { fresh->LoadFile(""); });
  EXPECT_EQ(e.number(), errnum::NoFilename);
  EXPECT_EQ(e.source(), "Investor.LoadFile\rInvestor.Fetch\rNeed to specify a filename.");
  EXPECT_EQ(e.description(), "Tallyvex");
  EXPECT_TRUE(fresh->InEditMode());

  e = caught([&] { investor->Fetch(""); });
  EXPECT_EQ(e.number(), errnum::NoFilename);
  EXPECT_EQ(e.source(), "Investor.Fetch\rNeed to specify a filename.");
  EXPECT_EQ(investor->sName(), "Ann Lee  ");
  EXPECT_EQ(entriesOf(investor, "Quorvex"), before);

  e = caught([&] { investor->Save(""); });
  EXPECT_NE(e.number(), 0);
  EXPECT_EQ(e.source().rfind("Investor.Save\r", 0), 0u) << e.source();
  EXPECT_TRUE(entries().empty());
}

TEST_F(DataFileTest, AFolderAsTheFileNameFailsAndLeavesTheInvestorAlone) {
  fs::create_directory("folder.qvx");
  auto investor = sampleInvestor();
  auto before = entriesOf(investor, "Quorvex");
  Error e = caught([&] { investor->LoadFile("folder.qvx"); });
  EXPECT_NE(e.number(), 0);
  EXPECT_EQ(e.source().rfind("Investor.LoadFile\rInvestor.Fetch\r", 0), 0u) << e.source();
  EXPECT_EQ(investor->sName(), "Ann Lee  ");
  EXPECT_EQ(investor->StartCalc(), "01/01/1990");
  EXPECT_EQ(entriesOf(investor, "Quorvex"), before);
  EXPECT_EQ(before->Count(), 2);

  e = caught([&] { investor->Save("folder.qvx"); });
  EXPECT_NE(e.number(), 0);
  EXPECT_EQ(e.source().rfind("Investor.Save\r", 0), 0u) << e.source();
  EXPECT_TRUE(fs::is_directory("folder.qvx"));
  EXPECT_EQ(entries(), (std::set<std::string>{"folder.qvx"}));
}

// ---- atomic save ------------------------------------------------------------------------------------

TEST_F(DataFileTest, AFailedWriteLeavesTheOldFileIntact) {
  auto investor = sampleInvestor();
  investor->Save("data.qvx");
  const std::string old = readBytes("data.qvx");
  investor->sName("Changed");

  detail::setAtomicWriteCall(&failAfterSomeBytes);
  Error e = caught([&] { investor->Save("data.qvx"); });
  EXPECT_EQ(e.number(), errnum::DiskFull);
  EXPECT_EQ(e.source().rfind("Investor.Save\r", 0), 0u) << e.source();
  EXPECT_EQ(e.description(), "Tallyvex");
  EXPECT_EQ(readBytes("data.qvx"), old);
  EXPECT_EQ(readBytes("backup.qvx"), old);
  EXPECT_EQ(entries(), (std::set<std::string>{"data.qvx", "backup.qvx"}));

  // Through ApplyEdit: one more tag, and edit mode stays on.
  investor->BeginEdit();
  e = caught([&] { investor->ApplyEdit("data.qvx"); });
  EXPECT_EQ(e.number(), errnum::DiskFull);
  EXPECT_EQ(e.source().rfind("Investor.ApplyEdit\rInvestor.Save\r", 0), 0u) << e.source();
  EXPECT_TRUE(investor->InEditMode());
  EXPECT_EQ(readBytes("data.qvx"), old);
  EXPECT_EQ(entries(), (std::set<std::string>{"data.qvx", "backup.qvx"}));

  detail::setAtomicWriteCall(nullptr);
  investor->ApplyEdit("data.qvx");
  EXPECT_FALSE(investor->InEditMode());
  EXPECT_EQ(loaded("data.qvx")->sName(), "Changed");
  EXPECT_EQ(readBytes("backup.qvx"), old);
}

TEST_F(DataFileTest, ABackupThatCannotBeMadeStopsTheSaveBeforeTheDataFile) {
  auto investor = sampleInvestor();
  investor->Save("data.qvx");
  const std::string old = readBytes("data.qvx");
  fs::create_directory("backup.qvx");
  investor->sName("Changed");
  const Error e = caught([&] { investor->Save("data.qvx"); });
  EXPECT_NE(e.number(), 0);
  EXPECT_EQ(e.source().rfind("Investor.Save\r", 0), 0u) << e.source();
  EXPECT_EQ(readBytes("data.qvx"), old);
  EXPECT_EQ(entries(), (std::set<std::string>{"data.qvx", "backup.qvx"}));
}

}  // namespace
