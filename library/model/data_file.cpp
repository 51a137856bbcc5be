#include "model/data_file.h"

#include <sys/stat.h>

#include <array>
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "orlendo/error.h"
#include "model/atomic_write.h"
#include "model/objects.h"
#include "model/sectioned_text.h"
#include "model/text_view.h"
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
// "N Shares", "N Cost", "N Proceeds", "N Code") go to slot N (as places in
// the text, 8 bytes each), so that no key string is built to find them. Lookups keep ProfileFile's rules: sections and keys
// match without regard to ASCII case, a repeated section adds to the first,
// and the first of a repeated key wins.
class DataFileText {
 public:
  enum Field { kDate, kShares, kCost, kCode, kProceeds, kFields };

  // A value's place in the text; `at` kNone: no such key.
  struct Place {
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;
    std::uint32_t at = kNone;
    std::uint32_t size = 0;
  };

  struct Section {
    std::string name;  // trimmed, as the investor asks for it
    std::vector<std::pair<std::string_view, std::string_view>> keys;  // all but the entries' keys, in file order
    std::vector<std::array<Place, kFields>> entries;                  // slot N-1
    const char* text = nullptr;                   // what the places count from
    std::size_t first = std::string_view::npos;  // the place of its first value in the text

    const std::string_view* find(std::string_view key) const {
      for (const auto& [k, v] : keys)
        if (equalFolded(k, key)) return &v;
      return nullptr;
    }
    std::string getString(std::string_view key, std::string_view def) const {
      const std::string_view* v = find(key);
      return std::string(v ? *v : def);
    }
    // A value that is no 32-bit integer fails with a message naming the
    // file, the section, the key and the text.
    std::int32_t getLong(std::string_view key, std::int32_t def, const std::string& file) const {
      const std::string_view* v = find(key);
      if (!v) return def;
      try {
        return detail::parseProfileLong(*v);
      } catch (const Error& e) {
        fault(file, key, *v, e.number(), e.number() == errnum::Overflow ? "is out of range." : "is not a whole number.");
      }
    }
    [[noreturn]] void fault(const std::string& file, std::string_view key, std::string_view value, long number,
                            std::string_view what) const {
      raiseMessage(number, file,
                   file + ": section \"" + visibleText(name) + "\", key \"" + std::string(key) + "\": the value \"" +
                       visibleText(value) + "\" " + std::string(what));
    }
    // The size of the entries' texts.
    std::size_t entryBytes() const {
      std::size_t bytes = 0;
      for (const auto& e : entries)
        for (const Place& p : e) bytes += p.size;
      return bytes;
    }
    // True when each entry's values come after those of the entries before it.
    bool entriesInOrder() const {
      std::uint32_t last = 0;
      for (const auto& e : entries) {
        std::uint32_t low = Place::kNone, high = 0;
        for (const Place& p : e)
          if (p.at != Place::kNone) {
            low = std::min(low, p.at);
            high = std::max(high, p.at + p.size);
          }
        if (low == Place::kNone) continue;
        if (low < last) return false;
        last = high;
      }
      return true;
    }
    // Where the values of entry n and those after it begin (entries in order).
    std::size_t entriesFrom(long n) const {
      for (auto i = static_cast<std::size_t>(n > 0 ? n - 1 : 0); i < entries.size(); ++i)
        for (const Place& p : entries[i])
          if (p.at != Place::kNone) return p.at;
      return std::string_view::npos;
    }
    std::optional<std::string_view> entry(long n, Field field) const {
      if (n < 1 || static_cast<std::size_t>(n) > entries.size()) return std::nullopt;
      const Place& p = entries[static_cast<std::size_t>(n - 1)][field];
      if (p.at == Place::kNone) return std::nullopt;
      return std::string_view(text + p.at, p.size);
    }
  };

  // Returns the slot of `name` among the sections read (one slot per
  // distinct name); call before read().
  std::size_t want(std::string_view name) {
    name = detail::trimBlanks(name);
    for (std::size_t i = 0; i < sections_.size(); ++i)
      if (equalFolded(sections_[i].name, name)) return i;
    sections_.push_back(Section{std::string(name), {}, {}, nullptr, std::string_view::npos});
    return sections_.size() - 1;
  }

  // Reads `text`, which must outlive this object. Returns true when it is
  // not a sectioned text at all.
  bool read(std::string_view text) {
    // A place is 32 bits: a data file holds at most 31 sections of 32,767
    // entries, far below that.
    if (text.size() >= Place::kNone) raisePlatform(errnum::Overflow);
    for (Section& s : sections_) s.text = text.data();
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
          const auto at = static_cast<std::size_t>(value.data() - text.data());
          current->first = std::min(current->first, at);
          long n = 0;
          Field field = kFields;
          if (entryKey(key, n, field)) {
            auto& slots = current->entries;
            if (static_cast<std::size_t>(n) == slots.size() + 1) slots.emplace_back();  // the usual next entry
            else if (static_cast<std::size_t>(n) > slots.size()) slots.resize(static_cast<std::size_t>(n));
            Place& slot = slots[static_cast<std::size_t>(n - 1)][field];
            if (slot.at == Place::kNone) slot = Place{static_cast<std::uint32_t>(at), static_cast<std::uint32_t>(value.size())};
            return;
          }
          if (current->entries.empty() && equalFolded(key, "Count")) reserveFor(*current, value);
          current->keys.emplace_back(key, value);
        });
  }

  const Section& section(std::size_t slot) const { return sections_[slot]; }
  // Lets go of a section's entries once they have been taken.
  void dropEntries(std::size_t slot) { std::vector<std::array<Place, kFields>>().swap(sections_[slot].entries); }

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
    // The one word the size and a letter or two can be, then compared whole.
    Field f = kFields;
    if (word.size() == 4) {
      const char first = foldAscii(word[0]);
      if (first == 'd') f = kDate;
      else if (first == 'c') f = foldAscii(word[2]) == 's' ? kCost : kCode;
    } else if (word.size() == 6) {
      f = kShares;
    } else if (word.size() == 8) {
      f = kProceeds;
    }
    if (f == kFields || (word != kWords[f] && !equalFolded(word, kWords[f]))) return false;
    n = value;
    field = f;
    return true;
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

