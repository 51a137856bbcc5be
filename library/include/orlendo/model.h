// The investment object model: one investor, its thirty securities, each
// with the buys and sells the user entered and the transactions a
// calculation produced.
//
// Each class is an interface whose members are declared in their binding
// order (set before get where a property has both); the program creates
// objects through the static `create` functions and holds them by
// std::shared_ptr. Property sets and gets share the property's name.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "orlendo/dates.h"
#include "orlendo/numbers.h"

namespace orlendo {

enum class XTransType : std::int32_t {
  Buy = 0,
  sell = 1,
  Split = 2,
  spin_off_old = 3,
  spin_off_new = 4,
  acq_old = 5,
  acq_new = 6,
  cash_or_stk = 7,
  other = 8,
};

enum class eLumora : std::int32_t { standard = 1, shares = 2, cash = 3 };

class Xaction;
class BuySell;
class Xactions;
class BuySells;
class Security;
class Securities;
class Investor;
class ProgressObserver;

using XactionPtr = std::shared_ptr<Xaction>;
using BuySellPtr = std::shared_ptr<BuySell>;
using XactionsPtr = std::shared_ptr<Xactions>;
using BuySellsPtr = std::shared_ptr<BuySells>;
using SecurityPtr = std::shared_ptr<Security>;
using SecuritiesPtr = std::shared_ptr<Securities>;
using InvestorPtr = std::shared_ptr<Investor>;

// One transaction. All fields start at 0, empty text or Buy.
class Xaction {
 public:
  static XactionPtr create();
  virtual ~Xaction() = default;

  virtual void CashOrStk_NoOfNewCoShars(double v) = 0;
  virtual double CashOrStk_NoOfNewCoShars() const = 0;
  virtual void CashOrStk_FMVperShare(double v) = 0;
  virtual double CashOrStk_FMVperShare() const = 0;
  virtual void CashOrStk_FMVofStkRecd(Currency v) = 0;
  virtual Currency CashOrStk_FMVofStkRecd() const = 0;
  // Held as the shortest text with up to 15 significant digits; a get before any set fails.
  virtual void AllocationFactor(double v) = 0;
  virtual double AllocationFactor() const = 0;
  virtual void EmptyProp(std::string_view v) = 0;
  virtual std::string EmptyProp() const = 0;
  // Stored only when it is date text; a stored date reads back as "mm/dd/yyyy".
  virtual void XActionDate(std::string_view v) = 0;
  virtual std::string XActionDate() const = 0;
  virtual void SourceGainRecog(Currency v) = 0;
  virtual Currency SourceGainRecog() const = 0;  // round(value, 2)
  virtual void SourceGainRealized(Currency v) = 0;
  virtual Currency SourceGainRealized() const = 0;  // round(value, 2)
  virtual void SourceCashRecd(Currency v) = 0;
  virtual Currency SourceCashRecd() const = 0;  // round(value, 2)
  virtual void SourcePricePerShr(double v) = 0;
  virtual double SourcePricePerShr() const = 0;  // round(value, 5)
  virtual void SourceShrs(double v) = 0;
  virtual double SourceShrs() const = 0;  // round(value, 5)
  virtual void SourceCost(Currency v) = 0;
  virtual Currency SourceCost() const = 0;  // round(value, 2)
  // The five amounts are stored raw (numeric text only, error 10002
  // otherwise) and formatted on every get.
  virtual void NewShrs(std::string_view v) = 0;
  virtual std::string NewShrs() const = 0;  // "##,##0.00000"
  virtual void NewCostPerShr(std::string_view v) = 0;
  virtual std::string NewCostPerShr() const = 0;  // via currency, "##0.00000"
  virtual void NewCost(std::string_view v) = 0;
  virtual std::string NewCost() const = 0;  // "###,##0.00"
  virtual void ChgShrs(std::string_view v) = 0;
  virtual std::string ChgShrs() const = 0;
  virtual void ChgCost(std::string_view v) = 0;
  virtual std::string ChgCost() const = 0;
  virtual void DistributionFactor(double v) = 0;
  virtual double DistributionFactor() const = 0;
  virtual void XactionType(XTransType v) = 0;
  virtual XTransType XactionType() const = 0;
  virtual void Description(std::string_view v) = 0;
  virtual std::string Description() const = 0;
  virtual void Calculate() = 0;  // does nothing
  virtual void Code(std::string_view v) = 0;
  virtual std::string Code() const = 0;

