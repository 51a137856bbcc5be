// The arithmetic behind Xactions.Add: each transaction's results are
// computed once, when it is added, from the transaction before it.
#pragma once

#include <span>
#include <string>

#include "orlendo/model.h"

namespace orlendo {

// Computes the last member of `members` from the member before it.
void calcNewXAction(std::span<const XactionPtr> members);
// Computes `x` from the transaction before it (none for the first).
void calcNewXAction(Xaction& x, const Xaction* before);

// Basis per share: the "##0.00000" text of cost / shares read back as
// currency; 0 for half a share or less.
Currency costPerShare(Currency cost, double shares);
// Shares as "##,##0.00000" of round(shares, 5) reads back.
double sharesAsShown(double shares);

// The description of a transaction kind; error 422 for a kind outside Buy..cash_or_stk.
std::string describe(XTransType type);

}  // namespace orlendo
