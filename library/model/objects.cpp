// The leaf objects and collections of the object model.
#include "model/objects.h"

#include <array>
#include <memory>

#include "model/arithmetic.h"
#include "orlendo/collection.h"
#include "orlendo/error.h"
#include "orlendo/model.h"

namespace orlendo {

namespace {

// Sets of the five text amounts accept numeric text only.
void requireNumeric(std::string_view v) {
  if (!isNumericText(v)) raise(errnum::NotANumber, "This item needs to be a number.");
}

// Gets of the text amounts: shares read as a double, amounts as currency.
std::string sharesText(const std::string& raw) {
  return format(raw.empty() ? 0.0 : roundTo(parseDouble(raw), 5), kSharesPattern);
}
std::string amountText(const std::string& raw) {
  return format(raw.empty() ? Currency() : Currency::fromText(raw).rounded(2), kAmountPattern);
}

// What the shares text shows, read back: parseDouble(format(round(v, 5))).
double sharesShown(double v) { return decimalValue(scaledRound(roundTo(v, 5), 5), 5); }

constexpr std::string_view kXactionTag = "XAction";

class XactionImpl final : public Xaction {
 public:
  void CashOrStk_NoOfNewCoShars(double v) override { rare().noOfNewCoShares = v; }
  double CashOrStk_NoOfNewCoShars() const override { return rare().noOfNewCoShares; }
  void CashOrStk_FMVperShare(double v) override { rare().fmvPerShare = v; }
  double CashOrStk_FMVperShare() const override { return rare().fmvPerShare; }
  void CashOrStk_FMVofStkRecd(Currency v) override { rare().fmvOfStockReceived = v; }
  Currency CashOrStk_FMVofStkRecd() const override { return rare().fmvOfStockReceived; }
  void AllocationFactor(double v) override {
    // Held as its 15-digit text would read back.
    withTrail(kXactionTag, [&] { allocationFactor_ = significant15Value(v); });
    hasAllocationFactor_ = true;
  }
  double AllocationFactor() const override {
    if (!hasAllocationFactor_) return parseDouble("");  // fails as reading the empty text does
    return allocationFactor_;
  }
  void EmptyProp(std::string_view v) override { rare().emptyProp = v; }
  std::string EmptyProp() const override { return rare().emptyProp; }
  void XActionDate(std::string_view v) override {
    if (auto d = parseDate(v)) XActionDay(*d);
  }
  std::string XActionDate() const override { return hasDate_ ? formatDate(date_) : std::string(); }
  void SourceGainRecog(Currency v) override { rare().gainRecognized = v; }
  Currency SourceGainRecog() const override { return rare().gainRecognized.rounded(2); }
  void SourceGainRealized(Currency v) override { rare().gainRealized = v; }
  Currency SourceGainRealized() const override { return rare().gainRealized.rounded(2); }
  void SourceCashRecd(Currency v) override { rare().cashReceived = v; }
  Currency SourceCashRecd() const override { return rare().cashReceived.rounded(2); }
  void SourcePricePerShr(double v) override { rare().sourcePrice = v; }
  double SourcePricePerShr() const override { return roundTo(rare().sourcePrice, 5); }
  void SourceShrs(double v) override { sourceShares_ = v; }
  double SourceShrs() const override { return roundTo(sourceShares_, 5); }
  void SourceCost(Currency v) override { sourceCost_ = v; }
  Currency SourceCost() const override { return sourceCost_.rounded(2); }

