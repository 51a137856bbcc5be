// Status-bar notices that name files ("Saved to /home/ann/smith.qvx",
// "Reports written to 2 files: /home/ann/a.pdf and b.pdf"), made to fit.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tvx {

// `text` with the folders of the absolute paths it names (a "/" at its start
// or after a blank, up to ", ", " and " or the end) replaced by "…/", the
// first path first, until `fits` accepts the text. The file names stay.
std::string ElideFolders(std::string_view text, const std::function<bool(std::string_view)>& fits);

}  // namespace tvx
