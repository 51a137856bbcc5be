// Which transactions the Detailed report lists, and in what order. The CSV
// export walks the same selection, so that its lines reconcile one by one
// with the printed audit trail.
#pragma once

#include <optional>

#include "orlendo/dates.h"
#include "orlendo/model.h"

namespace tvx {

// Securities in catalogue order; `onSecurity(security, counter)` for each
// one that holds transactions, `counter` being its place among all
// securities (from 1, those without transactions counted too). Then
// `onXaction(xaction, date)` for each of its transactions in the
// order the calculation posted them, except those dated after `stop`.
// A transaction date that does not read fails.
template <class OnSecurity, class OnXaction>
void ForEachListedTransaction(const orlendo::Investor& investor, orlendo::Date stop, OnSecurity&& onSecurity,
                              OnXaction&& onXaction) {
  long securityCounter = 0;
  const orlendo::SecuritiesPtr securities = investor.colSecurities();
  for (const orlendo::SecurityPtr& security : *securities) {
    ++securityCounter;
    const orlendo::XactionsPtr xactions = security->colXActions();
    if (!xactions || xactions->Count() == 0) continue;
    onSecurity(*security, securityCounter);
    for (const orlendo::XactionPtr& x : *xactions) {
      const std::optional<orlendo::Date> day = x->XActionDay();
      const orlendo::Date date = day ? *day : orlendo::readDate(x->XActionDate());
      if (date > stop) continue;
      onXaction(*x, date);
    }
  }
}

}  // namespace tvx
