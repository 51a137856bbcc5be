// The leaf objects and collections of the object model.
#include "model/objects.h"

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

constexpr std::string_view kXactionTag = "XAction";

class XactionImpl final : public Xaction {
 public:
  void CashOrStk_NoOfNewCoShars(double v) override { noOfNewCoShares_ = v; }
  double CashOrStk_NoOfNewCoShars() const override { return noOfNewCoShares_; }
  void CashOrStk_FMVperShare(double v) override { fmvPerShare_ = v; }
  double CashOrStk_FMVperShare() const override { return fmvPerShare_; }
  void CashOrStk_FMVofStkRecd(Currency v) override { fmvOfStockReceived_ = v; }
  Currency CashOrStk_FMVofStkRecd() const override { return fmvOfStockReceived_; }
  void AllocationFactor(double v) override {
    withTrail(kXactionTag, [&] { allocationFactor_ = formatSignificant15(v); });
  }
  double AllocationFactor() const override { return parseDouble(allocationFactor_); }
  void EmptyProp(std::string_view v) override { emptyProp_ = v; }
  std::string EmptyProp() const override { return emptyProp_; }
  void XActionDate(std::string_view v) override {
    if (isDateText(v)) date_ = v;
  }
  std::string XActionDate() const override {
    auto d = parseDate(date_);
    return d ? formatDate(*d) : date_;
  }
  void SourceGainRecog(Currency v) override { gainRecognized_ = v; }
  Currency SourceGainRecog() const override { return gainRecognized_.rounded(2); }
  void SourceGainRealized(Currency v) override { gainRealized_ = v; }
  Currency SourceGainRealized() const override { return gainRealized_.rounded(2); }
  void SourceCashRecd(Currency v) override { cashReceived_ = v; }
  Currency SourceCashRecd() const override { return cashReceived_.rounded(2); }
  void SourcePricePerShr(double v) override { sourcePrice_ = v; }
  double SourcePricePerShr() const override { return roundTo(sourcePrice_, 5); }
  void SourceShrs(double v) override { sourceShares_ = v; }
  double SourceShrs() const override { return roundTo(sourceShares_, 5); }
  void SourceCost(Currency v) override { sourceCost_ = v; }
  Currency SourceCost() const override { return sourceCost_.rounded(2); }
  void NewShrs(std::string_view v) override { setAmount(newShares_, v); }
  std::string NewShrs() const override { return sharesText(newShares_); }
  void NewCostPerShr(std::string_view v) override { setAmount(newCostPerShare_, v); }
  std::string NewCostPerShr() const override {
    return format(Currency::fromText(newCostPerShare_), kPerSharePattern);
  }
  void NewCost(std::string_view v) override { setAmount(newCost_, v); }
  std::string NewCost() const override { return amountText(newCost_); }
  void ChgShrs(std::string_view v) override { setAmount(changeShares_, v); }
  std::string ChgShrs() const override { return sharesText(changeShares_); }
  void ChgCost(std::string_view v) override { setAmount(changeCost_, v); }
  std::string ChgCost() const override { return amountText(changeCost_); }
  void DistributionFactor(double v) override { distributionFactor_ = v; }
  double DistributionFactor() const override { return distributionFactor_; }
  void XactionType(XTransType v) override { type_ = v; }
  XTransType XactionType() const override { return type_; }
  void Description(std::string_view v) override { description_ = v; }
  std::string Description() const override { return description_; }
  void Calculate() override {}
  void Code(std::string_view v) override { code_ = v; }
  std::string Code() const override { return code_; }

 private:
  static void setAmount(std::string& field, std::string_view v) {
    withTrail(kXactionTag, [&] {
      requireNumeric(v);
      field = v;
    });
  }

  double noOfNewCoShares_ = 0;
  double fmvPerShare_ = 0;
  Currency fmvOfStockReceived_;
  std::string allocationFactor_;
  std::string emptyProp_;
  std::string date_;
  Currency gainRecognized_;
  Currency gainRealized_;
  Currency cashReceived_;
  double sourcePrice_ = 0;
  double sourceShares_ = 0;
  Currency sourceCost_;
  std::string newShares_;
  std::string newCostPerShare_;
  std::string newCost_;
  std::string changeShares_;
  std::string changeCost_;
  double distributionFactor_ = 0;
  XTransType type_ = XTransType::Buy;
  std::string description_;
  std::string code_;
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

 private:
  std::string shares_ = "0";
  std::string cost_ = "0";
  std::string date_ = "12/31/1983";
  std::string code_;
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
XactionsPtr Xactions::create() { return std::make_shared<XactionsImpl>(); }
BuySellsPtr BuySells::create() { return std::make_shared<BuySellsImpl>(); }
SecurityPtr Security::create() { return std::make_shared<SecurityImpl>(); }
SecuritiesPtr Securities::create() { return std::make_shared<SecuritiesImpl>(); }

}  // namespace orlendo
