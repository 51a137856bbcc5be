// What the model objects hold beyond their public interface.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "orlendo/model.h"

namespace orlendo {

// A buy or sell's shares, cost and proceeds texts as they were set; the getters give
// numeric text formatted, and raise when it cannot be (an overflow).
std::string storedShares(const BuySell& entry);
std::string storedCost(const BuySell& entry);
std::string storedProceeds(const BuySell& entry);

// BuySells.Add of an entry without a key and then, when `proceeds` is not
// empty, its Proceeds; the texts kept compact until a caller asks for its
// object.
void addEntryTexts(BuySells& entries, std::string_view code, std::string_view date, std::string_view cost,
                   std::string_view shares, std::string_view proceeds);
// Makes room for `n` entries in all, whose texts take about `textBytes`.
void reserveEntries(BuySells& entries, std::size_t n, std::size_t textBytes);

// Calls visit(context, entry) for each entry in order, without building an
// object for one kept compact; the entry is valid during the call only.
void visitEntries(const BuySells& entries, void* context, void (*visit)(void*, const BuySell&));
template <class Visit>
void visitEntries(const BuySells& entries, Visit&& visit) {
  using V = std::remove_reference_t<Visit>;
  visitEntries(entries, const_cast<void*>(static_cast<const void*>(&visit)),
               [](void* context, const BuySell& b) { (*static_cast<V*>(context))(b); });
}

// Reads one entry of a BuySells at a time without building its object when
// it is kept compact; what read returns is valid until the next read.
class EntryReader {
 public:
  EntryReader();
  ~EntryReader();
  EntryReader(const EntryReader&) = delete;
  EntryReader& operator=(const EntryReader&) = delete;
  const BuySell& read(const BuySells& entries, long position);  // from 1

 private:
  std::unique_ptr<BuySell> scratch_;
  const BuySells* entries_ = nullptr;  // the last read's, and its implementation when our own
  const void* own_ = nullptr;
};

// Appends a buy or sell of the calculation to `xactions`: what Add of a new
// transaction with the day, the kind, ChgShrsValue(shares) and, for a buy,
// ChgCostAmount(cost) does, kept compact until a caller asks for its
// object. Returns the transaction, valid until the next call.
const Xaction& addPosting(Xactions& xactions, Date day, bool buy, double shares, Currency cost);

// Makes room for `n` transactions in all.
void reservePostings(Xactions& xactions, std::size_t n);

// Sets every transaction's description from its kind.
void describeXactions(Xactions& xactions);

}  // namespace orlendo