  // The amounts as numbers. A set stores what a text reading as that number
  // would; a get returns what its text get reads as: NewShrsValue() is
  // parseDouble(NewShrs()), NewCostAmount() is Currency::fromText(NewCost()),
  // and so on, with the same errors.
  virtual void NewShrsValue(double v) = 0;
  virtual double NewShrsValue() const = 0;
  virtual void ChgShrsValue(double v) = 0;
  virtual double ChgShrsValue() const = 0;
  virtual void NewCostAmount(Currency v) = 0;
  virtual Currency NewCostAmount() const = 0;
  virtual void ChgCostAmount(Currency v) = 0;
  virtual Currency ChgCostAmount() const = 0;
  virtual void NewCostPerShrAmount(Currency v) = 0;
  virtual Currency NewCostPerShrAmount() const = 0;
  // The stored date; none before a date text or a day was set.
  virtual void XActionDay(Date v) = 0;
  virtual std::optional<Date> XActionDay() const = 0;
};

// One buy or sell entered by the user. New: ChgCost "0", ChgShrs "0",
// XActionDate "12/31/1983", Code empty.
class BuySell {
 public:
  static BuySellPtr create();
  virtual ~BuySell() = default;

  virtual void ChgShrs(std::string_view v) = 0;
  virtual std::string ChgShrs() const = 0;  // numeric text as "##,##0.00000", other text unchanged
  virtual void ChgCost(std::string_view v) = 0;
  virtual std::string ChgCost() const = 0;  // numeric text as "###,##0.00", other text unchanged
  virtual void XActionDate(std::string_view v) = 0;
  virtual std::string XActionDate() const = 0;
  virtual void Code(std::string_view v) = 0;
  virtual std::string Code() const = 0;

  // parseDouble(ChgShrs()) without the text: type mismatch when not numeric.
  virtual double ChgShrsValue() const = 0;
  // Currency::fromText(ChgCost()) without the text; none when ChgCost() is
  // not numeric (its text comes back unchanged).
  virtual std::optional<Currency> ChgCostAmount() const = 0;

  // A sell's proceeds (optional): the amount received, net of fees. Empty
  // text (or blanks only) is none; numeric text reads back as "###,##0.00",
  // other text unchanged.
  virtual void Proceeds(std::string_view v) = 0;
  virtual std::string Proceeds() const = 0;
  // The cents Proceeds() shows; none when there are no proceeds or the text
  // is not numeric.
  virtual std::optional<Currency> ProceedsAmount() const = 0;
  // True when the entry holds proceeds text (numeric or not).
  virtual bool HasProceeds() const = 0;
};

// The transactions of one security, in the order they were added.
class Xactions {
 public:
  static XactionsPtr create();
  virtual ~Xactions() = default;

  // Appends the transaction and at once computes its results from the one before it.
  virtual XactionPtr Add(const XactionPtr& oXAction) = 0;
  virtual XactionPtr Item(long vntIndexKey) const = 0;
  virtual long Count() const = 0;
  virtual void Remove(long vntIndexKey) = 0;
  virtual std::span<const XactionPtr> NewEnum() const = 0;

  auto begin() const { return NewEnum().begin(); }
  auto end() const { return NewEnum().end(); }
};

// The user's buys and sells of one security.
class BuySells {
 public:
  static BuySellsPtr create();
  virtual ~BuySells() = default;

  // An empty ChgCost or ChgShrs becomes "0", also in the caller's variable.
  virtual BuySellPtr Add(std::string& Code, std::string& XActionDate, std::string& ChgCost, std::string& ChgShrs,
                         std::string_view sKey = {}) = 0;
  virtual BuySellPtr Item(long vntIndexKey) const = 0;
  virtual BuySellPtr Item(std::string_view vntIndexKey) const = 0;
  virtual long Count() const = 0;
  virtual void Remove(long vntIndexKey) = 0;
  virtual void Remove(std::string_view vntIndexKey) = 0;
  virtual std::span<const BuySellPtr> NewEnum() const = 0;
  virtual bool IsDirty() const = 0;

