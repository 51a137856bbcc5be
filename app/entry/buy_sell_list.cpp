#include "entry/buy_sell_list.h"

#include <cmath>
#include <exception>
#include <utility>

#include "orlendo/dates.h"
#include "orlendo/entries.h"
#include "orlendo/error.h"
#include "orlendo/numbers.h"

namespace tvx {

namespace {

constexpr std::string_view kSuggestionTitle = "SUGGESTION";
constexpr std::string_view kDeleteTitle = "WARNING";

// Runs `body` so that any failure leaves it as an EntryError of `procedure`.
template <class F>
decltype(auto) located(std::string_view procedure, F&& body) {
  try {
    return std::forward<F>(body)();
  } catch (...) {
    rethrowAsEntryError(procedure);
  }
}

BuySellRow makeRow(std::string date, bool isBuy, std::string cost, std::string shares) {
  BuySellRow r;
  r.SortKey = SortKeyOf(date);
  r.XActionDate = std::move(date);
  r.IsBuy = isBuy;
  r.Kind = std::string(isBuy ? kBuyKind : kSellKind);
  r.ChgCost = std::move(cost);
  r.ChgShrs = std::move(shares);
  r.ListLine = r.XActionDate + " " + r.Kind;
  return r;
}

bool entryIsValid(const orlendo::BuySell& b) { return FailingEntryChecks(b).empty(); }

// Puts the edited rows `next` in place of `rows`, with the list box and the
// collection that follow from them. The collection is built aside and taken
// last, so a failure leaves the rows and the collection as they were.
void keepRows(BuySellRowArray& next, BuySellRowArray& rows, ListBoxLines& list, orlendo::BuySellsPtr& buySells) {
  orlendo::BuySellsPtr collection = buySells;
  MoveBuySellArray2Collection(next, collection);
  MoveBuySellsArray2LstBox(next, list);
  rows = std::move(next);
  buySells = std::move(collection);
}

}  // namespace

BuySellRowArray PlaceholderRows() { return BuySellRowArray(1); }

void rethrowAsEntryError(std::string_view procedure) {
  const std::string tag = "dc_frmIP." + std::string(procedure);
  try {
    throw;
  } catch (const EntryError&) {
    throw;
  } catch (...) {
    // Only an error of the library has a trail to go after the procedure.
    const orlendo::Error e = orlendo::errorInFlight("");
    throw EntryError(e.number(), e.description(), e.source().empty() ? tag : tag + "\r" + e.source());
  }
}

std::string SortKeyOf(std::string_view dateText) {
  if (auto d = orlendo::parseDate(dateText)) return orlendo::formatSortKey(*d);
  return std::string(dateText);
}

std::string NegativeSharesText(std::string_view sharesText) {
  // 0 - |x| rather than -|x|, so that a sell of no shares reads "0", not "-0".
  return orlendo::formatSignificant15(0.0 - std::fabs(orlendo::parseDouble(sharesText)));
}

void SortBuySellsArray(BuySellRowArray& rows) {
  located("SortBuySellsArray", [&] {
    if (rows.size() < 2) return;
    bool swapped = true;
    while (swapped) {
      swapped = false;
      for (std::size_t i = 0; i + 1 < rows.size(); ++i) {
        if (rows[i].SortKey > rows[i + 1].SortKey) {  // byte order; equal keys keep their order
          std::swap(rows[i], rows[i + 1]);
          swapped = true;
        }
      }
    }
  });
}

void MoveBuySellsArray2LstBox(const BuySellRowArray& rows, ListBoxLines& list) {
  located("MoveBuySellsArray2LstBox", [&] {
    list.clear();
    for (const auto& r : rows)
      if (!r.isPlaceholder()) list.lines.push_back(r.ListLine);
  });
}

void MoveBuySellArray2Collection(BuySellRowArray& rows, orlendo::BuySellsPtr& buySells) {
  located("MoveBuySellArray2Collection", [&] {
    // Built aside and put in place only when complete, so a failure leaves
    // the caller's collection as it was.
    auto fresh = orlendo::BuySells::create();
    if (!rows.empty()) {
      SortBuySellsArray(rows);
      for (std::size_t i = 0; i < rows.size(); ++i) {
        const BuySellRow& r = rows[i];
        if (r.isPlaceholder()) continue;
        std::string code = r.SortKey + "-" + std::to_string(i);
        std::string date = r.XActionDate;
        std::string cost = r.ChgCost;
        std::string shares = r.IsBuy ? r.ChgShrs : NegativeSharesText(r.ChgShrs);
        const std::string key = code;
        const auto entry = fresh->Add(code, date, cost, shares, key);
        if (!r.IsBuy && !r.Proceeds.empty()) entry->Proceeds(r.Proceeds);
      }
    }
    buySells = std::move(fresh);
  });
}

void InitializeBuySellsArray(BuySellRowArray& rows, orlendo::BuySellsPtr& buySells, ListBoxLines& list) {
  located("InitializeBuySellsArray", [&] {
    const long n = buySells ? buySells->Count() : 0;
    if (n < 1) {
      rows = PlaceholderRows();
      return;
    }
    BuySellRowArray built;
    built.reserve(static_cast<std::size_t>(n));
    for (long i = 1; i <= n; ++i) {
      const auto b = buySells->Item(i);
      double x = orlendo::parseDouble(b->ChgShrs());
      const bool isBuy = x >= 0;
      if (!isBuy) x = -x;
      built.push_back(makeRow(b->XActionDate(), isBuy, b->ChgCost(), orlendo::format(x, orlendo::kSharesPattern)));
      if (!isBuy) built.back().Proceeds = b->Proceeds();
    }
    SortBuySellsArray(built);
    MoveBuySellsArray2LstBox(built, list);
    MoveBuySellArray2Collection(built, buySells);
    rows = std::move(built);
  });
}

BuySellColumns ListColumns(const BuySellRow& row) {
  // A sell entered here holds its shares negative; the list shows the number sold.
  const std::string shares = orlendo::isNumericText(row.ChgShrs)
                                 ? orlendo::format(std::fabs(orlendo::parseDouble(row.ChgShrs)), orlendo::kSharesPattern)
                                 : row.ChgShrs;
  return {row.XActionDate, row.IsBuy ? "Buy" : "Sell", shares,
          orlendo::formatText(row.IsBuy ? row.ChgCost : row.Proceeds, orlendo::kAmountPattern)};
}

std::vector<BuySellColumns> ListColumns(const BuySellRowArray& rows) {
  std::vector<BuySellColumns> out;
  for (const auto& r : rows)
    if (!r.isPlaceholder()) out.push_back(ListColumns(r));
  return out;
}

bool AddBuySellArrayItem(const orlendo::BuySell& buySell, BuySellRowArray& rows, bool isBuy, ListBoxLines& list,
                         orlendo::BuySellsPtr& buySells, ListEditMode mode, MessageBox& messages) {
  return located("AddBuySellArrayItem", [&] {
    if (mode == ListEditMode::Change && !list.hasSelection()) {
      messages.show(kSuggestionTitle, "Please click on a transaction before attempting to change it.",
                    Icon::Information, Buttons::Ok);
      return false;
    }
    // The window checks every entry before it gets here; an entry that does
    // not read is refused rather than stored.
    if (!entryIsValid(buySell)) return false;

    BuySellRow r = isBuy ? makeRow(buySell.XActionDate(), true, buySell.ChgCost(), buySell.ChgShrs())
                         : makeRow(buySell.XActionDate(), false, "0", NegativeSharesText(buySell.ChgShrs()));
    if (!isBuy) r.Proceeds = buySell.Proceeds();  // a buy never keeps proceeds

    BuySellRowArray next = rows;
    if (mode == ListEditMode::Add) {
      if (next.size() == 1 && next[0].isPlaceholder())
        next[0] = std::move(r);
      else
        next.push_back(std::move(r));
    } else {
      const auto at = static_cast<std::size_t>(list.selected);
      if (at >= next.size() || next[at].isPlaceholder()) return false;
      next[at] = std::move(r);
    }
    SortBuySellsArray(next);
    keepRows(next, rows, list, buySells);
    return true;
  });
}

bool DeleteBuySellArrayItem(orlendo::BuySellPtr& buySell, BuySellRowArray& rows, bool /*isBuy*/, ListBoxLines& list,
                            orlendo::BuySellsPtr& buySells, MessageBox& messages) {
  return located("DeleteBuySellArrayItem", [&] {
    if (list.lines.empty() || !list.hasSelection()) return false;
    const std::string question =
        "Are you sure you want to delete the " + (buySell ? buySell->XActionDate() : std::string()) + " transaction?";
    if (messages.show(kDeleteTitle, question, Icon::Question, Buttons::YesNo) != Answer::Yes) return false;

    if (list.lines.size() < 2) {
      buySell = orlendo::BuySell::create();
      buySells = orlendo::BuySells::create();
      rows = PlaceholderRows();
      list.clear();
      return true;
    }
    const auto at = static_cast<std::size_t>(list.selected);
    if (at >= rows.size()) return false;
    BuySellRowArray next = rows;
    next.erase(next.begin() + static_cast<std::ptrdiff_t>(at));
    keepRows(next, rows, list, buySells);
    return true;
  });
}

std::vector<EntryCheck> FailingEntryChecks(const orlendo::BuySell& buySell) {
  // A value the record cannot even hand back (a number beyond any double)
  // fails its check like one that does not read.
  const auto passes = [](auto&& read, bool (*check)(std::string_view)) {
    try {
      return check(read());
    } catch (const orlendo::Error&) {
      return false;
    }
  };
  const auto numeric = [](std::string_view t) { return orlendo::isNumericText(t); };
  const auto date = [](std::string_view t) { return orlendo::isDateText(t); };
  std::vector<EntryCheck> failing;
  if (!passes([&] { return buySell.ChgCost(); }, numeric)) failing.push_back(EntryCheck::Cost);
  if (!passes([&] { return buySell.ChgShrs(); }, numeric)) failing.push_back(EntryCheck::Shares);
  if (!passes([&] { return buySell.XActionDate(); }, date)) failing.push_back(EntryCheck::Date);
  // The box is open only for a sell.
  if (orlendo::proceedsFault(buySell, false) != orlendo::ProceedsFault::none) failing.push_back(EntryCheck::Proceeds);
  return failing;
}

std::string EntryCheckMessage(EntryCheck check, std::string_view value) {
  std::string text;
  switch (check) {
    case EntryCheck::Cost:
      text = "The cost amount that you entered, " + std::string(value) + ", is not a valid number.";
      break;
    case EntryCheck::Shares:
      text = "The number of shares that you entered, " + std::string(value) + ", is not a valid number.";
      break;
    case EntryCheck::Date:
      text = "The date that you entered, " + std::string(value) + ", is not a valid date.";
      break;
    case EntryCheck::Proceeds:
      text = "The proceeds that you entered, " + std::string(value) + ", are not a valid amount of at least 0.00.";
      break;
  }
  return text + "\r\n\r\nDo you want to fix  the amount now (RECOMMENDED TO CHOOSE YES)?";
}

}  // namespace tvx
