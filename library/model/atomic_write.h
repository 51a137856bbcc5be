// Internal to the library: the system calls behind the atomic writes, and
// the checks they make before anything is written.
//
// Tests replace the calls to make a write fail part-way through (a full
// disk, an I/O error, a close that reports a delayed write error) and check
// that the old file stays as it was and that no temporary file is left
// behind, or to record the order of the steps.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

#include "orlendo/profile_file.h"

namespace orlendo::detail {

// Same contracts as POSIX write(2), fsync(2), rename(2) and close(2); the
// exchange swaps two existing names as renameat2(2) with RENAME_EXCHANGE.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
using FsyncCall = int (*)(int fd);
using RenameCall = int (*)(const char* from, const char* to);
using CloseCall = int (*)(int fd);
using ExchangeCall = int (*)(const char* a, const char* b);

// A null member means the ordinary system call.
struct AtomicWriteCalls {
  WriteCall write = nullptr;
  FsyncCall fsync = nullptr;  // called for the temporary file, then for its folder
  RenameCall rename = nullptr;  // puts a file in place under a name that is free
  CloseCall close = nullptr;    // closes the temporary file
  ExchangeCall exchange = nullptr;  // puts a file in place of one that is there
};

// Replaces the calls used for every following atomic write; {} restores
// the ordinary ones.
void setAtomicWriteCalls(const AtomicWriteCalls& calls) noexcept;
// Replaces the write call only (the others become the ordinary ones).
void setAtomicWriteCall(WriteCall call) noexcept;

// Raises the error a staged write of `path` would raise in its checks (what
// is at the name, whose it is, its write bits) without writing anything.
void checkReplaceable(const std::string& path, const WriteOptions& options);

}  // namespace orlendo::detail