  void NewShrs(std::string_view v) override { setText(kNewShares, v); }
  std::string NewShrs() const override {
    if (const std::string* t = text(kNewShares)) return sharesText(*t);
    return format(roundTo(newShares_, 5), kSharesPattern);
  }
  void NewCostPerShr(std::string_view v) override { setText(kNewCostPerShare, v); }
  std::string NewCostPerShr() const override {
    if (const std::string* t = text(kNewCostPerShare)) return format(Currency::fromText(*t), kPerSharePattern);
    return format(NewCostPerShrAmount(), kPerSharePattern);
  }
  void NewCost(std::string_view v) override { setText(kNewCost, v); }
  std::string NewCost() const override {
    if (const std::string* t = text(kNewCost)) return amountText(*t);
    return format(newCost_, kAmountPattern);
  }
  void ChgShrs(std::string_view v) override { setText(kChangeShares, v); }
  std::string ChgShrs() const override {
    if (const std::string* t = text(kChangeShares)) return sharesText(*t);
    return format(roundTo(changeShares_, 5), kSharesPattern);
  }
  void ChgCost(std::string_view v) override { setText(kChangeCost, v); }
  std::string ChgCost() const override {
    if (const std::string* t = text(kChangeCost)) return amountText(*t);
    return format(changeCost_, kAmountPattern);
  }
  void DistributionFactor(double v) override { distributionFactor_ = v; }
  double DistributionFactor() const override { return distributionFactor_; }
  void XactionType(XTransType v) override { type_ = v; }
  XTransType XactionType() const override { return type_; }
  void Description(std::string_view v) override { description_ = v; }
  std::string Description() const override { return description_; }
  void Calculate() override {}
  void Code(std::string_view v) override { rare().code = v; }
  std::string Code() const override { return rare().code; }

  void NewShrsValue(double v) override {
    clearText(kNewShares);
    newShares_ = v;
  }
  double NewShrsValue() const override {
    if (text(kNewShares)) return parseDouble(NewShrs());
    return sharesShown(newShares_);
  }
  void ChgShrsValue(double v) override {
    clearText(kChangeShares);
    changeShares_ = v;
  }
  double ChgShrsValue() const override {
    if (text(kChangeShares)) return parseDouble(ChgShrs());
    return sharesShown(changeShares_);
  }
  void NewCostAmount(Currency v) override {
    clearText(kNewCost);
    newCost_ = v.rounded(2);  // what its text, in cents, reads back as
  }
  Currency NewCostAmount() const override {
    if (text(kNewCost)) return Currency::fromText(NewCost());
    return newCost_;
  }
  void ChgCostAmount(Currency v) override {
    clearText(kChangeCost);
    changeCost_ = v.rounded(2);
  }
  Currency ChgCostAmount() const override {
    if (text(kChangeCost)) return Currency::fromText(ChgCost());
    return changeCost_;
  }
  void NewCostPerShrAmount(Currency v) override {
    clearText(kNewCostPerShare);
    newCostPerShare_ = v;
    hasCostPerShare_ = true;
  }
  Currency NewCostPerShrAmount() const override {
    if (text(kNewCostPerShare)) return Currency::fromText(NewCostPerShr());
    if (!hasCostPerShare_) return Currency::fromText("");  // fails as reading the empty text does
    return newCostPerShare_;
  }
  void XActionDay(Date v) override {
    date_ = v;
    hasDate_ = true;
  }
  std::optional<Date> XActionDay() const override {
    if (!hasDate_) return std::nullopt;
    return date_;
  }

 private:
  // An amount set as text stays text and is read on every get.
  enum Slot { kNewShares, kNewCostPerShare, kNewCost, kChangeShares, kChangeCost, kSlots };

  // What only some transactions carry (the cash-or-stock side of a merger)
  // or only callers other than the calculation set: kept apart, so that a
  // transaction without them costs one pointer.
  struct Rare {
    double noOfNewCoShares = 0;
    double fmvPerShare = 0;
    Currency fmvOfStockReceived;
    Currency gainRecognized;
    Currency gainRealized;
    Currency cashReceived;
    double sourcePrice = 0;
    std::string code;
    std::string emptyProp;
    std::array<std::string, kSlots> texts;
  };
  const Rare& rare() const {
    static const Rare kNone;
    return rare_ ? *rare_ : kNone;
  }
  Rare& rare() {
    if (!rare_) rare_ = std::make_unique<Rare>();
    return *rare_;
  }

