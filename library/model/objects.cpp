// The leaf objects and collections of the object model.
#include "model/objects.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <typeinfo>
#include <utility>
#include <vector>

#include "model/arithmetic.h"
#include "orlendo/collection.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/transactions.h"

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

// A buy or sell as the calculation posts it, with its results: everything
// its transaction object would hold, in 48 bytes instead of an object.
struct Posted {
  enum Kind : std::uint8_t { kBuy, kSell, kObject };
  double newShares = 0;
  double changeShares = 0;
  Currency newCost;
  Currency changeCost;
  Currency newCostPerShare;
  Date date{};
  Kind kind = kBuy;  // kObject: the slot holds a transaction object instead
  bool hasCostPerShare = false;
  bool described = false;  // Description() is that of the kind, else empty
};
static_assert(sizeof(Posted) <= 48);

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

  // This transaction becomes the posting `p` (a new one, or one that is
  // read through this object), and the other way round.
  void assign(const Posted& p) {
    newShares_ = p.newShares;
    changeShares_ = p.changeShares;
    newCost_ = p.newCost;
    changeCost_ = p.changeCost;
    newCostPerShare_ = p.newCostPerShare;
    hasCostPerShare_ = p.hasCostPerShare;
    date_ = p.date;
    hasDate_ = true;
    type_ = p.kind == Posted::kSell ? XTransType::sell : XTransType::Buy;
    const std::string_view description = !p.described ? std::string_view() : p.kind == Posted::kSell ? "Sell" : "Buy";
    if (description_ != description) description_ = description;
  }
  // Only for a buy or sell built by XactionsImpl::post: nothing else set.
  Posted posted() const {
    Posted p;
    p.newShares = newShares_;
    p.changeShares = changeShares_;
    p.newCost = newCost_;
    p.changeCost = changeCost_;
    p.newCostPerShare = newCostPerShare_;
    p.date = date_;
    p.kind = type_ == XTransType::sell ? Posted::kSell : Posted::kBuy;
    p.hasCostPerShare = hasCostPerShare_;
    return p;
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

// What a buy or sell's gets make of its texts.
std::string sharesShown(std::string_view shares) {
  return isNumericText(shares) ? format(parseDouble(shares), kSharesPattern) : std::string(shares);
}
// Cost and proceeds alike.
std::string amountShown(std::string_view amount) {
  return isNumericText(amount) ? format(Currency::fromText(amount), kAmountPattern) : std::string(amount);
}
double sharesValue(std::string_view shares) {
  // Not numeric: the type mismatch of reading the text unchanged.
  return decimalValue(scaledRound(parseDouble(shares), 5), 5);
}
std::optional<Currency> amountOf(std::string_view amount) {
  if (!isNumericText(amount)) return std::nullopt;
  // The cents the text get shows; rounding a count to cents stays in range.
  return Currency::fromText(amount).rounded(2);
}
// Proceeds of blanks only are none.
std::string_view proceedsKept(std::string_view v) {
  return v.find_first_not_of(' ') == std::string_view::npos ? std::string_view() : v;
}

class BuySellImpl final : public BuySell {
 public:
  void ChgShrs(std::string_view v) override { shares_ = v; }
  std::string ChgShrs() const override { return sharesShown(shares_); }
  void ChgCost(std::string_view v) override { cost_ = v; }
  std::string ChgCost() const override { return amountShown(cost_); }
  void XActionDate(std::string_view v) override { date_ = v; }
  std::string XActionDate() const override { return date_; }
  void Code(std::string_view v) override { code_ = v; }
  std::string Code() const override { return code_; }
  const std::string& storedShares() const { return shares_; }
  const std::string& storedCost() const { return cost_; }
  const std::string& storedProceeds() const { return proceeds_; }

  double ChgShrsValue() const override { return sharesValue(shares_); }
  std::optional<Currency> ChgCostAmount() const override { return amountOf(cost_); }

  void Proceeds(std::string_view v) override { proceeds_ = proceedsKept(v); }
  std::string Proceeds() const override { return amountShown(proceeds_); }
  std::optional<Currency> ProceedsAmount() const override { return amountOf(proceeds_); }
  bool HasProceeds() const override { return !proceeds_.empty(); }

  // The texts exactly as stored (no defaults applied).
  void assign(std::string_view code, std::string_view date, std::string_view cost, std::string_view shares,
              std::string_view proceeds) {
    code_.assign(code);
    date_.assign(date);
    cost_.assign(cost);
    shares_.assign(shares);
    proceeds_.assign(proceeds);
  }

 private:
  std::string shares_ = "0";
  std::string cost_ = "0";
  std::string date_ = "12/31/1983";
  std::string code_;
  std::string proceeds_;  // empty: none
};

// An entry kept compact, read in place: its texts are views into the
// collection's buffer. Only ever handed out as const, for reading.
class EntryView final : public BuySell {
 public:
  void ChgShrs(std::string_view) override { readOnly(); }
  std::string ChgShrs() const override { return sharesShown(shares_); }
  void ChgCost(std::string_view) override { readOnly(); }
  std::string ChgCost() const override { return amountShown(cost_); }
  void XActionDate(std::string_view) override { readOnly(); }
  std::string XActionDate() const override { return std::string(date_); }
  void Code(std::string_view) override { readOnly(); }
  std::string Code() const override { return std::string(code_); }
  std::string_view storedShares() const { return shares_; }
  std::string_view storedCost() const { return cost_; }
  std::string_view storedProceeds() const { return proceeds_; }
  double ChgShrsValue() const override { return sharesValue(shares_); }
  std::optional<Currency> ChgCostAmount() const override { return amountOf(cost_); }
  void Proceeds(std::string_view) override { readOnly(); }
  std::string Proceeds() const override { return amountShown(proceeds_); }
  std::optional<Currency> ProceedsAmount() const override { return amountOf(proceeds_); }
  bool HasProceeds() const override { return !proceeds_.empty(); }

  void assign(std::string_view code, std::string_view date, std::string_view cost, std::string_view shares,
              std::string_view proceeds) {
    code_ = code;
    date_ = date;
    cost_ = cost;
    shares_ = shares;
    proceeds_ = proceeds;
  }

 private:
  [[noreturn]] static void readOnly() { raisePlatform(errnum::InvalidArgument); }
  std::string_view shares_;
  std::string_view cost_;
  std::string_view date_;
  std::string_view code_;
  std::string_view proceeds_;
};

// The transactions of a security. While no caller has asked for them all as
// objects (NewEnum, Remove), the calculation's buys and sells stay compact
// postings and an object is built for one only when Item asks for it; the
// transactions added as objects sit among them. From the first NewEnum or
// Remove on, every transaction is an object.
class XactionsImpl final : public Xactions {
 public:
  XactionPtr Add(const XactionPtr& oXAction) override {
    if (objectsOnly_) {
      members_.Append(oXAction);
      calcNewXAction(members_.Members());
      return oXAction;
    }
    XactionImpl previous;
    const Xaction* before = last(previous);
    roomForOneMore(objects_);
    posted_.push_back(Posted{});
    posted_.back().kind = Posted::kObject;
    objects_.emplace_back(posted_.size() - 1, oXAction);
    calcNewXAction(*oXAction, before);
    return oXAction;
  }
  XactionPtr Item(long vntIndexKey) const override {
    if (objectsOnly_) return members_.Item(vntIndexKey);
    if (vntIndexKey < 1 || vntIndexKey > Count()) raisePlatform(errnum::SubscriptOutOfRange);
    const auto i = static_cast<std::size_t>(vntIndexKey - 1);
    if (posted_[i].kind == Posted::kObject) return object(i);
    // From now on the object is the transaction: a caller may change it.
    auto x = std::make_shared<XactionImpl>();
    x->assign(posted_[i]);
    const auto at = std::lower_bound(objects_.begin(), objects_.end(), i,
                                     [](const auto& o, std::size_t n) { return o.first < n; });
    objects_.emplace(at, i, x);
    posted_[i].kind = Posted::kObject;
    return x;
  }
  long Count() const override { return objectsOnly_ ? members_.Count() : static_cast<long>(posted_.size()); }
  void Remove(long vntIndexKey) override {
    toObjects();
    members_.Remove(vntIndexKey);
  }
  std::span<const XactionPtr> NewEnum() const override {
    toObjects();
    return members_.Members();
  }

  // A buy or sell of the calculation: what Add of a new transaction with the
  // day, the kind, ChgShrsValue(shares) and a buy's ChgCostAmount(cost) does.
  const Xaction& post(Date day, bool buy, double shares, Currency cost) {
    // As new, with the day and the kind: the posting path sets nothing else
    // on this object.
    PostingRoom& room = postingRoom();
    XactionImpl& x = room.posting;
    Posted fresh;
    fresh.date = day;
    fresh.kind = buy ? Posted::kBuy : Posted::kSell;
    x.assign(fresh);
    if (buy) x.ChgCostAmount(cost);
    x.ChgShrsValue(shares);
    if (objectsOnly_) {
      auto object = std::make_shared<XactionImpl>();
      object->assign(x.posted());
      Add(object);
      return *object;
    }
    const Xaction* before = last(room.previous);
    roomForOneMore(posted_);  // so that the push_back below cannot fail
    try {
      calcNewXAction(x, before);
    } catch (...) {
      posted_.push_back(x.posted());  // appended before its results failed, as Add does
      throw;
    }
    posted_.push_back(x.posted());
    return x;
  }

  void reserve(std::size_t n) {
    if (!objectsOnly_) posted_.reserve(n);
  }

  // Every transaction's description set from its kind.
  void describe() {
    if (objectsOnly_) {
      for (const XactionPtr& x : members_.Members()) x->Description(orlendo::describe(x->XactionType()));
      return;
    }
    for (std::size_t i = 0; i < posted_.size(); ++i) {
      if (posted_[i].kind != Posted::kObject) {
        posted_[i].described = true;
      } else {
        Xaction& x = *object(i);
        x.Description(orlendo::describe(x.XactionType()));
      }
    }
  }

  void visit(void* context, detail::XactionVisit visit) const {
    if (objectsOnly_) {
      for (const XactionPtr& x : members_.Members()) visit(context, *x);
      return;
    }
    XactionImpl reader;
    for (std::size_t i = 0; i < posted_.size(); ++i) visit(context, slot(i, reader));
  }

 private:
  template <class V>
  static void roomForOneMore(V& v) {
    if (v.size() == v.capacity()) v.reserve(v.empty() ? 4 : 2 * v.size());
  }
  const XactionPtr& object(std::size_t i) const {
    return std::lower_bound(objects_.begin(), objects_.end(), i,
                            [](const auto& o, std::size_t n) { return o.first < n; })
        ->second;
  }
  // Transaction i, read through `reader` when it is a posting.
  const Xaction& slot(std::size_t i, XactionImpl& reader) const {
    if (posted_[i].kind == Posted::kObject) return *object(i);
    reader.assign(posted_[i]);
    return reader;
  }
  const Xaction* last(XactionImpl& reader) const {
    return posted_.empty() ? nullptr : &slot(posted_.size() - 1, reader);
  }
  void toObjects() const {
    if (objectsOnly_) return;
    Collection<Xaction> members;
    members.Reserve(posted_.size());
    for (std::size_t i = 0; i < posted_.size(); ++i) {
      if (posted_[i].kind == Posted::kObject) {
        members.Append(object(i));
      } else {
        auto x = std::make_shared<XactionImpl>();
        x->assign(posted_[i]);
        members.Append(std::move(x));
      }
    }
    members_ = std::move(members);
    std::vector<Posted>().swap(posted_);
    std::vector<std::pair<std::size_t, XactionPtr>>().swap(objects_);
    objectsOnly_ = true;
  }

  mutable std::vector<Posted> posted_;
  // The objects among posted_, by position.
  mutable std::vector<std::pair<std::size_t, XactionPtr>> objects_;
  mutable Collection<Xaction> members_;
  mutable bool objectsOnly_ = false;
  // What post() works in, made on the first: most securities never post,
  // and a collection without it is a third of the size.
  struct PostingRoom {
    XactionImpl posting;   // the last post()
    XactionImpl previous;  // the one before it, when a posting
  };
  PostingRoom& postingRoom() {
    if (!postingRoom_) postingRoom_ = std::make_unique<PostingRoom>();
    return *postingRoom_;
  }
  std::unique_ptr<PostingRoom> postingRoom_;
};

// The user's buys and sells of a security. Those a data file gave stay
// their texts side by side in one buffer, 16 bytes and the texts each, until
// a caller asks for an entry's object (Item) or for them all (NewEnum,
// Remove, a keyed Add); from the first call for them all on, every entry is
// an object.
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
    if (!sKey.empty()) toObjects();
    if (objectsOnly_) {
      members_.Append(entry, sKey);
    } else {
      roomForOneMore(objects_);
      stored_.push_back(Stored{kObject, {}});
      objects_.emplace_back(stored_.size() - 1, entry);
    }
    dirty_ = true;
    return entry;
  }
  BuySellPtr Item(long vntIndexKey) const override {
    if (objectsOnly_) return members_.Item(vntIndexKey);
    if (vntIndexKey < 1 || vntIndexKey > Count()) raisePlatform(errnum::SubscriptOutOfRange);
    const auto i = static_cast<std::size_t>(vntIndexKey - 1);
    if (stored_[i].at == kObject) return object(i);
    // From now on the object is the entry: a caller may change it.
    auto entry = std::make_shared<BuySellImpl>();
    load(i, *entry);
    const auto at = std::lower_bound(objects_.begin(), objects_.end(), i,
                                     [](const auto& o, std::size_t n) { return o.first < n; });
    objects_.emplace(at, i, entry);
    stored_[i].at = kObject;
    return entry;
  }
  // Only keyed entries are found by key, and those make every entry an object.
  BuySellPtr Item(std::string_view vntIndexKey) const override { return members_.Item(vntIndexKey); }
  long Count() const override { return objectsOnly_ ? members_.Count() : static_cast<long>(stored_.size()); }
  void Remove(long vntIndexKey) override {
    toObjects();
    members_.Remove(vntIndexKey);
    dirty_ = true;
  }
  void Remove(std::string_view vntIndexKey) override {
    toObjects();
    members_.Remove(vntIndexKey);
    dirty_ = true;
  }
  std::span<const BuySellPtr> NewEnum() const override {
    toObjects();
    return members_.Members();
  }
  bool IsDirty() const override { return dirty_; }

  // Add without a key, then Proceeds(proceeds), keeping the texts: an
  // empty cost or shares text is "0", proceeds of blanks only are none.
  void addTexts(std::string_view code, std::string_view date, std::string_view cost, std::string_view shares,
                std::string_view proceeds) {
    if (cost.empty()) cost = "0";
    if (shares.empty()) shares = "0";
    proceeds = proceedsKept(proceeds);
    const std::size_t at = texts_.size();
    const std::size_t size = code.size() + date.size() + cost.size() + shares.size() + proceeds.size();
    constexpr std::size_t kLimit = 0xFFFF;
    if (objectsOnly_ || at + size >= kObject ||
        std::max({code.size(), date.size(), cost.size(), shares.size(), proceeds.size()}) > kLimit) {
      std::string c(code), d(date), k(cost), s(shares);
      Add(c, d, k, s, {})->Proceeds(proceeds);
      return;
    }
    if (texts_.size() + size > texts_.capacity()) texts_.reserve(std::max(2 * texts_.capacity(), at + size));
    roomForOneMore(stored_);
    texts_.resize(at + size);
    char* to = texts_.data() + at;
    for (const std::string_view t : {code, date, cost, shares, proceeds}) to = std::copy(t.begin(), t.end(), to);
    stored_.push_back(Stored{static_cast<std::uint32_t>(at),
                             {static_cast<std::uint16_t>(code.size()), static_cast<std::uint16_t>(date.size()),
                              static_cast<std::uint16_t>(cost.size()), static_cast<std::uint16_t>(shares.size()),
                              static_cast<std::uint16_t>(proceeds.size())}});
    dirty_ = true;
  }
  void reserve(std::size_t entries, std::size_t textBytes) {
    if (objectsOnly_) return;
    stored_.reserve(entries);
    texts_.reserve(textBytes);
  }

  const BuySell& read(long position, EntryView& reader) const {
    if (objectsOnly_) return *members_.Item(position);
    if (position < 1 || position > Count()) raisePlatform(errnum::SubscriptOutOfRange);
    const auto i = static_cast<std::size_t>(position - 1);
    if (stored_[i].at == kObject) return *object(i);
    load(i, reader);
    return reader;
  }

  void visit(void* context, void (*visit)(void*, const BuySell&)) const {
    if (objectsOnly_) {
      for (const BuySellPtr& b : members_.Members()) visit(context, *b);
      return;
    }
    EntryView reader;
    for (std::size_t i = 0; i < stored_.size(); ++i) {
      if (stored_[i].at == kObject) {
        visit(context, *object(i));
      } else {
        load(i, reader);
        visit(context, reader);
      }
    }
  }

 private:
  static constexpr std::uint32_t kObject = 0xFFFFFFFF;
  struct Stored {
    std::uint32_t at;  // of the texts in texts_; kObject: the entry is an object
    std::array<std::uint16_t, 5> sizes;  // code, date, cost, shares, proceeds
  };

  template <class V>
  static void roomForOneMore(V& v) {
    if (v.size() == v.capacity()) v.reserve(v.empty() ? 4 : 2 * v.size());
  }
  template <class Entry>
  void load(std::size_t i, Entry& entry) const {
    const Stored& e = stored_[i];
    std::string_view t = std::string_view(texts_).substr(e.at);
    std::array<std::string_view, 5> field;
    for (std::size_t f = 0; f < field.size(); ++f) {
      field[f] = t.substr(0, e.sizes[f]);
      t.remove_prefix(e.sizes[f]);
    }
    entry.assign(field[0], field[1], field[2], field[3], field[4]);
  }
  const BuySellPtr& object(std::size_t i) const {
    return std::lower_bound(objects_.begin(), objects_.end(), i,
                            [](const auto& o, std::size_t n) { return o.first < n; })
        ->second;
  }
  void toObjects() const {
    if (objectsOnly_) return;
    Collection<BuySell> members;
    members.Reserve(stored_.size());
    for (std::size_t i = 0; i < stored_.size(); ++i) {
      if (stored_[i].at == kObject) {
        members.Append(object(i));
      } else {
        auto entry = std::make_shared<BuySellImpl>();
        load(i, *entry);
        members.Append(std::move(entry));
      }
    }
    members_ = std::move(members);
    std::vector<Stored>().swap(stored_);
    std::string().swap(texts_);
    std::vector<std::pair<std::size_t, BuySellPtr>>().swap(objects_);
    objectsOnly_ = true;
  }

  mutable std::vector<Stored> stored_;
  mutable std::string texts_;
  // The objects among stored_, by position.
  mutable std::vector<std::pair<std::size_t, BuySellPtr>> objects_;
  mutable Collection<BuySell> members_;
  mutable bool objectsOnly_ = false;
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

