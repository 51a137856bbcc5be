#include "model/arithmetic.h"

#include "orlendo/error.h"

namespace orlendo {

using namespace orlendo::literals;

namespace {

// The previous transaction's results, as the next one reads them.
struct Previous {
  double shares = 0;
  Currency cost;
  const Xaction* xaction = nullptr;
};

Previous previousOf(const Xaction* before) {
  Previous p;
  if (!before) return p;
  p.shares = before->NewShrsValue();
  p.cost = before->NewCostAmount();
  p.xaction = before;
  return p;
}

// The cash-or-stock side of a merger: cash received, fair value of the stock
// received, realized gain and the gain recognized (the smaller of cash and
// gain when the gain is more than a cent). Returns the change of basis.
Currency cashOrStockChange(Xaction& x, double chgShrs) {
  x.SourceCashRecd(asCurrency(x.SourcePricePerShr() * x.SourceShrs()));
  x.CashOrStk_FMVofStkRecd(asCurrency(x.CashOrStk_FMVperShare() * chgShrs).rounded(2));
  x.SourceGainRealized(x.SourceCashRecd() + x.CashOrStk_FMVofStkRecd() - x.SourceCost());
  if (x.SourceGainRealized() > 0.01_usd) {
    x.SourceGainRecog(x.SourceCashRecd() < x.SourceGainRealized() ? x.SourceCashRecd() : x.SourceGainRealized());
  } else {
    x.SourceGainRecog(Currency());
  }
  return x.SourceCost() + x.SourceGainRecog() - x.SourceCashRecd();
}

}  // namespace

void calcNewXAction(std::span<const XactionPtr> members) {
  calcNewXAction(*members.back(), members.size() < 2 ? nullptr : members[members.size() - 2].get());
}

void calcNewXAction(Xaction& x, const Xaction* before) {
  withTrail("XActions.CalcNewXAction", [&] {
    const Previous prev = previousOf(before);

    double chgShrs = 0;
    Currency chgCost;
    switch (x.XactionType()) {
      case XTransType::Buy:
        chgShrs = x.ChgShrsValue();
        chgCost = x.ChgCostAmount();
        break;
      case XTransType::sell:
        if (prev.xaction) {
          chgShrs = x.ChgShrsValue();
          const double prevCostPerShare = prev.xaction->NewCostPerShrAmount().toDouble();
          chgCost = asCurrency(prevCostPerShare * chgShrs);
        }
        break;
      case XTransType::Split:
        chgShrs = x.DistributionFactor() * prev.shares;
        break;
      case XTransType::spin_off_old:
        // The one kind whose change is rounded to cents before it is added.
        chgShrs = x.DistributionFactor() * x.SourceShrs();
        chgCost = asCurrency(x.SourceCost().toDouble() * x.AllocationFactor()).rounded(2);
        break;
      case XTransType::spin_off_new:
        chgShrs = x.DistributionFactor() * x.SourceShrs();
        chgCost = asCurrency(x.SourceCost().toDouble() * x.AllocationFactor());
        break;
      case XTransType::acq_old:
        chgShrs = x.DistributionFactor() * prev.shares;
        chgCost = inCurrency(prev.cost, x.AllocationFactor());
        break;
      case XTransType::acq_new:
        chgShrs = x.DistributionFactor() * x.SourceShrs();
        chgCost = inCurrency(x.SourceCost(), x.AllocationFactor());
        break;
      case XTransType::cash_or_stk:
        chgShrs = x.DistributionFactor() * x.SourceShrs();
        chgCost = cashOrStockChange(x, chgShrs);
        break;
      default:
        break;
    }

    // Each result is held as the value its text, rounded and formatted, reads back as.
    x.NewShrsValue(sharesAsShown(prev.shares + chgShrs));
    // The amounts are kept in cents by the transaction itself.
    x.NewCostAmount(prev.cost + chgCost);
    x.ChgShrsValue(sharesAsShown(chgShrs));
    x.ChgCostAmount(chgCost);
    x.NewCostPerShrAmount(costPerShare(x.NewCostAmount(), x.NewShrsValue()));
  });
}

double sharesAsShown(double shares) { return decimalValue(scaledRound(roundTo(shares, 5), 5), 5); }

Currency costPerShare(Currency cost, double shares) {
  return withTrail("XActions.CalcCostPerShr", [&] {
    if (shares <= 0.5) return Currency();
    // The five decimals of "##0.00000" read back as currency: to four, ties to even.
    const std::int64_t k = scaledRound(roundTo(cost.toDouble() / shares, 5), 5);
    return Currency::fromTicks(divideTiesToEven(k, 10));
  });
}

std::string describe(XTransType type) {
  switch (type) {
    case XTransType::Buy: return "Buy";
    case XTransType::sell: return "Sell";
    case XTransType::Split: return "Split";
    case XTransType::spin_off_old:
    case XTransType::spin_off_new: return "Spin off";
    case XTransType::acq_old:
    case XTransType::acq_new: return "Acquisition";
    case XTransType::cash_or_stk: return "Cash or stock";
    default: raise(errnum::SelectCase, std::string(kDefaultSource), "Select Case error");
  }
}

}  // namespace orlendo
