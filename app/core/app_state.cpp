#include "core/app_state.h"

#include <string>

namespace tvx {

std::string makeVersionTag() {
  return "QVX" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

}  // namespace tvx
