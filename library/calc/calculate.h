// The calculation driver: replays an investor's buys, sells and the
// history from a start day to a stop day inclusive.
#pragma once

#include "history/schedule.h"
#include "orlendo/model.h"
#include "orlendo/progress.h"

namespace orlendo {

// How the calculation reads a buy's or sell's shares: as shown (a type
// mismatch when not numeric, an overflow beyond range).
double entryShares(const BuySell& entry);

// Told of everything the walk posts, in the walk's order: each buy or sell
// as its transaction is added (with its shares and day as the walk read
// them), each event leg and split after its postings.
class WalkObserver : public history::PostingObserver {
 public:
  virtual void entryPosted(const Security& security, const BuySell& entry, const Xaction& posted, double shares,
                           Date day) = 0;
};

void calculateInvestor(Investor& investor, Date start, Date stop, ProgressObserver* observer,
                       WalkObserver* walk = nullptr);

}  // namespace orlendo
