#include "core/files.h"

#include <filesystem>
#include <system_error>

namespace tvx {

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
  std::error_code ec;
  return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

}  // namespace tvx
