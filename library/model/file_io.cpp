// File I/O: whole-file reads, the atomic write and its error numbers.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/atomic_write.h"
#include "orlendo/error.h"
#include "orlendo/profile_file.h"

namespace orlendo {

namespace detail {
namespace {
AtomicWriteCalls gCalls;

int exchangeNames(const char* a, const char* b) { return ::renameat2(AT_FDCWD, a, AT_FDCWD, b, RENAME_EXCHANGE); }
}  // namespace

void setAtomicWriteCalls(const AtomicWriteCalls& calls) noexcept { gCalls = calls; }
void setAtomicWriteCall(WriteCall call) noexcept { gCalls = AtomicWriteCalls{call}; }
}  // namespace detail

namespace {

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

detail::WriteCall writeCall() { return detail::gCalls.write ? detail::gCalls.write : &::write; }
detail::FsyncCall fsyncCall() { return detail::gCalls.fsync ? detail::gCalls.fsync : &::fsync; }
detail::RenameCall renameCall() { return detail::gCalls.rename ? detail::gCalls.rename : &::rename; }
detail::CloseCall closeCall() { return detail::gCalls.close ? detail::gCalls.close : &::close; }
detail::ExchangeCall exchangeCall() {
  return detail::gCalls.exchange ? detail::gCalls.exchange : &detail::exchangeNames;
}

// The file a write of `path` replaces: the file a symbolic link leads to,
// or `path` itself (a plain file, a new name, or a link that leads nowhere).
std::string replacedFile(const std::string& path, bool followLinks = true) {
  struct stat st {};
  if (followLinks && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      std::string target = resolved;
      std::free(resolved);
      return target;
    }
  }
  return path;
}

// `<name>.tmp` in the same folder. A name too long for that keeps as much
// of itself as fits, then a fixed mark of the whole name, so each file still
// has one temporary name of its own.
std::string temporaryFor(const std::string& target) {
  constexpr std::size_t kNameMax = NAME_MAX;
  constexpr std::string_view kSuffix = ".tmp";
  const auto slash = target.find_last_of('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::string_view name = std::string_view(target).substr(nameStart);
  if (name.size() + kSuffix.size() <= kNameMax) return target + std::string(kSuffix);
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (const unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
  char mark[18];
  std::snprintf(mark, sizeof mark, "~%016llx", static_cast<unsigned long long>(hash));
  std::size_t keep = kNameMax - kSuffix.size() - (sizeof mark - 1);
  while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;  // whole characters only
  return target.substr(0, nameStart) + std::string(name.substr(0, keep)) + mark + std::string(kSuffix);
}

[[noreturn]] void refuse(long number, const std::string& path, const std::string& why) {
  raiseMessage(number, path, path + why);
}

// What is at the name a write replaces, checked before anything is written.
struct Replaced {
  bool nameTaken = false;  // something (a file or a link) is at the name
  bool exists = false;     // a regular file is at the name (or where the link leads)
  mode_t mode = 0;
};

Replaced inspect(const std::string& path, const std::string& target, const WriteOptions& options) {
  Replaced r;
  struct stat own {};
  if (::lstat(target.c_str(), &own) != 0) {
    if (errno == ENOENT) return r;
    raiseSystemError(errno, path);
  }
  r.nameTaken = true;
  if (options.ownFileOnly && own.st_uid != ::geteuid()) refuse(errnum::PermissionDenied, path, " belongs to another user.");
  struct stat st {};
  if (S_ISLNK(own.st_mode)) {
    // A link the write does not follow, or one that leads nowhere: replaced itself.
    if (!options.followLinks || ::stat(target.c_str(), &st) != 0) return r;
  } else {
    st = own;
  }
  if (!S_ISREG(st.st_mode)) refuse(errnum::PathFileAccess, path, " is not a regular file.");
  // A file made read-only is not replaced behind its owner's back, also not
  // by the superuser, whom access(2) would let through.
  const bool writable = st.st_uid == ::geteuid() ? (st.st_mode & S_IWUSR) != 0
                        : ::geteuid() == 0       ? (st.st_mode & 0222) != 0
                                                 : ::access(target.c_str(), W_OK) == 0;
  if (!writable) raisePlatform(errnum::PermissionDenied);
  r.exists = true;
  r.mode = st.st_mode & 07777;
  return r;
}

mode_t modeFor(const Replaced& r, const WriteOptions& options) {
  switch (options.permissions) {
    case FilePermissions::Explicit: return static_cast<mode_t>(options.mode) & 07777;
    case FilePermissions::Private: return r.exists ? r.mode : 0600;
    case FilePermissions::KeepExisting: break;
  }
  return r.exists ? r.mode : newFileMode();
}

// Makes a rename durable. Some file systems refuse fsync on a folder
// (EINVAL); only a real I/O failure counts. Returns the failure's errno.
int syncFolderOf(const std::string& target) {
  const int dirFd = ::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return 0;
  const int rc = fsyncCall()(dirFd);
  const int err = errno;
  closeQuietly(dirFd);
  return rc != 0 && err == EIO ? EIO : 0;
}

}  // namespace

// ---- atomic write ------------------------------------------------------------

void detail::checkReplaceable(const std::string& path, const WriteOptions& options) {
  if (path.empty()) raisePlatform(errnum::PathNotFound);
  inspect(path, replacedFile(path, options.followLinks), options);
}

void discardTemporaryFile(const std::string& path) {
  if (!path.empty()) ::unlink(temporaryFor(replacedFile(path)).c_str());
}

StagedFile::StagedFile(const std::string& path, std::string_view content, const WriteOptions& options) {
  if (path.empty()) raisePlatform(errnum::PathNotFound);
  target_ = replacedFile(path, options.followLinks);
  const Replaced replaced = inspect(path, target_, options);
  nameTaken_ = replaced.nameTaken;
  const mode_t mode = modeFor(replaced, options);

  // Whatever a killed write left under the name goes first; O_EXCL with
  // O_NOFOLLOW then makes sure the file written is a new one of our own.
  temp_ = temporaryFor(target_);
  if (::unlink(temp_.c_str()) != 0 && errno != ENOENT) raiseSystemError(errno, path);
  const int fd = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    const int err = errno;
    struct stat folder {};
    // A folder that is there but takes no files (as under /proc) is not a path not found.
    if (err == ENOENT && ::stat(folderOf(target_).c_str(), &folder) == 0 && S_ISDIR(folder.st_mode))
      refuse(errnum::PathFileAccess, path, " cannot be created: its folder takes no new files.");
    raiseSystemError(err, path);
  }

  int failure = 0;
  if (::fchmod(fd, mode) != 0) failure = errno;
  const char* data = content.data();
  std::size_t left = content.size();
  while (failure == 0 && left > 0) {
    const ssize_t n = writeCall()(fd, data, left);
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
  if (failure == 0 && fsyncCall()(fd) != 0) failure = errno;
  if (closeCall()(fd) != 0 && failure == 0) failure = errno;  // a delayed write error
  if (failure != 0) {
    ::unlink(temp_.c_str());
    state_ = State::Done;
    raiseSystemError(failure, path);
  }
}

StagedFile::StagedFile(StagedFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      state_(other.state_),
      nameTaken_(other.nameTaken_),
      exchanged_(other.exchanged_) {
  other.state_ = State::Done;
}

StagedFile::~StagedFile() {
  if (state_ == State::Staged) ::unlink(temp_.c_str());
  else if (state_ == State::Placed) revert();
}

void StagedFile::place() {
  if (state_ != State::Staged) return;
  int failure = 0;
  if (nameTaken_) {
    if (exchangeCall()(temp_.c_str(), target_.c_str()) == 0) {
      exchanged_ = true;
    } else if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) {
      // No exchange on this file system: the old file cannot be kept aside.
      if (renameCall()(temp_.c_str(), target_.c_str()) != 0) failure = errno;
    } else {
      failure = errno;
    }
  } else if (renameCall()(temp_.c_str(), target_.c_str()) != 0) {
    failure = errno;
  }
  if (failure != 0) {
    ::unlink(temp_.c_str());
    state_ = State::Done;
    raiseSystemError(failure, target_);
  }
  state_ = State::Placed;
  if (syncFolderOf(target_) != 0) {
    revert();
    raisePlatform(errnum::DeviceIO);
  }
}

void StagedFile::revert() noexcept {
  if (state_ != State::Placed) return;
  state_ = State::Done;
  if (exchanged_) {
    if (exchangeCall()(temp_.c_str(), target_.c_str()) == 0) ::unlink(temp_.c_str());
  } else if (!nameTaken_) {
    ::unlink(target_.c_str());
  }
}

void StagedFile::keep() noexcept {
  if (state_ != State::Placed) return;
  state_ = State::Done;
  if (exchanged_) ::unlink(temp_.c_str());  // the replaced file
}

void placeTogether(std::span<StagedFile> files) {
  std::size_t placed = 0;
  try {
    for (; placed < files.size(); ++placed) files[placed].place();
  } catch (...) {
    while (placed > 0) files[--placed].revert();
    throw;
  }
  for (StagedFile& f : files) f.keep();
}

void writeFileAtomically(const std::string& path, std::string_view content, const WriteOptions& options) {
  StagedFile file(path, content, options);
  file.place();
  file.keep();
}

// ---- reading -------------------------------------------------------------------

bool readFileBytes(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    raiseSystemError(errno, path);
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    closeQuietly(fd);
    raiseSystemError(err, path);
  }
  if (S_ISDIR(st.st_mode)) {
    closeQuietly(fd);
    raisePlatform(errnum::PathFileAccess);
  }

  // Read straight into the string: a regular file's size and one byte more,
  // so that the read that meets its end fits too; a file that grows meanwhile
  // or has no size (a pipe, a device) in room that doubles.
  bytes.assign(S_ISREG(st.st_mode) && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096, '\0');
  std::size_t have = 0;
  for (;;) {
    if (have == bytes.size()) bytes.resize(2 * bytes.size());
    const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
    if (n < 0) {
      const int err = errno;
      if (err == EINTR) continue;
      bytes.resize(have);
      closeQuietly(fd);
      raiseSystemError(err, path);
    }
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  bytes.resize(have);
  closeQuietly(fd);
  return true;
}

bool FileHelper::PathExists(std::string_view name) {
  if (name.empty()) return false;
  const std::string path(name);
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace orlendo
