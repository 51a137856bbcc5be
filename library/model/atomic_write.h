// Internal to the library: the system calls behind writeFileAtomically.
//
// Tests replace them to make a write fail part-way through (a full disk, an
// I/O error) and check that the old file stays as it was and that no
// temporary file is left behind, or to record the order of the steps.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace orlendo::detail {

// Same contracts as POSIX write(2), fsync(2) and rename(2).
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);
using FsyncCall = int (*)(int fd);
using RenameCall = int (*)(const char* from, const char* to);

// A null member means the ordinary system call.
struct AtomicWriteCalls {
  WriteCall write = nullptr;
  FsyncCall fsync = nullptr;  // called for the temporary file, then for its folder
  RenameCall rename = nullptr;
};

// Replaces the calls used for every following atomic write; {} restores
// the ordinary ones.
void setAtomicWriteCalls(const AtomicWriteCalls& calls) noexcept;
// Replaces the write call only (the others become the ordinary ones).
void setAtomicWriteCall(WriteCall call) noexcept;

}  // namespace orlendo::detail
