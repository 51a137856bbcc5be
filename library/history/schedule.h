// The fixed history of the Quorvex family: every corporate action and stock
// split from the 1983 divestiture to 2017, as one table of dated actions.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

#include "orlendo/dates.h"
#include "orlendo/model.h"

namespace orlendo::history {

// The fraction of the source's basis that a posting moves (AllocationFactor):
// negative on the side that gives it away, positive on a receiver. An acq_old
// applies it to its target's own basis, which is the source's.
struct BasisFraction {
  double value;
};

// The shares a posting adds to its target per share of the source
// (DistributionFactor); acq_old and a split count the target's own shares
// instead. A split of 2.0 gives two more shares per share held (three for one),
// -0.8 leaves one share for five, -1.0 empties the holding, 0 keeps the count.
struct SharesPerShare {
  double value;
};

// How a posting row's properties beyond the two factors are filled.
enum class Special {
  None,
  CashOrStock,   // factor and cash per share by the Lumora election, fair value per new share
  Distribution,  // SourceCost = price x (factor x source shares), nothing posted on the source
};

// Where a row takes its snapshot from. A row that opens a leg makes its own
// target a further source: its transaction count guards the rows up to the
// next such row and its (basis, shares) feeds them, read after the rows before.
enum class Leg : bool { continues, opens };

// One transaction of an event, in posting order.
struct Posting {
  std::string_view target;
  XTransType type{};
  std::optional<BasisFraction> basis;  // nullopt: AllocationFactor not set
  SharesPerShare shares{};
  std::string_view description{};  // empty: not set
  Special special = Special::None;
  Leg leg = Leg::continues;
};

// An event's postings, held in the row itself so that an event is one
// constant entry of the table.
class Postings {
 public:
  static constexpr std::size_t capacity = 8;  // the divestiture: Quorvex and seven receivers

  constexpr Postings() = default;
  constexpr Postings(std::initializer_list<Posting> rows) : size_(rows.size()) {
    if (rows.size() > capacity) throw "more postings than an event holds";  // fails to compile in a constant
    std::copy(rows.begin(), rows.end(), rows_.begin());
  }

  constexpr const Posting* begin() const noexcept { return rows_.data(); }
  constexpr const Posting* end() const noexcept { return rows_.data() + size_; }
  constexpr std::size_t size() const noexcept { return size_; }
  constexpr bool empty() const noexcept { return size_ == 0; }
  constexpr const Posting& operator[](std::size_t i) const noexcept { return rows_[i]; }

 private:
  std::array<Posting, capacity> rows_{};
  std::size_t size_ = 0;
};

// One corporate action. The first row is posted on the source (whose count
// guards the event and whose snapshot feeds every row) unless `source` names
// another security that is read but posted nothing.
struct EventProcedure {
  std::string_view name;  // error source "CapitalXactions." + name
  Postings postings;
  std::string_view source{};             // empty: the first row's target
  const EventProcedure* then = nullptr;  // runs after this one's postings, under its trail

  constexpr std::string_view firstSource() const noexcept {
    return source.empty() && !postings.empty() ? postings[0].target : source;
  }
};

// One dated action: an event, or a stock split of a security.
struct ScheduledAction {
  Date date;
  EventProcedure event;  // no name for a split
  std::string_view splitSecurity{};
  SharesPerShare splitFactor{};
  bool processMessagesAfter = false;  // the caller may process window messages after this date's actions

  constexpr bool isSplit() const noexcept { return event.name.empty(); }
};

// The whole schedule in date order; actions of one date in the order they run.
std::span<const ScheduledAction> schedule();

// The Lumora merger's terms by the election: new Quorvex shares and cash per
// Lumora share (both 0 for a value other than 1 to 3), and the fair value of
// one new Quorvex share.
struct LumoraTerms {
  double sharesPerLumoraShare;
  Currency cashPerLumoraShare;
};
LumoraTerms lumoraTerms(eLumora election);
inline constexpr double kLumoraFairValuePerQuorvexShare = 33.8125;
// The basis of one Meridane share received in the Vantrel distribution.
inline constexpr Currency kMeridanePricePerDistributedShare = Currency::fromTicks(std::int64_t{481150});

// Told of every leg an event posts and every split, right after their
// transactions were added. A leg is the rows fed by one source's snapshot;
// a leg whose source has no transactions posts nothing and is not told.
class PostingObserver {
 public:
  virtual ~PostingObserver() = default;
  // `posted` holds the leg's transactions, one per row, in row order.
  virtual void legPosted(const EventProcedure& event, std::span<const Posting> rows, std::string_view source,
                         Date day, eLumora election, std::span<const XactionPtr> posted) = 0;
  virtual void splitPosted(std::string_view security, SharesPerShare factor, Date day) = 0;
};

// Runs one event on the investor's securities.
void runEvent(const EventProcedure& procedure, Securities& securities, Date day, eLumora election,
              PostingObserver* observer = nullptr);
// Posts a stock split on a security (no guard on its transaction count).
void makeStkSplitXaction(const SecurityPtr& security, SharesPerShare factor, Date day);
// Runs every action scheduled for `day`; true when the caller may process messages afterwards.
bool runScheduledActions(Date day, Securities& securities, eLumora election, PostingObserver* observer = nullptr);

}  // namespace orlendo::history
