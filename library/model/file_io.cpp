// File I/O: whole-file reads, the atomic write and its error numbers.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "model/atomic_write.h"
#include "orlendo/error.h"
#include "orlendo/profile_file.h"

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

[[noreturn]] void raiseErrno(int err) { raisePlatform(numberOfSystemError(err)); }

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

bool FileHelper::PathExists(std::string_view name) {
  if (name.empty()) return false;
  const std::string path(name);
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace orlendo
