// What the model objects hold beyond their public interface.
#pragma once

#include <string>

#include "orlendo/model.h"

namespace orlendo {

// A buy or sell's shares and cost texts as they were set; the getters give
// numeric text formatted, and raise when it cannot be (an overflow).
std::string storedShares(const BuySell& entry);
std::string storedCost(const BuySell& entry);

// Appends a buy or sell of the calculation to `xactions`: what Add of a new
// transaction with the day, the kind, ChgShrsValue(shares) and, for a buy,
// ChgCostAmount(cost) does, kept compact until a caller asks for its
// object. Returns the transaction, valid until the next call.
const Xaction& addPosting(Xactions& xactions, Date day, bool buy, double shares, Currency cost);

// Makes room for `n` transactions in all.
void reservePostings(Xactions& xactions, std::size_t n);

// Sets every transaction's description from its kind.
void describeXactions(Xactions& xactions);

}  // namespace orlendo
