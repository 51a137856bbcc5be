// Which transactions the Detailed report lists, and in what order. The CSV
// export walks the same selection, so that its lines reconcile one by one
// with the printed audit trail.
#pragma once

#include <optional>

#include "orlendo/dates.h"
#include "orlendo/model.h"
#include "orlendo/transactions.h"

namespace tvx {

// Securities in catalogue order; `onSecurity(security, counter)` for each
// one that holds transactions, `counter` being its place among all
// securities (from 1, those without transactions counted too). Then
// `onXaction(xaction, date)` for each of its transactions in the
// order the calculation posted them, except those dated after `stop`; the
// transaction is valid during the call only.
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
    // Read in place: no object is built for a transaction the calculation keeps compact.
    orlendo::visitXactions(*xactions, [&](const orlendo::Xaction& x) {
      const std::optional<orlendo::Date> day = x.XActionDay();
      const orlendo::Date date = day ? *day : orlendo::readDate(x.XActionDate());
      if (date > stop) return;
      onXaction(x, date);
    });
  }
}

}  // namespace tvx