// `object` as our own implementation `Own` (a final class), or null: the
// same answer as dynamic_cast at the cost of comparing two type records.
template <class Own, class Base>
Own* ownAs(Base* object) {
  return typeid(*object) == typeid(Own) ? static_cast<Own*>(object) : nullptr;
}

}  // namespace

XactionPtr Xaction::create() { return std::make_shared<XactionImpl>(); }
BuySellPtr BuySell::create() { return std::make_shared<BuySellImpl>(); }

std::string storedShares(const BuySell& entry) {
  if (const auto* own = ownAs<const BuySellImpl>(&entry)) return own->storedShares();
  if (const auto* view = ownAs<const EntryView>(&entry)) return std::string(view->storedShares());
  return entry.ChgShrs();
}

std::string storedCost(const BuySell& entry) {
  if (const auto* own = ownAs<const BuySellImpl>(&entry)) return own->storedCost();
  if (const auto* view = ownAs<const EntryView>(&entry)) return std::string(view->storedCost());
  return entry.ChgCost();
}

std::string storedProceeds(const BuySell& entry) {
  if (const auto* own = ownAs<const BuySellImpl>(&entry)) return own->storedProceeds();
  if (const auto* view = ownAs<const EntryView>(&entry)) return std::string(view->storedProceeds());
  return entry.Proceeds();
}
XactionsPtr Xactions::create() { return std::make_shared<XactionsImpl>(); }

