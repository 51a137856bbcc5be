// Tax lots and the sales they give: every share carried from the day it was
// acquired through every split, spin-off and merger, and every disposition
// (a sell, a close-out, the cash of the Lumora merger) as the rows of a tax
// return, first in first out or at the pool's average basis.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orlendo/dates.h"
#include "orlendo/numbers.h"

namespace orlendo {

class Investor;
class ProgressObserver;

enum class LotMethod { fifo, average };
enum class SaleTerm { shortTerm, longTerm, unknown };
enum class SaleKind { sell, closeOut, worthless, mergerCash };

// "fifo" / "average"; none for any other text (exact, lower case).
std::optional<LotMethod> lotMethodFromText(std::string_view text);
std::string_view lotMethodText(LotMethod method);
std::string_view saleTermText(SaleTerm term);  // "short", "long" or ""
std::string_view saleKindText(SaleKind kind);  // "sell", "close-out", "worthless", "merger cash"

// One row of a tax return: a disposition's shares of one term.
struct SaleRow {
  std::string security;
  double shares = 0;                 // exact; shown to five decimals
  std::optional<Date> acquired;      // none: "VARIOUS" when `various`, else unknown (empty)
  bool various = false;
  Date sold{};
  std::optional<Currency> proceeds;  // cents; none: unknown
  Currency basis;                    // cents
  std::optional<Currency> gain;      // proceeds - basis; none when the proceeds are unknown
  SaleTerm term = SaleTerm::unknown;
  char box = 0;                      // 'A', 'B', 'D', 'E', or 0 for the unknown term
  SaleKind kind = SaleKind::sell;
};

// A lot still held when the walk ended.
struct HeldLot {
  std::string security;
  Date acquired{};
  double shares = 0;
  double basis = 0;  // exact, not rounded
};

// What one calculation's lot walk recorded: the dispositions under both
// methods and the lots left at the end.
class SalesRecord {
 public:
  virtual ~SalesRecord() = default;
  // The rows in their order (date sold, then the walk's order, then short,
  // long, unknown); a tax year keeps the rows sold in it.
  std::vector<SaleRow> rows(LotMethod method, std::optional<int> taxYear = std::nullopt) const;
  // The same rows one at a time, without keeping them all: `visit` sees each
  // row in that order (the row lives only for the call). Returns how many.
  virtual std::size_t forEachRow(LotMethod method, std::optional<int> taxYear,
                                 const std::function<void(const SaleRow&)>& visit) const = 0;
  // How many rows forEachRow gives for the method and year.
  virtual std::size_t rowCount(LotMethod method, std::optional<int> taxYear = std::nullopt) const = 0;
  virtual std::vector<HeldLot> heldLots() const = 0;
};

// Calculates the investor from `start` to `stop` as Investor::Calculate does
// (same transactions, same failures) and walks its lots along.
std::shared_ptr<const SalesRecord> calculateWithLots(Investor& investor, Date start, Date stop,
                                                     ProgressObserver* observer);

}  // namespace orlendo
