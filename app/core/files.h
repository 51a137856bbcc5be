// Plain questions about files that the batch run and the file commands both ask.
#pragma once

#include <string_view>

namespace tvx {

// True when `path` names an existing regular file: the exact path, never a
// pattern; a folder does not count.
bool FileExists(std::string_view path);

}  // namespace tvx
