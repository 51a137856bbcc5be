// Must not compile: a posting row with its shares ratio where its basis
// fraction goes.
#include "history/schedule.h"

using namespace orlendo::history;

#ifdef TVX_CONTROL
constexpr Posting kRow{"Quorvex", orlendo::XTransType::acq_new, BasisFraction{1.0}, SharesPerShare{0.5}};
#else
constexpr Posting kRow{"Quorvex", orlendo::XTransType::acq_new, SharesPerShare{0.5}, BasisFraction{1.0}};
#endif

int main() { return kRow.shares.value > 0 ? 0 : 1; }
