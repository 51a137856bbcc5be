#include "model/data_file.h"

#include <filesystem>
#include <string>

#include "orlendo/error.h"
#include "orlendo/profile_file.h"

namespace orlendo {
namespace {

constexpr std::string_view kGeneral = "General";
constexpr std::int32_t kMaxEntries = 32767;  // the entry counter is 16 bits wide

std::string rightTrimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string entryKey(long n, std::string_view what) { return std::to_string(n) + " " + std::string(what); }

// The previous content of the file to "backup.qvx" in the current folder,
// written atomically like the data file so a failure keeps the older backup.
// It gets a new file's permissions: a read-only data file must not make
// the backup, and with it every later save, read-only.
void backUp(const std::string& fileName) {
  namespace fs = std::filesystem;
  const std::string backup = (fs::current_path() / "backup.qvx").string();
  std::error_code ec;
  // Saving over the backup itself would copy the file onto itself.
  if (fs::exists(backup, ec) && fs::equivalent(fileName, backup, ec)) return;
  std::string bytes;
  if (!readFileBytes(fileName, bytes)) return;
  try {
    writeFileAtomically(backup, bytes, FilePermissions::Default);
  } catch (const Error& e) {
    raiseMessage(e.number(), backup,
                 "Cannot write the backup copy " + backup + ": " + std::string(errorTypeText(e.number())));
  }
}

}  // namespace

void fetchInvestor(Investor& investor, std::string_view fileName, Date today) {
  investor.BeginEdit();
  if (fileName.empty()) raise(errnum::NoFilename, "Need to specify a filename.");
  ProfileFile file;
  file.FileName(fileName);
  // Text without a single section header is some other file: loading it as
  // an empty investor would let the next save overwrite it.
  if (file.NoSectionHeader())
    raiseMessage(errnum::NotADataFile, std::string(fileName),
                 std::string(fileName) + " is not a Tallyvex data file");

  investor.Version(file.GetString(kGeneral, "Version", ""));
  investor.sName(file.GetString(kGeneral, "Name", ""));
  investor.Line2(file.GetString(kGeneral, "Line 2", ""));
  investor.StartCalc(file.GetString(kGeneral, "Start Date", "12/31/1983"));
  investor.StopCalc(file.GetString(kGeneral, "Stop Date", formatDate(today)));
  investor.Lumora2QVX(static_cast<eLumora>(file.GetLong(kGeneral, "Lumora", 1)));

  for (const auto& security : *investor.colSecurities()) {
    const std::string section = security->SecName();
    const std::int32_t count = file.GetLong(section, "Count", 0);
    auto entries = BuySells::create();
    security->colBuySells(entries);
    if (count > kMaxEntries) raisePlatform(errnum::Overflow);
    for (long n = 1; n <= count; ++n) {
      std::string date = file.GetString(section, entryKey(n, "Date"), "");
      std::string shares = file.GetString(section, entryKey(n, "Shares"), "");
      std::string cost = file.GetString(section, entryKey(n, "Cost"), "");
      std::string code = file.GetString(section, entryKey(n, "Code"), date + "-" + std::to_string(n));
      entries->Add(code, date, cost, shares);
    }
  }
}

void saveInvestor(const Investor& investor, std::string_view fileName) {
  const std::string name(fileName);
  if (name.empty()) raisePlatform(errnum::PathFileAccess);
  // A count the 16-bit entry counter cannot hold would give a file that no
  // load reads back: refuse it before the backup or the data file is touched.
  for (const auto& security : *investor.colSecurities())
    if (security->colBuySells()->Count() > kMaxEntries) raisePlatform(errnum::Overflow);
  discardTemporaryFile(name);  // a killed save's leftover: at most one temporary file at any moment
  if (FileHelper::PathExists(name)) backUp(name);

  ProfileFile file(ProfileFile::Mode::Deferred);
  file.BindEmpty(name);
  file.WriteString(kGeneral, "Version", rightTrimmed(investor.Version()));
  file.WriteString(kGeneral, "Name", rightTrimmed(investor.sName()));
  file.WriteString(kGeneral, "Line 2", rightTrimmed(investor.Line2()));
  file.WriteString(kGeneral, "Start Date", investor.StartCalc());
  file.WriteString(kGeneral, "Stop Date", investor.StopCalc());
  file.WriteString(kGeneral, "Lumora", std::to_string(static_cast<std::int32_t>(investor.Lumora2QVX())));

  for (const auto& security : *investor.colSecurities()) {
    const std::string section = security->SecName();
    const auto entries = security->colBuySells();
    file.WriteString(section, "Count", std::to_string(entries->Count()));
    long n = 0;
    for (const auto& entry : *entries) {
      ++n;
      file.WriteString(section, entryKey(n, "Date"), entry->XActionDate());
      file.WriteString(section, entryKey(n, "Shares"), entry->ChgShrs());
      file.WriteString(section, entryKey(n, "Cost"), entry->ChgCost());
      file.WriteString(section, entryKey(n, "Code"), entry->Code());
    }
  }
  file.Commit();
}

}  // namespace orlendo
