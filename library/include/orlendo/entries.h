// The user's buys and sells as the calculation reads them: which entry does
// not read, found before a calculation runs, or named by the calculation
// that failed on it.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "orlendo/error.h"
#include "orlendo/model.h"

namespace orlendo {

// What is wrong with an entry's proceeds: nothing (or none given), not an
// amount (or beyond the range of one), below 0.00, or given on a buy.
enum class ProceedsFault { none, notAmount, negative, onBuy };

ProceedsFault proceedsFault(const BuySell& entry, bool isBuy);

// An entry whose text the calculation cannot convert.
struct EntryFault {
  std::string security;  // the security's name, which is also its section in the data file
  long entry = 0;        // position in the security's list, from 1
  std::string field;     // "Shares", "Date", "Cost" or "Proceeds", the key of the value in the data file
  std::string text;      // the text as the entry holds it
  ProceedsFault proceeds = ProceedsFault::none;  // why, when the field is "Proceeds"
  bool operator==(const EntryFault&) const = default;
};

// The failure of a calculation on one of the user's entries. Number, source
// trail and description are those the calculation raised.
class EntryError : public Error {
 public:
  EntryError(const Error& raised, EntryFault fault) : Error(raised), fault_(std::move(fault)) {}
  const EntryFault& fault() const noexcept { return fault_; }

 private:
  EntryFault fault_;
};

// The first entry (catalogue order, then entry order) whose shares or date
// text does not read the way the calculation reads it on its first day (a
// calculation of any range fails on exactly such an entry), or whose
// proceeds are damaged: not an amount, below 0.00, or given on a buy. None:
// the investor passes.
std::optional<EntryFault> findUnreadableEntry(const Investor& investor);

}  // namespace orlendo