  const std::string* text(Slot slot) const {
    if (!rare_ || rare_->texts[slot].empty()) return nullptr;
    return &rare_->texts[slot];
  }
  void clearText(Slot slot) {
    if (rare_) rare_->texts[slot].clear();
  }
  void setText(Slot slot, std::string_view v) {
    withTrail(kXactionTag, [&] {
      requireNumeric(v);
      rare().texts[slot] = v;
    });
  }

  double allocationFactor_ = 0;
  double sourceShares_ = 0;
  Currency sourceCost_;
  // The amounts as their texts would read: shares by parseDouble, money by Currency::fromText.
  double newShares_ = 0;
  double changeShares_ = 0;
  Currency newCost_;
  Currency changeCost_;
  Currency newCostPerShare_;
  double distributionFactor_ = 0;
  Date date_{};
  XTransType type_ = XTransType::Buy;
  bool hasDate_ = false;
  bool hasCostPerShare_ = false;
  bool hasAllocationFactor_ = false;
  std::string description_;
  std::unique_ptr<Rare> rare_;
};

class BuySellImpl final : public BuySell {
 public:
  void ChgShrs(std::string_view v) override { shares_ = v; }
  std::string ChgShrs() const override {
    return isNumericText(shares_) ? format(parseDouble(shares_), kSharesPattern) : shares_;
  }
  void ChgCost(std::string_view v) override { cost_ = v; }
  std::string ChgCost() const override {
    return isNumericText(cost_) ? format(Currency::fromText(cost_), kAmountPattern) : cost_;
  }
  void XActionDate(std::string_view v) override { date_ = v; }
  std::string XActionDate() const override { return date_; }
  void Code(std::string_view v) override { code_ = v; }
  std::string Code() const override { return code_; }
  const std::string& storedShares() const { return shares_; }
  const std::string& storedCost() const { return cost_; }
  const std::string& storedProceeds() const { return proceeds_; }

  double ChgShrsValue() const override {
    // Not numeric: the type mismatch of reading the text unchanged.
    return decimalValue(scaledRound(parseDouble(shares_), 5), 5);
  }
  std::optional<Currency> ChgCostAmount() const override {
    if (!isNumericText(cost_)) return std::nullopt;
    // The cents the text get shows; rounding a count to cents stays in range.
    return Currency::fromText(cost_).rounded(2);
  }
  void Proceeds(std::string_view v) override {
    proceeds_ = v.find_first_not_of(' ') == std::string_view::npos ? std::string() : std::string(v);
  }
  std::string Proceeds() const override {
    return isNumericText(proceeds_) ? format(Currency::fromText(proceeds_), kAmountPattern) : proceeds_;
  }
  std::optional<Currency> ProceedsAmount() const override {
    if (!isNumericText(proceeds_)) return std::nullopt;
    return Currency::fromText(proceeds_).rounded(2);
  }
  bool HasProceeds() const override { return !proceeds_.empty(); }

 private:
  std::string shares_ = "0";
  std::string cost_ = "0";
  std::string date_ = "12/31/1983";
  std::string code_;
  std::string proceeds_;  // empty: none
};

class XactionsImpl final : public Xactions {
 public:
  XactionPtr Add(const XactionPtr& oXAction) override {
    members_.Append(oXAction);
    calcNewXAction(members_.Members());
    return oXAction;
  }
  XactionPtr Item(long vntIndexKey) const override { return members_.Item(vntIndexKey); }
  long Count() const override { return members_.Count(); }
  void Remove(long vntIndexKey) override { members_.Remove(vntIndexKey); }
  std::span<const XactionPtr> NewEnum() const override { return members_.Members(); }

