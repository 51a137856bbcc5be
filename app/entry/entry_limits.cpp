#include "entry/entry_limits.h"

#include <cmath>
#include <initializer_list>

#include "orlendo/numbers.h"
#include "core/report_columns.h"

namespace tvx {

namespace {

FieldFit fitIn(const std::string& text, const ReportColumn& column) {
  if (text.size() > column.width) return FieldFit::Cut;
  return text.size() == column.width ? FieldFit::Fills : FieldFit::Fits;
}

// The largest positive value the column shows whole: all nines, as many
// integer digits as the width allows.
std::string largestShown(const ReportColumn& column) {
  std::string best;
  for (int digits = 1; digits <= 15; ++digits) {
    const double value = std::pow(10.0, digits) - std::pow(10.0, -column.pattern.decimals);
    const std::string text = orlendo::format(value, column.pattern);
    if (text.size() > column.width) break;
    best = text;
  }
  return best;
}

// The worst fit of `value` over the fields that show it.
void check(std::vector<ValueFit>& out, EntryValue what, std::initializer_list<std::pair<double, ReportColumn>> shown) {
  ValueFit worst{what, FieldFit::Fits, {}, {}};
  for (const auto& [value, column] : shown) {
    const std::string text = orlendo::format(value, column.pattern);
    const FieldFit fit = fitIn(text, column);
    if (fit > worst.fit) worst = ValueFit{what, fit, text, largestShown(column)};
  }
  if (worst.fit != FieldFit::Fits) out.push_back(std::move(worst));
}

std::string valueName(EntryValue what) {
  switch (what) {
    case EntryValue::Shares: return "number of shares";
    case EntryValue::Cost: return "cost";
    case EntryValue::CostPerShare: return "cost per share";
    case EntryValue::Proceeds: return "proceeds";
  }
  return {};
}

}  // namespace

std::vector<ValueFit> EntryValueFits(double shares, double cost, bool isBuy, std::optional<double> proceeds) {
  std::vector<ValueFit> out;
  const double held = std::fabs(shares);
  // The Summary shows the holding; the Detailed report the change (a sell
  // with its minus sign) and the holding.
  check(out, EntryValue::Shares,
        {{held, kSummaryShares}, {isBuy ? held : -held, kDetailShares}, {held, kDetailShares}});
  if (isBuy) {
    check(out, EntryValue::Cost, {{cost, kSummaryBasis}, {cost, kDetailBasis}});
    if (held > 0) {
      const double perShare = cost / held;
      check(out, EntryValue::CostPerShare, {{perShare, kSummaryPerShare}, {perShare, kDetailPerShare}});
    }
  } else if (proceeds) {
    check(out, EntryValue::Proceeds, {{*proceeds, kSummaryBasis}, {*proceeds, kDetailBasis}});
  }
  return out;
}

ValueFit BeyondAnyField(EntryValue what, std::string text) {
  const ReportColumn& tightest = what == EntryValue::Shares                                   ? kSummaryShares
                                 : what == EntryValue::Cost || what == EntryValue::Proceeds ? kSummaryBasis
                                                                                              : kDetailPerShare;
  return ValueFit{what, FieldFit::Cut, std::move(text), largestShown(tightest)};
}

std::string CutValueMessage(const ValueFit& value, bool added) {
  return "The " + valueName(value.what) + " of this entry, " + value.shown +
         ", is too large for the reports: their columns show at most " + value.largest +
         ", and a larger value would push the columns after it out of line.\r\n\r\nThe entry was not " + (added ? "added." : "changed.");
}

std::string FullFieldQuestion(const ValueFit& value) {
  return "The " + valueName(value.what) + " of this entry, " + value.shown +
         ", fills its whole column in the reports and will stand right against the column before it."
         "\r\n\r\nDo you want to keep it?";
}

}  // namespace tvx