const Xaction& addPosting(Xactions& xactions, Date day, bool buy, double shares, Currency cost) {
  if (auto* own = ownAs<XactionsImpl>(&xactions)) return own->post(day, buy, shares, cost);
  auto x = Xaction::create();
  x->XActionDay(day);
  x->XactionType(buy ? XTransType::Buy : XTransType::sell);
  if (buy) x->ChgCostAmount(cost);
  x->ChgShrsValue(shares);
  xactions.Add(x);
  return *x;  // the collection holds it
}

void reservePostings(Xactions& xactions, std::size_t n) {
  if (auto* own = ownAs<XactionsImpl>(&xactions)) own->reserve(n);
}

void describeXactions(Xactions& xactions) {
  if (auto* own = ownAs<XactionsImpl>(&xactions)) return own->describe();
  for (const auto& x : xactions) x->Description(describe(x->XactionType()));
}

void addEntryTexts(BuySells& entries, std::string_view code, std::string_view date, std::string_view cost,
                   std::string_view shares, std::string_view proceeds) {
  if (auto* own = ownAs<BuySellsImpl>(&entries)) return own->addTexts(code, date, cost, shares, proceeds);
  std::string c(code), d(date), k(cost), s(shares);
  const BuySellPtr entry = entries.Add(c, d, k, s);
  if (!proceeds.empty()) entry->Proceeds(proceeds);
}

