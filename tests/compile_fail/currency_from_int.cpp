// Must not compile: an int count is usually a unit mix-up (cents, dollars).
#include <cstdint>

#include "orlendo/numbers.h"

int main() {
#ifdef TVX_CONTROL
  return static_cast<int>(orlendo::Currency::fromTicks(std::int64_t{1}).ticks());
#else
  return static_cast<int>(orlendo::Currency::fromTicks(1).ticks());
#endif
}
