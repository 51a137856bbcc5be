// The calculation driver: replays an investor's buys, sells and the
// history from a start day to a stop day inclusive.
#pragma once

#include <optional>

#include "orlendo/model.h"
#include "orlendo/progress.h"

namespace orlendo {

// How the calculation reads a buy or sell: its shares as shown (a type
// mismatch when not numeric, an overflow beyond range) and its day (none when
// the text names no day).
double entryShares(const BuySell& entry);
std::optional<Date> entryDate(const BuySell& entry);

void calculateInvestor(Investor& investor, Date start, Date stop, ProgressObserver* observer);

}  // namespace orlendo