// The previous content of the file, written to "backup.qvx" in the current
// folder, ready to be placed. A link there is replaced, never followed (it
// may lead into anyone's files), a backup.qvx of another user is refused,
// and the copy gets the data file's permission bits with the owner's read
// and write added: as private as the file, and never read-only.
std::optional<StagedFile> stageBackup(const std::string& fileName) {
  namespace fs = std::filesystem;
  const std::string backup = (fs::current_path() / "backup.qvx").string();
  std::error_code ec;
  // Saving over the backup itself would copy the file onto itself.
  if (fs::exists(backup, ec) && fs::equivalent(fileName, backup, ec)) return std::nullopt;
  std::string bytes;
  if (!readFileBytes(fileName, bytes)) return std::nullopt;
  struct stat st {};
  const unsigned mode = ::stat(fileName.c_str(), &st) == 0 ? (st.st_mode & 0777) | 0600 : 0600;
  try {
    return StagedFile(backup, bytes, WriteOptions{FilePermissions::Explicit, mode, false, true});
  } catch (const Error& e) {
    if (e.isMessage()) raiseMessage(e.number(), backup, e.description());
    raiseMessage(e.number(), backup,
                 "Cannot write the backup copy " + backup + ": " + std::string(errorTypeText(e.number())));
  }
}

}  // namespace

void fetchInvestor(Investor& investor, std::string_view fileName, const std::function<Date()>& today) {
  investor.BeginEdit();
  if (fileName.empty()) raise(errnum::NoFilename, "Need to specify a filename.");
  DataFileText file;
  const std::size_t general = file.want(kGeneral);
  std::vector<std::size_t> slots;
  for (const auto& security : *investor.colSecurities()) slots.push_back(file.want(security->SecName()));
  const std::string path(fileName);
  TextFileView view;
  view.read(std::string(fileName));  // a missing file reads as empty: a new investor
  // Text without a single section header is some other file: loading it as
  // an empty investor would let the next save overwrite it.
  if (file.read(view.text()))
    raiseMessage(errnum::NotADataFile, std::string(fileName),
                 std::string(fileName) + " is not a Tallyvex data file");

  const DataFileText::Section& g = file.section(general);
  investor.Version(g.getString("Version", ""));
  investor.sName(g.getString("Name", ""));
  investor.Line2(g.getString("Line 2", ""));
  investor.StartCalc(g.getString("Start Date", "12/31/1983"));
  if (const std::string_view* stop = g.find("Stop Date")) investor.StopCalc(*stop);
  else investor.StopCalc(formatDate(today()));
  investor.Lumora2QVX(static_cast<eLumora>(g.getLong("Lumora", 1, path)));

  // Where the sections not yet taken begin: the text before that is no
  // longer needed (a file the program saved has its sections in this order).
  std::vector<std::size_t> restFrom(slots.size() + 1, std::string_view::npos);
  for (std::size_t i = slots.size(); i-- > 0;) restFrom[i] = std::min(restFrom[i + 1], file.section(slots[i]).first);

  std::size_t next = 0;
  for (const auto& security : *investor.colSecurities()) {
    if (next > 0) {
      file.dropEntries(slots[next - 1]);
      view.release(restFrom[next]);
    }
    const DataFileText::Section& section = file.section(slots[next++]);
    const std::int32_t count = section.getLong("Count", 0, path);
    auto entries = BuySells::create();
    security->colBuySells(entries);
    if (count > kMaxEntries)
      section.fault(path, "Count", *section.find("Count"), errnum::Overflow,
                    "is more than the 32767 entries a security holds.");
    if (count > 0) reserveEntries(*entries, static_cast<std::size_t>(count), section.entryBytes());
    std::string madeCode;
    // A file in entry order gives back its text as the entries are taken.
    const bool inOrder = section.entriesInOrder();
    for (long n = 1; n <= count; ++n) {
      if (inOrder && n % 1024 == 0) view.release(std::min(section.entriesFrom(n), restFrom[next]));
      const auto text = [&](DataFileText::Field field) { return section.entry(n, field).value_or(std::string_view()); };
      const std::string_view date = text(DataFileText::kDate);
      const std::optional<std::string_view> stored = section.entry(n, DataFileText::kCode);
      if (!stored) madeCode.assign(date).append("-").append(std::to_string(n));
      addEntryTexts(*entries, stored ? *stored : std::string_view(madeCode), date, text(DataFileText::kCost),
                    text(DataFileText::kShares), text(DataFileText::kProceeds));
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
  // Everything that refuses the save comes before the backup is touched.
  detail::checkReplaceable(name, {});
  std::optional<StagedFile> backup = FileHelper::PathExists(name) ? stageBackup(name) : std::nullopt;

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
  // The data file is written whole before either file is replaced; a
  // failure to put it in place puts the older backup back.
  StagedFile data(name, file.Render());
  if (backup) backup->place();
  data.place();
  if (backup) backup->keep();
  data.keep();
}

}  // namespace orlendo
