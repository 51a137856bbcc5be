#include "orlendo/profile_file.h"

#include "orlendo/collection.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "model/atomic_write.h"
#include "orlendo/error.h"

namespace orlendo {

namespace detail {
namespace {
AtomicWriteCalls gCalls;
}  // namespace

void setAtomicWriteCalls(const AtomicWriteCalls& calls) noexcept { gCalls = calls; }
void setAtomicWriteCall(WriteCall call) noexcept { gCalls = AtomicWriteCalls{call, nullptr, nullptr}; }
}  // namespace detail

namespace {

// ---- errors -------------------------------------------------------------

long numberForErrno(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return errnum::DiskFull;  // EFBIG: past the process's file-size limit
    case EACCES:
    case EPERM:
    case EROFS: return errnum::PermissionDenied;
    case ENOENT:
    case ENOTDIR: return errnum::PathNotFound;
    case EIO: return errnum::DeviceIO;
    default: return errnum::PathFileAccess;
  }
}

[[noreturn]] void raiseErrno(int err) { raisePlatform(numberForErrno(err)); }

// ---- text helpers ---------------------------------------------------------

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

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

// ---- encoding -------------------------------------------------------------

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view s) {
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) { ++i; continue; }
    int len;
    unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) len = 2;
    else if (b0 == 0xE0) { len = 3; lo = 0xA0; }
    else if (b0 >= 0xE1 && b0 <= 0xEC) len = 3;
    else if (b0 == 0xED) { len = 3; hi = 0x9F; }
    else if (b0 >= 0xEE && b0 <= 0xEF) len = 3;
    else if (b0 == 0xF0) { len = 4; lo = 0x90; }
    else if (b0 >= 0xF1 && b0 <= 0xF3) len = 4;
    else if (b0 == 0xF4) { len = 4; hi = 0x8F; }
    else return false;
    if (i + len > n) return false;
    const auto b1 = static_cast<unsigned char>(s[i + 1]);
    if (b1 < lo || b1 > hi) return false;
    for (int k = 2; k < len; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if (b < 0x80 || b > 0xBF) return false;
    }
    i += len;
  }
  return true;
}

// Windows-1252 bytes 0x80..0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as the platform does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string cp1252ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (char ch : s) {
    const auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) out += ch;
    else if (b < 0xA0) appendUtf8(out, kCp1252High[b - 0x80]);
    else appendUtf8(out, b);  // 0xA0..0xFF are Latin-1
  }
  return out;
}

// ---- integers ---------------------------------------------------------------

std::int32_t parseLong(std::string_view text) {
  std::string_view s = trimBlanks(text);
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

// ---- file plumbing ---------------------------------------------------------

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void closeQuietly(int fd) {
  if (fd >= 0) ::close(fd);
}

// The permission bits a plain create of a document gets: 0644 less the umask.
mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0644 & ~mask;
}

}  // namespace

// ---- atomic write ------------------------------------------------------------

namespace {

// The file a write of `path` replaces: the file a symbolic link leads to,
// or `path` itself (a plain file, a new name, or a link that leads nowhere).
std::string replacedFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      std::string target = resolved;
      std::free(resolved);
      return target;
    }
  }
  return path;
}

// One fixed name per file, so a kill leaves at most one behind.
std::string temporaryFor(const std::string& target) { return target + ".tmp"; }

}  // namespace

void discardTemporaryFile(const std::string& path) {
  if (!path.empty()) ::unlink(temporaryFor(replacedFile(path)).c_str());
}

