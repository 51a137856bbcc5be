// The section/key format: "[Section]" lines and "Key=Value" lines.
#include "orlendo/profile_file.h"

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "model/sectioned_text.h"
#include "orlendo/collection.h"
#include "orlendo/error.h"

namespace orlendo {
namespace {

using detail::trimBlanks;

// A line break inside a section, key or value would split the line when the
// file is read back: CR LF, a lone CR and a lone LF each become one blank.
std::string flattenLineBreaks(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    if (c == '\r') {
      if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += ' ';
    } else if (c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

namespace detail {

std::int32_t parseProfileLong(std::string_view text) {
  std::string_view s = detail::trimBlanks(text);
  bool negative = false;
  if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) raisePlatform(errnum::TypeMismatch);
  constexpr std::int64_t kLimit = std::int64_t{INT32_MAX} + 1;  // magnitude of INT32_MIN
  std::int64_t magnitude = 0;
  bool tooBig = false;
  for (char c : s) {
    if (c < '0' || c > '9') raisePlatform(errnum::TypeMismatch);
    if (!tooBig) {
      magnitude = magnitude * 10 + (c - '0');
      if (magnitude > kLimit) tooBig = true;
    }
  }
  if (tooBig || (!negative && magnitude > INT32_MAX)) raisePlatform(errnum::Overflow);
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

}  // namespace detail

// ---- ProfileFile -------------------------------------------------------------------

void ProfileFile::FileName(std::string_view name) {
  std::string path(name);
  std::string text;
  ProfileFile loaded(mode_);
  if (readTextFile(path, text)) loaded.parse(text);
  sections_ = std::move(loaded.sections_);
  sectionIndex_ = std::move(loaded.sectionIndex_);
  noSectionHeader_ = loaded.noSectionHeader_;
  fileName_ = std::move(path);
}

void ProfileFile::BindEmpty(std::string_view name) {
  fileName_ = std::string(name);
  sections_.clear();
  sectionIndex_.clear();
  noSectionHeader_ = false;
}

// The line ends the walk splits at are the three that flattenLineBreaks
// turns into a blank on writing.
void ProfileFile::parse(const std::string& text) {
  sections_.clear();
  sectionIndex_.clear();
  Section* current = nullptr;
  noSectionHeader_ = detail::walkSectionedText(
      text,
      [&](std::string_view name) { current = &sectionFor(name); },  // a repeated one adds to the first
      [&](std::string_view key, std::string_view value) {
        // The first of a repeated key wins.
        if (!current->findKey(key)) current->add(std::string(key), std::string(value));
      });
}

ProfileFile::Section& ProfileFile::sectionFor(std::string_view name) {
  const auto [it, added] = sectionIndex_.emplace(foldKey(name), sections_.size());
  if (added) sections_.push_back(Section{std::string(name), {}, {}});
  return sections_[it->second];
}

const ProfileFile::Entry* ProfileFile::find(std::string_view section, std::string_view key) const {
  const auto it = sectionIndex_.find(foldKey(trimBlanks(section)));
  if (it == sectionIndex_.end()) return nullptr;
  return const_cast<Section&>(sections_[it->second]).findKey(trimBlanks(key));
}

// Keys are looked up through a folded-key index, so a section with tens of
// thousands of entries reads and writes in linear time.
ProfileFile::Entry* ProfileFile::Section::findKey(std::string_view key) {
  auto it = index.find(foldKey(key));
  return it == index.end() ? nullptr : &entries[it->second];
}

void ProfileFile::Section::add(std::string key, std::string value) {
  index.emplace(foldKey(key), entries.size());
  entries.push_back(Entry{std::move(key), std::move(value)});
}

void ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string sectionName(trimBlanks(flattenLineBreaks(section)));
  const std::string keyName(trimBlanks(flattenLineBreaks(key)));
  // A key that would read back as something else (no key, a comment, a
  // section header, or a different key and value) is refused.
  if (keyName.empty() || keyName.front() == ';' || keyName.front() == '[' ||
      keyName.find('=') != std::string::npos)
    raisePlatform(errnum::InvalidArgument);
  std::string text = flattenLineBreaks(value);

  std::vector<Section> previous;
  std::unordered_map<std::string, std::size_t> previousIndex;
  if (mode_ == Mode::WriteThrough) {
    previous = sections_;
    previousIndex = sectionIndex_;
  }

  Section& target = sectionFor(sectionName);
  if (Entry* entry = target.findKey(keyName)) entry->value = std::move(text);
  else target.add(keyName, std::move(text));

  if (mode_ == Mode::WriteThrough) {
    try {
      Commit();
    } catch (...) {
      sections_ = std::move(previous);  // memory keeps matching the file on disk
      sectionIndex_ = std::move(previousIndex);
      throw;
    }
  }
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view def) const {
  const Entry* e = find(section, key);
  return e ? e->value : std::string(def);
}

std::int32_t ProfileFile::GetLong(std::string_view section, std::string_view key, std::int32_t def) const {
  const Entry* e = find(section, key);
  return e ? detail::parseProfileLong(e->value) : def;
}

void ProfileFile::Commit() const {
  if (fileName_.empty()) raise(errnum::NoFilename, "Need to specify a filename.");
  WriteOptions options;
  if (private_) options.permissions = FilePermissions::Private;
  writeFileAtomically(fileName_, Render(), options);
}

std::string ProfileFile::Render() const {
  std::string out;
  for (const Section& s : sections_) {
    if (&s != &sections_.front()) out += "\r\n";  // an empty line between sections
    out += '[';
    out += s.name;
    out += "]\r\n";
    for (const Entry& e : s.entries) {
      out += e.key;
      out += '=';
      out += e.value;
      out += "\r\n";
    }
  }
  return out;
}

}  // namespace orlendo
