// Internal to the library: the write call behind writeFileAtomically.
//
// Tests replace it to make a write fail part-way through (a full disk, an
// I/O error) and check that the old file stays as it was and that no
// temporary file is left behind.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace orlendo::detail {

// Same contract as POSIX write(2): bytes written, or -1 with errno set.
using WriteCall = ssize_t (*)(int fd, const void* data, std::size_t size);

// Replaces the write call used for every following atomic write; nullptr
// restores the ordinary write(2).
void setAtomicWriteCall(WriteCall call) noexcept;

}  // namespace orlendo::detail