void writeFileAtomically(const std::string& path, std::string_view content, FilePermissions permissions) {
  if (path.empty()) raisePlatform(errnum::PathNotFound);
  const std::string target = replacedFile(path);
  struct stat st {};
  bool exists = false;
  if (::stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) raisePlatform(errnum::PathFileAccess);
    // A file the user made read-only is not replaced behind their back.
    if (::access(target.c_str(), W_OK) != 0) raiseErrno(errno);
    exists = true;
  }
  const mode_t mode =
      exists && permissions == FilePermissions::KeepExisting ? (st.st_mode & 07777) : newFileMode();

  // Whatever a killed write left under the name goes first; O_EXCL with
  // O_NOFOLLOW then makes sure the file written is a new one of our own.
  const std::string tempName = temporaryFor(target);
  if (::unlink(tempName.c_str()) != 0 && errno != ENOENT) raiseErrno(errno);
  const int fd = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) raiseErrno(errno);

  const detail::AtomicWriteCalls& calls = detail::gCalls;
  const detail::WriteCall writeCall = calls.write ? calls.write : &::write;
  const detail::FsyncCall fsyncCall = calls.fsync ? calls.fsync : &::fsync;
  const detail::RenameCall renameCall = calls.rename ? calls.rename : &::rename;

  int failure = 0;
  if (::fchmod(fd, mode) != 0) failure = errno;
  const char* data = content.data();
  std::size_t left = content.size();
  while (failure == 0 && left > 0) {
    const ssize_t n = writeCall(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      failure = errno;
    } else if (n == 0) {
      failure = ENOSPC;
    } else {
      data += n;
      left -= static_cast<std::size_t>(n);
    }
  }
  // The content must be on the disk before the name points at it.
  if (failure == 0 && fsyncCall(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && renameCall(tempName.c_str(), target.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(tempName.c_str());
    raiseErrno(failure);
  }

  // Make the rename itself durable. Some file systems refuse fsync on a
  // folder (EINVAL); only a real I/O failure is reported.
  const int dirFd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    const int rc = fsyncCall(dirFd);
    const int err = errno;
    closeQuietly(dirFd);
    if (rc != 0 && err == EIO) raisePlatform(errnum::DeviceIO);
  }
}

// ---- reading -------------------------------------------------------------------

bool readFileBytes(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    raiseErrno(errno);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    closeQuietly(fd);
    raiseErrno(err);
  }
  if (S_ISDIR(st.st_mode)) {
    closeQuietly(fd);
    raisePlatform(errnum::PathFileAccess);
  }

  bytes.clear();
  if (S_ISREG(st.st_mode) && st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      closeQuietly(fd);
      raiseErrno(err);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  closeQuietly(fd);
  return true;
}

bool readTextFile(const std::string& path, std::string& out) {
  std::string bytes;
  if (!readFileBytes(path, bytes)) return false;
  std::string_view text = bytes;
  if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  out = isValidUtf8(text) ? std::string(text) : cp1252ToUtf8(text);
  return true;
}

bool FileHelper::PathExists(std::string_view name) {
  if (name.empty()) return false;
  const std::string path(name);
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

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

// CR LF, a lone LF and a lone CR each end a line: the same three that
// flattenLineBreaks turns into a blank on writing.
void ProfileFile::parse(const std::string& text) {
  sections_.clear();
  sectionIndex_.clear();
  bool anyText = false;
  bool anyHeader = false;
  Section* current = nullptr;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++pos;

    const std::string_view trimmed = trimBlanks(line);
    if (trimmed.empty()) continue;
    anyText = true;
    if (trimmed.front() == ';') continue;
    if (trimmed.front() == '[') {
      if (trimmed.back() != ']' || trimmed.size() < 2) {
        current = nullptr;  // a broken header: its keys belong to no section
        continue;
      }
      anyHeader = true;
      current = &sectionFor(trimBlanks(trimmed.substr(1, trimmed.size() - 2)));  // a repeated one adds to the first
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos || !current) continue;
    const std::string_view key = trimBlanks(line.substr(0, eq));
    if (key.empty()) continue;
    // The first of a repeated key wins.
    if (!current->findKey(key)) current->add(std::string(key), std::string(line.substr(eq + 1)));
  }
  noSectionHeader_ = anyText && !anyHeader;
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
  return e ? parseLong(e->value) : def;
}

void ProfileFile::Commit() const {
  if (fileName_.empty()) raise(errnum::NoFilename, "Need to specify a filename.");
  writeFileAtomically(fileName_, Render());
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