void reserveEntries(BuySells& entries, std::size_t n, std::size_t textBytes) {
  if (auto* own = ownAs<BuySellsImpl>(&entries)) own->reserve(n, textBytes);
}

EntryReader::EntryReader() : scratch_(std::make_unique<EntryView>()) {}
EntryReader::~EntryReader() = default;

const BuySell& EntryReader::read(const BuySells& entries, long position) {
  if (&entries != entries_) {
    entries_ = &entries;
    own_ = ownAs<const BuySellsImpl>(&entries);
  }
  if (own_) return static_cast<const BuySellsImpl*>(own_)->read(position, static_cast<EntryView&>(*scratch_));
  return *entries.Item(position);  // the collection holds it
}

void visitEntries(const BuySells& entries, void* context, void (*visit)(void*, const BuySell&)) {
  if (const auto* own = ownAs<const BuySellsImpl>(&entries)) return own->visit(context, visit);
  for (const auto& b : entries) visit(context, *b);
}

namespace detail {
void visitXactions(const Xactions& xactions, void* context, XactionVisit visit) {
  if (const auto* own = ownAs<const XactionsImpl>(&xactions)) return own->visit(context, visit);
  for (const auto& x : xactions) visit(context, *x);
}
}  // namespace detail
BuySellsPtr BuySells::create() { return std::make_shared<BuySellsImpl>(); }
SecurityPtr Security::create() { return std::make_shared<SecurityImpl>(); }
SecuritiesPtr Securities::create() { return std::make_shared<SecuritiesImpl>(); }

}  // namespace orlendo
