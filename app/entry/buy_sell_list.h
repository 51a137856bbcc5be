// The buy/sell list of the input window: the in-memory rows of the security
// shown, kept in date order, the lines of the list box, and the security's
// BuySells collection rebuilt from the rows after every change.
//
// The collection written here is what the data file stores and what the
// calculation replays, so its order (ascending by date, ties in entry order)
// and its keys ("yyyy/mm/dd-index") matter beyond this window.
//
// Errors inside these procedures leave them as an EntryError that carries the
// location text of the procedure where they happened ("dc_frmIP.<name>", a
// carriage return and the error's source); the window routes it to the error
// path of the program.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/ports.h"
#include "orlendo/model.h"

namespace tvx {

// One buy or sell of the security shown.
struct BuySellRow {
  std::string SortKey;      // the date as "yyyy/mm/dd"
  std::string XActionDate;  // the date as entered, "mm/dd/yyyy"
  std::string Kind;         // "Buy " (four characters) or "Sell"; empty in the placeholder
  bool IsBuy = false;
  std::string ChgCost;      // total cost of a buy; "0" for a sell entered in the window
  std::string ChgShrs;      // number of shares
  std::string Proceeds;     // a sell's proceeds; empty: none (always for a buy)
  std::string ListLine;     // XActionDate + " " + Kind

  // The one all-empty row that stands for a security without buys and sells.
  bool isPlaceholder() const { return Kind.empty(); }
};

using BuySellRowArray = std::vector<BuySellRow>;

// The row array of a security without buys and sells: exactly one empty row.
BuySellRowArray PlaceholderRows();

inline constexpr std::string_view kBuyKind = "Buy ";
inline constexpr std::string_view kSellKind = "Sell";

// What a list box shows: its lines and the selected one (-1: none).
struct ListBoxLines {
  std::vector<std::string> lines;
  int selected = -1;

  void clear() {
    lines.clear();
    selected = -1;
  }
  bool hasSelection() const { return selected >= 0 && selected < static_cast<int>(lines.size()); }
};

// A failure inside the list or window procedures, with the location text of
// the procedure that caught it.
class EntryError : public std::runtime_error {
 public:
  EntryError(long number, std::string description, std::string location)
      : std::runtime_error(description), number_(number), description_(std::move(description)),
        location_(std::move(location)) {}
  long number() const noexcept { return number_; }
  const std::string& description() const noexcept { return description_; }
  const std::string& location() const noexcept { return location_; }

 private:
  long number_;
  std::string description_;
  std::string location_;
};

// Converts the exception in flight into an EntryError located in `procedure`
// ("dc_frmIP." + procedure + CR + source); an EntryError passes unchanged.
// Call only inside a catch block.
[[noreturn]] void rethrowAsEntryError(std::string_view procedure);

// "yyyy/mm/dd" for date text; other text is kept as it is.
std::string SortKeyOf(std::string_view dateText);

// The text of -|shares| for numeric text ("100.00000" gives "-100").
std::string NegativeSharesText(std::string_view sharesText);

// Builds `rows` from the collection, sorts them, fills the list and replaces
// `buySells` by the collection rebuilt in sorted order. An empty collection
// gives the placeholder and leaves the list and the collection alone.
void InitializeBuySellsArray(BuySellRowArray& rows, orlendo::BuySellsPtr& buySells, ListBoxLines& list);

// Stable ascending sort by SortKey (plain character comparison).
void SortBuySellsArray(BuySellRowArray& rows);

// Clears the list and adds every row's ListLine in array order.
void MoveBuySellsArray2LstBox(const BuySellRowArray& rows, ListBoxLines& list);

// Sorts the rows and replaces `buySells` by a new collection with one BuySell
// per row: code and key SortKey + "-" + index; a sell is always stored with
// negative shares.
void MoveBuySellArray2Collection(BuySellRowArray& rows, orlendo::BuySellsPtr& buySells);

enum class ListEditMode { Add = 1, Change = 2 };

// What the list shows of a row, column by column: the date, "Buy" or
// "Sell", the shares, and the cost of a buy or the proceeds of a sell.
struct BuySellColumns {
  std::string date, kind, shares, cost;
  bool operator==(const BuySellColumns&) const = default;
};
inline constexpr std::array<std::string_view, 4> kBuySellHeadings{"Date", "Type", "Shares", "Cost"};
BuySellColumns ListColumns(const BuySellRow& row);
// The columns of every listed row, in the list's order (the placeholder is not listed).
std::vector<BuySellColumns> ListColumns(const BuySellRowArray& rows);

// Adds a row built from `buySell` (Add) or replaces the selected row
// (Change; without a selected line it shows the "SUGGESTION" message and
// changes nothing). An entry whose shares, cost or date do not read is never
// stored. Returns true when the rows and the collection changed.
bool AddBuySellArrayItem(const orlendo::BuySell& buySell, BuySellRowArray& rows, bool isBuy, ListBoxLines& list,
                         orlendo::BuySellsPtr& buySells, ListEditMode mode, MessageBox& messages);

// Deletes the selected row after the "WARNING" question. Deleting the only
// row leaves the placeholder, an empty list, a new empty collection and a new
// scratch record in `buySell`. Returns true when a row was deleted.
bool DeleteBuySellArrayItem(orlendo::BuySellPtr& buySell, BuySellRowArray& rows, bool isBuy, ListBoxLines& list,
                            orlendo::BuySellsPtr& buySells, MessageBox& messages);

// The entry checks of a buy or sell, in the order they are made: the
// proceeds, when given, must be an amount of at least 0.00.
enum class EntryCheck { Cost, Shares, Date, Proceeds };

// The failing checks of a scratch record, in check order (empty: all pass).
std::vector<EntryCheck> FailingEntryChecks(const orlendo::BuySell& buySell);

inline constexpr std::string_view kEntryCheckTitle = "WARNING!";

// The "WARNING!" text of a failed check, with the value the user entered.
std::string EntryCheckMessage(EntryCheck check, std::string_view value);

}  // namespace tvx
