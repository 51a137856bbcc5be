// The root object: the investor's own fields, edit mode, the catalogue it is
// filled with, and the operations that reach into the data file and the
// calculation.
#include <optional>

#include "calc/calculate.h"
#include "model/arithmetic.h"
#include "model/data_file.h"
#include "model/objects.h"
#include "orlendo/catalogue.h"
#include "orlendo/error.h"
#include "orlendo/model.h"

namespace orlendo {
namespace {

class InvestorImpl final : public Investor {
 public:
  // Without `today` the clock is read when the stop date is first needed:
  // a run whose file names its stop date never reads it.
  explicit InvestorImpl(std::optional<Date> today) : today_(today) {
    securities_ = Securities::create();
    for (const CatalogueRow& row : kCatalogue) {
      std::string code(row.code);
      std::string name(row.name);
      oSecurity_ = securities_->Add(code, name, row.name);
    }
    editMode_ = true;
    Lumora2QVX(eLumora::standard);
    editMode_ = false;
    start_ = formatShortDate(kHistoryStart);
  }

  void Fetch(std::string_view vsFname) override {
    withTrail("Investor.Fetch", [&] { fetchInvestor(*this, vsFname, [this] { return todayDate(); }); });
  }
  void Lumora2QVX(eLumora v) override {
    withTrail("Investor.Lumora2QVX", [&] {
      if (editMode_) lumora_ = v;
    });
  }
  eLumora Lumora2QVX() const override { return lumora_; }
  void LoadFile(std::string_view vsFname) override {
    withTrail("Investor.LoadFile", [&] { Fetch(vsFname); });
  }
  void ApplyEdit(std::string_view vsFname) override {
    withTrail("Investor.ApplyEdit", [&] {
      Save(vsFname);
      editMode_ = false;
    });
  }
  void Save(std::string_view vsFname) override {
    withTrail("Investor.Save", [&] { saveInvestor(*this, vsFname); });
  }
  void Calculate(Date StartCalc, Date StopCalc, ProgressObserver* observer) override {
    calculateInvestor(*this, StartCalc, StopCalc, observer);
  }
  void oSecurity(SecurityPtr v) override { oSecurity_ = std::move(v); }
  SecurityPtr oSecurity() const override { return oSecurity_; }
  void Filename(std::string_view v) override { filename_ = v; }
  std::string Filename() const override { return filename_; }
  void oXAction(XactionPtr v) override { oXAction_ = std::move(v); }
  XactionPtr oXAction() const override { return oXAction_; }
  void colSecurities(SecuritiesPtr v) override { securities_ = std::move(v); }
  SecuritiesPtr colSecurities() const override { return securities_; }
  void StopCalc(std::string_view v) override {
    if (setDate("Investor.StopCalc", stop_, v)) stopIsToday_ = false;
  }
  std::string StopCalc() const override { return dateText(stopIsToday_ ? formatShortDate(todayDate()) : stop_); }
  void StartCalc(std::string_view v) override { setDate("Investor.StartCalc", start_, v); }
  std::string StartCalc() const override { return dateText(start_); }
  void Line2(std::string_view v) override {
    withTrail("Investor", [&] {
      if (editMode_) line2_ = v;
    });
  }
  std::string Line2() const override { return line2_; }
  void sName(std::string_view v) override {
    withTrail("Investor", [&] {
      if (editMode_) name_ = v;
    });
  }
  void sNameRef(std::string v) override { name_ = std::move(v); }
  std::string sName() const override { return name_; }
  void Version(std::string_view v) override { version_ = v; }
  std::string Version() const override { return version_; }
  void BeginEdit() override { editMode_ = true; }
  void MakeDesc() override {
    withTrail("Investor.MakeDesc", [&] {
      for (const auto& security : *securities_)
        describeXactions(*security->colXActions());
    });
  }
  bool InEditMode() const override { return editMode_; }

 private:
  // Date text is stored as the system's short date text and read back as "mm/dd/yyyy".
  // True when the field took the date.
  bool setDate(std::string_view tag, std::string& field, std::string_view v) {
    bool set = false;
    withTrail(tag, [&] {
      if (!editMode_) return;
      if (auto d = parseDate(v)) {
        field = formatShortDate(*d);
        set = true;
      }
    });
    return set;
  }
  Date todayDate() const {
    if (!today_) today_ = today();
    return *today_;
  }
  static std::string dateText(const std::string& stored) {
    auto d = parseDate(stored);
    return d ? formatDate(*d) : stored;
  }

  mutable std::optional<Date> today_;
  SecuritiesPtr securities_;
  SecurityPtr oSecurity_;
  XactionPtr oXAction_;
  std::string filename_;
  std::string name_;
  std::string line2_;
  std::string start_;
  std::string stop_;       // unless stopIsToday_
  bool stopIsToday_ = true;  // until a stop date is set
  std::string version_;
  eLumora lumora_ = eLumora::standard;
  bool editMode_ = false;
};

}  // namespace

InvestorPtr Investor::create() { return std::make_shared<InvestorImpl>(std::nullopt); }
InvestorPtr Investor::create(Date today) { return std::make_shared<InvestorImpl>(today); }

}  // namespace orlendo
