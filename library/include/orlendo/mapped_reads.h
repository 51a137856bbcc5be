// Whether loading a data file may map a large file instead of copying it
// into memory (fewer pages touched). While the file is mapped, another
// program that cuts it short makes the reading process receive SIGBUS, so
// only a process that handles that signal turns this on; it is off at start.
#pragma once

namespace orlendo {

void allowMappedReads(bool allowed) noexcept;

}  // namespace orlendo
