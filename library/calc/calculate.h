// The calculation driver: replays an investor's buys, sells and the
// history from a start day to a stop day inclusive.
#pragma once


#include "orlendo/model.h"
#include "orlendo/progress.h"

namespace orlendo {

void calculateInvestor(Investor& investor, Date start, Date stop, ProgressObserver* observer);

}  // namespace orlendo