 private:
  Collection<Xaction> members_;
};

class BuySellsImpl final : public BuySells {
 public:
  BuySellPtr Add(std::string& Code, std::string& XActionDate, std::string& ChgCost, std::string& ChgShrs,
                 std::string_view sKey) override {
    auto entry = BuySell::create();
    if (ChgCost.empty()) ChgCost = "0";
    if (ChgShrs.empty()) ChgShrs = "0";
    entry->Code(Code);
    entry->XActionDate(XActionDate);
    entry->ChgCost(ChgCost);
    entry->ChgShrs(ChgShrs);
    members_.Append(entry, sKey);
    dirty_ = true;
    return entry;
  }
  BuySellPtr Item(long vntIndexKey) const override { return members_.Item(vntIndexKey); }
  BuySellPtr Item(std::string_view vntIndexKey) const override { return members_.Item(vntIndexKey); }
  long Count() const override { return members_.Count(); }
  void Remove(long vntIndexKey) override {
    members_.Remove(vntIndexKey);
    dirty_ = true;
  }
  void Remove(std::string_view vntIndexKey) override {
    members_.Remove(vntIndexKey);
    dirty_ = true;
  }
  std::span<const BuySellPtr> NewEnum() const override { return members_.Members(); }
  bool IsDirty() const override { return dirty_; }

 private:
  Collection<BuySell> members_;
  bool dirty_ = false;
};

class SecurityImpl final : public Security {
 public:
  void Calculate() override {}
  void colXActions(XactionsPtr v) override { xactions_ = std::move(v); }
  XactionsPtr colXActions() const override { return xactions_; }
  void colBuySells(BuySellsPtr v) override { buySells_ = std::move(v); }
  BuySellsPtr colBuySells() const override { return buySells_; }
  void SecName(std::string_view v) override { name_ = v; }
  std::string SecName() const override { return name_; }
  void SecCode(std::string_view v) override { code_ = v; }
  std::string SecCode() const override { return code_; }
  bool IsDirty() const override { return buySells_ && buySells_->IsDirty(); }

 private:
  XactionsPtr xactions_ = Xactions::create();
  BuySellsPtr buySells_ = BuySells::create();
  std::string name_;
  std::string code_;
};

class SecuritiesImpl final : public Securities {
 public:
  SecurityPtr Add(std::string& SecCode, std::string& SecName, std::string_view sKey) override {
    auto security = Security::create();
    security->SecCode(SecCode);
    security->SecName(SecName);
    members_.Append(security, sKey);
    return security;
  }
  SecurityPtr Item(long vntIndexKey) const override { return members_.Item(vntIndexKey); }
  SecurityPtr Item(std::string_view vntIndexKey) const override { return members_.Item(vntIndexKey); }
  long Count() const override { return members_.Count(); }
  void Remove(long vntIndexKey) override { members_.Remove(vntIndexKey); }
  void Remove(std::string_view vntIndexKey) override { members_.Remove(vntIndexKey); }
  std::span<const SecurityPtr> NewEnum() const override { return members_.Members(); }
  bool IsDirty() const override {
    for (const auto& s : members_.Members())
      if (s->IsDirty()) return true;
    return false;
  }

 private:
  Collection<Security> members_;
};

}  // namespace

XactionPtr Xaction::create() { return std::make_shared<XactionImpl>(); }
BuySellPtr BuySell::create() { return std::make_shared<BuySellImpl>(); }

std::string storedShares(const BuySell& entry) {
  if (const auto* own = dynamic_cast<const BuySellImpl*>(&entry)) return own->storedShares();
  return entry.ChgShrs();
}

std::string storedCost(const BuySell& entry) {
  if (const auto* own = dynamic_cast<const BuySellImpl*>(&entry)) return own->storedCost();
  return entry.ChgCost();
}

std::string storedProceeds(const BuySell& entry) {
  if (const auto* own = dynamic_cast<const BuySellImpl*>(&entry)) return own->storedProceeds();
  return entry.Proceeds();
}
XactionsPtr Xactions::create() { return std::make_shared<XactionsImpl>(); }
BuySellsPtr BuySells::create() { return std::make_shared<BuySellsImpl>(); }
SecurityPtr Security::create() { return std::make_shared<SecurityImpl>(); }
SecuritiesPtr Securities::create() { return std::make_shared<SecuritiesImpl>(); }

}  // namespace orlendo
