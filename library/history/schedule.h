// The fixed history of the Quorvex family: every corporate action and stock
// split from the 1983 divestiture to 2017, as one table of dated actions.
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "orlendo/dates.h"
#include "orlendo/model.h"

namespace orlendo::history {

// How a posting row's properties beyond AF and DF are filled.
enum class Special {
  None,
  CashOrStock,   // DF and cash per share by the Lumora election, fair value per new share
  Distribution,  // SourceCost = price x (DF x source shares), nothing posted on the source
};

// One transaction of an event procedure, in posting order.
struct Posting {
  std::string_view target;
  XTransType type;
  std::optional<double> allocationFactor;  // nullopt: not set
  double distributionFactor;
  std::string_view description;            // empty: not set
  Special special = Special::None;
};

// The postings that read one source security: its transaction count guards
// them and its snapshot (basis, shares) feeds them.
struct Leg {
  std::string_view source;
  std::span<const Posting> postings;
};

struct EventProcedure {
  std::string_view name;  // error source "CapitalXactions." + name
  std::span<const Leg> legs;
  const EventProcedure* then = nullptr;  // a procedure this one runs after its own postings
};

// One dated action: an event procedure, or a stock split of a security.
struct ScheduledAction {
  Date date;
  const EventProcedure* procedure;  // null for a split
  std::string_view splitSecurity;
  double splitFactor;
  bool processMessagesAfter;  // the caller may process window messages after this date's actions
};

// The whole schedule in date order; actions of one date in the order they run.
std::span<const ScheduledAction> schedule();

// Runs one event procedure on the investor's securities.
void runEvent(const EventProcedure& procedure, Securities& securities, Date day, eLumora election);
// Posts a stock split on a security (no guard on its transaction count).
void makeStkSplitXaction(const SecurityPtr& security, double factor, Date day);
// Runs every action scheduled for `day`; true when the caller may process messages afterwards.
bool runScheduledActions(Date day, Securities& securities, eLumora election);

}  // namespace orlendo::history
