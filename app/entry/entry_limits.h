// How a buy's or sell's numbers fit the report fields that will show them.
// A value wider than its field is cut by the reports and then reads as a
// different, plausible number; such a value is refused at entry. A value
// that fills its field to the first character fits, but runs into the
// field before it, so the window asks before taking it.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tvx {

enum class EntryValue { Shares, Cost, CostPerShare, Proceeds };
enum class FieldFit { Fits, Fills, Cut };

struct ValueFit {
  EntryValue what;
  FieldFit fit;
  std::string shown;    // the value as the tightest field shows it
  std::string largest;  // the largest value that field shows whole
};

// The entry's values that do not simply fit, worst field first per value:
// the shares (with their sign for a sell), for a buy the cost and the cost
// per share, for a sell its proceeds when given (the basis columns' limits).
// Empty when every value fits with room to spare.
std::vector<ValueFit> EntryValueFits(double shares, double cost, bool isBuy,
                                     std::optional<double> proceeds = std::nullopt);

// A value too large to read as a number at all ("1e400"): cut, whatever the field.
ValueFit BeyondAnyField(EntryValue what, std::string text);

// The refusal of a value that would be cut; `added`: the entry was being
// added (else changed).
std::string CutValueMessage(const ValueFit& value, bool added);
// The question for a value that fills its field.
std::string FullFieldQuestion(const ValueFit& value);

}  // namespace tvx
