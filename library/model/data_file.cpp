#include "model/data_file.h"

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "orlendo/error.h"
#include "model/sectioned_text.h"
#include "orlendo/profile_file.h"

namespace orlendo {
namespace {

constexpr std::string_view kGeneral = "General";
constexpr std::int32_t kMaxEntries = 32767;  // the entry counter is 16 bits wide

std::string rightTrimmed(std::string s) {
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string keyOf(long n, std::string_view what) { return std::to_string(n) + " " + std::string(what); }

// The data file read in one pass, as views into its text: only the sections
// the investor asks for are kept, and an entry's keys ("N Date",
// "N Shares", "N Cost", "N Proceeds", "N Code") go to slot N, so that no key string is
// built to find them. Lookups keep ProfileFile's rules: sections and keys
// match without regard to ASCII case, a repeated section adds to the first,
// and the first of a repeated key wins.
class DataFileText {
 public:
  enum Field { kDate, kShares, kCost, kCode, kProceeds, kFields };

  struct Section {
    std::string name;  // trimmed, as the investor asks for it
    std::vector<std::pair<std::string_view, std::string_view>> keys;  // all but the entries' keys, in file order
    std::vector<std::array<std::string_view, kFields>> entries;      // slot N-1; a null view: no such key

    const std::string_view* find(std::string_view key) const {
      for (const auto& [k, v] : keys)
        if (equalFolded(k, key)) return &v;
      return nullptr;
    }
    std::string getString(std::string_view key, std::string_view def) const {
      const std::string_view* v = find(key);
      return std::string(v ? *v : def);
    }
    std::int32_t getLong(std::string_view key, std::int32_t def) const {
      const std::string_view* v = find(key);
      return v ? detail::parseProfileLong(*v) : def;
    }
    const std::string_view* entry(long n, Field field) const {
      if (n < 1 || static_cast<std::size_t>(n) > entries.size()) return nullptr;
      const std::string_view& v = entries[static_cast<std::size_t>(n - 1)][field];
      return v.data() ? &v : nullptr;
    }
  };

  // Returns the slot of `name` among the sections read (one slot per
  // distinct name); call before read().
  std::size_t want(std::string_view name) {
    name = detail::trimBlanks(name);
    for (std::size_t i = 0; i < sections_.size(); ++i)
      if (equalFolded(sections_[i].name, name)) return i;
    sections_.push_back(Section{std::string(name), {}, {}});
    return sections_.size() - 1;
  }

  // Reads `text`, which must outlive this object. Returns true when it is
  // not a sectioned text at all.
  bool read(std::string_view text) {
    Section* current = nullptr;
    return detail::walkSectionedText(
        text,
        [&](std::string_view name) {
          current = nullptr;
          for (Section& s : sections_)
            if (equalFolded(s.name, name)) {
              current = &s;
              break;
            }
        },
        [&](std::string_view key, std::string_view value) {
          if (!current) return;
          long n = 0;
          Field field = kFields;
          if (entryKey(key, n, field)) {
            auto& slots = current->entries;
            if (static_cast<std::size_t>(n) > slots.size()) slots.resize(static_cast<std::size_t>(n));
            std::string_view& slot = slots[static_cast<std::size_t>(n - 1)][field];
            if (!slot.data()) slot = value;  // a view into a line: never null, even when empty
            return;
          }
          if (current->entries.empty() && equalFolded(key, "Count")) reserveFor(*current, value);
          current->keys.emplace_back(key, value);
        });
  }

  const Section& section(std::size_t slot) const { return sections_[slot]; }

 private:
  // "N Date" and its kin exactly as written on saving (N from 1 to the
  // largest count without leading zeros, one blank); others are plain keys.
  static bool entryKey(std::string_view key, long& n, Field& field) {
    std::size_t i = 0;
    if (key.empty() || key[0] < '1' || key[0] > '9') return false;
    long value = 0;
    while (i < key.size() && key[i] >= '0' && key[i] <= '9') {
      value = value * 10 + (key[i] - '0');
      if (value > kMaxEntries) return false;
      ++i;
    }
    if (i >= key.size() || key[i] != ' ') return false;
    const std::string_view word = key.substr(i + 1);
    static constexpr std::string_view kWords[kFields] = {"Date", "Shares", "Cost", "Code", "Proceeds"};
    for (int f = 0; f < kFields; ++f)
      if (equalFolded(word, kWords[f])) {
        n = value;
        field = static_cast<Field>(f);
        return true;
      }
    return false;
  }

  // A section's first key is normally its Count: size the slots from it
  // (a count that is no number is reported where it is read).
  static void reserveFor(Section& s, std::string_view count) {
    count = detail::trimBlanks(count);
    long value = 0;
    for (char c : count) {
      if (c < '0' || c > '9') return;
      value = value * 10 + (c - '0');
      if (value > kMaxEntries) return;
    }
    s.entries.reserve(static_cast<std::size_t>(value));
  }

  std::vector<Section> sections_;
};

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
  DataFileText file;
  const std::size_t general = file.want(kGeneral);
  std::vector<std::size_t> slots;
  for (const auto& security : *investor.colSecurities()) slots.push_back(file.want(security->SecName()));
  std::string text;
  readTextFile(std::string(fileName), text);  // a missing file reads as empty: a new investor
  // Text without a single section header is some other file: loading it as
  // an empty investor would let the next save overwrite it.
  if (file.read(text))
    raiseMessage(errnum::NotADataFile, std::string(fileName),
                 std::string(fileName) + " is not a Tallyvex data file");

  const DataFileText::Section& g = file.section(general);
  investor.Version(g.getString("Version", ""));
  investor.sName(g.getString("Name", ""));
  investor.Line2(g.getString("Line 2", ""));
  investor.StartCalc(g.getString("Start Date", "12/31/1983"));
  investor.StopCalc(g.getString("Stop Date", formatDate(today)));
  investor.Lumora2QVX(static_cast<eLumora>(g.getLong("Lumora", 1)));

  std::size_t next = 0;
  for (const auto& security : *investor.colSecurities()) {
    const DataFileText::Section& section = file.section(slots[next++]);
    const std::int32_t count = section.getLong("Count", 0);
    auto entries = BuySells::create();
    security->colBuySells(entries);
    if (count > kMaxEntries) raisePlatform(errnum::Overflow);
    for (long n = 1; n <= count; ++n) {
      const auto text = [&](DataFileText::Field field) {
        const std::string_view* v = section.entry(n, field);
        return v ? std::string(*v) : std::string();
      };
      std::string date = text(DataFileText::kDate);
      std::string shares = text(DataFileText::kShares);
      std::string cost = text(DataFileText::kCost);
      const std::string_view* stored = section.entry(n, DataFileText::kCode);
      std::string code = stored ? std::string(*stored) : date + "-" + std::to_string(n);
      const auto entry = entries->Add(code, date, cost, shares);
      if (const std::string_view* proceeds = section.entry(n, DataFileText::kProceeds)) entry->Proceeds(*proceeds);
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
      file.WriteString(section, keyOf(n, "Date"), entry->XActionDate());
      file.WriteString(section, keyOf(n, "Shares"), entry->ChgShrs());
      file.WriteString(section, keyOf(n, "Cost"), entry->ChgCost());
      // Only a sell given its proceeds has the key: other files stay as they were.
      if (entry->HasProceeds()) file.WriteString(section, keyOf(n, "Proceeds"), entry->Proceeds());
      file.WriteString(section, keyOf(n, "Code"), entry->Code());
    }
  }
  file.Commit();
}

}  // namespace orlendo
