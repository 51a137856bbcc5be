// The start-up peer of the batch run: a program that does nothing, linked to
// the same libraries as tvxdesk (Orlendo and the C++ runtime) and loaded the
// same way, so that the difference is the batch run's own work.
#include "orlendo/numbers.h"

int main() { return orlendo::isNumericText("0") ? 0 : 1; }