  auto begin() const { return NewEnum().begin(); }
  auto end() const { return NewEnum().end(); }
};

// The investor's securities, in catalogue order.
class Securities {
 public:
  static SecuritiesPtr create();
  virtual ~Securities() = default;

  virtual SecurityPtr Add(std::string& SecCode, std::string& SecName, std::string_view sKey = {}) = 0;
  virtual SecurityPtr Item(long vntIndexKey) const = 0;
  virtual SecurityPtr Item(std::string_view vntIndexKey) const = 0;
  virtual long Count() const = 0;
  virtual void Remove(long vntIndexKey) = 0;
  virtual void Remove(std::string_view vntIndexKey) = 0;
  virtual std::span<const SecurityPtr> NewEnum() const = 0;
  virtual bool IsDirty() const = 0;

  auto begin() const { return NewEnum().begin(); }
  auto end() const { return NewEnum().end(); }
};

class Security {
 public:
  static SecurityPtr create();
  virtual ~Security() = default;

  virtual void Calculate() = 0;  // does nothing
  virtual void colXActions(XactionsPtr v) = 0;
  virtual XactionsPtr colXActions() const = 0;
  virtual void colBuySells(BuySellsPtr v) = 0;
  virtual BuySellsPtr colBuySells() const = 0;
  virtual void SecName(std::string_view v) = 0;
  virtual std::string SecName() const = 0;
  virtual void SecCode(std::string_view v) = 0;
  virtual std::string SecCode() const = 0;
  virtual bool IsDirty() const = 0;
};

// The root object. A new investor holds the thirty catalogue securities,
// election standard, start "12/31/1983", stop = `today`, edit mode off.
// create() takes today from the clock when the stop date is first needed.
class Investor {
 public:
  static InvestorPtr create();
  static InvestorPtr create(Date today);
  virtual ~Investor() = default;

  virtual void Fetch(std::string_view vsFname) = 0;
  virtual void Lumora2QVX(eLumora v) = 0;
  virtual eLumora Lumora2QVX() const = 0;
  virtual void LoadFile(std::string_view vsFname) = 0;
  virtual void ApplyEdit(std::string_view vsFname) = 0;
  virtual void Save(std::string_view vsFname) = 0;
  // Replays buys, sells and the history from StartCalc to StopCalc inclusive.
  // The observer (may be null) follows the years; it never affects results.
  virtual void Calculate(Date StartCalc = kHistoryStart, Date StopCalc = kDefaultStop,
                         ProgressObserver* observer = nullptr) = 0;
  virtual void oSecurity(SecurityPtr v) = 0;
  virtual SecurityPtr oSecurity() const = 0;
  virtual void Filename(std::string_view v) = 0;
  virtual std::string Filename() const = 0;
  virtual void oXAction(XactionPtr v) = 0;
  virtual XactionPtr oXAction() const = 0;
  virtual void colSecurities(SecuritiesPtr v) = 0;
  virtual SecuritiesPtr colSecurities() const = 0;
  virtual void StopCalc(std::string_view v) = 0;
  virtual std::string StopCalc() const = 0;
  virtual void StartCalc(std::string_view v) = 0;
  virtual std::string StartCalc() const = 0;
  virtual void Line2(std::string_view v) = 0;
  virtual std::string Line2() const = 0;
  virtual void sName(std::string_view v) = 0;
  virtual void sNameRef(std::string v) = 0;  // stores in or out of edit mode
  virtual std::string sName() const = 0;
  virtual void Version(std::string_view v) = 0;
  virtual std::string Version() const = 0;
  virtual void BeginEdit() = 0;
  virtual void MakeDesc() = 0;

  // Edit mode, for callers that need to know whether sets take effect.
  virtual bool InEditMode() const = 0;
};

}  // namespace orlendo
