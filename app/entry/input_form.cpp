#include "entry/input_form.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "core/error_paths.h"
#include "entry/entry_limits.h"
#include "orlendo/error.h"
#include "orlendo/numbers.h"

namespace tvx {

namespace {

const std::string kNoText;

Field checkField(EntryCheck check) {
  switch (check) {
    case EntryCheck::Cost: return Field::txtCost;
    case EntryCheck::Shares: return Field::txtShares;
    case EntryCheck::Date: return Field::MaskDtTrans;
    case EntryCheck::Proceeds: return Field::txtProceeds;
  }
  return Field::txtShares;
}

std::string checkedValue(const orlendo::BuySell& b, EntryCheck check);

std::string checkedValue(const orlendo::BuySell& b, EntryCheck check, const std::string& typed) {
  try {
    return checkedValue(b, check);
  } catch (const orlendo::Error&) {
    return typed;  // the record cannot hand it back: what the user typed
  }
}

std::string checkedValue(const orlendo::BuySell& b, EntryCheck check) {
  switch (check) {
    case EntryCheck::Cost: return b.ChgCost();
    case EntryCheck::Shares: return b.ChgShrs();
    case EntryCheck::Date: return b.XActionDate();
    case EntryCheck::Proceeds: return b.Proceeds();
  }
  return {};
}

// The number of the failure in flight, for the fatal-error message.
long numberInFlight() {
  try {
    throw;
  } catch (const EntryError& e) {
    return e.number();
  } catch (...) {
    return currentError().number;
  }
}

// The failure in flight as the entry error of `procedure`.
EntryError entryErrorInFlight(std::string_view procedure) {
  try {
    rethrowAsEntryError(procedure);
  } catch (const EntryError& e) {
    return e;
  }
}

}  // namespace

InputForm::InputForm(orlendo::InvestorPtr investor, InputWindowHost& host, MessageBox& messages)
    : investor_(std::move(investor)), host_(host), messages_(messages) {
  texts_.trans = std::string(kEmptyDateBox);
  texts_.start = std::string(kEmptyDateBox);
  texts_.stop = std::string(kEmptyDateBox);
}

// Runs an event handler; a failure goes to the error path with the handler's
// location and leaves the window inert, as the program is ending. When the
// program ended on the way (a save that took the fatal path), it has been
// reported once, and the window only goes inert.
template <class F>
void InputForm::guarded(std::string_view procedure, F&& body) {
  if (failed_) return;
  Guarded(
      std::forward<F>(body),
      [&] {
        goInert();
        const EntryError e = entryErrorInFlight(procedure);
        host_.reportError(e.number(), e.description(), e.location());
      },
      [&] { goInert(); });
}

void InputForm::goInert() {
  failed_ = true;
  loading_ = false;
}

// ---- opening and closing ----------------------------------------------------

void InputForm::load() {
  guarded("Form_Load", [&] {
    loading_ = true;
    election_ = orlendo::eLumora::standard;
    curBuySell_ = orlendo::BuySell::create();
    setText(Field::txtName, investor_->sName());
    setText(Field::txtLine2, investor_->Line2());
    setText(Field::maskDtStart, DateBoxText(investor_->StartCalc()));
    setText(Field::maskDtStop, DateBoxText(investor_->StopCalc()));
    buyChecked_ = true;
    setText(Field::txtCost, "0");
    setText(Field::txtShares, "0");
    setText(Field::txtProceeds, "");
    SetLumoraRadButtons();
    if (failed_) return;

    const auto securities = investor_->colSecurities();
    securityList_.clear();
    securityList_.lines = SortedSecurityNames(*securities);
    const auto first = std::find(securityList_.lines.begin(), securityList_.lines.end(), kFirstSecurity);
    if (first != securityList_.lines.end())
      securityList_.selected = static_cast<int>(first - securityList_.lines.begin());

    curSecurity_ = std::string(kFirstSecurity);
    const auto security = securities->Item(std::string_view(curSecurity_));
    securityCaption_ = LiteralCaption(security->SecName());
    curBuySells_ = security->colBuySells();
    buySellList_.clear();
    InitializeBuySellsArray(buySellRows_, curBuySells_, buySellList_);
    markSecurities();
    loading_ = false;
    investor_->BeginEdit();
  });
}

void InputForm::SetLumoraRadButtons() {
  guarded("SetLumoraRadButtons", [&] {
    const auto value = investor_->Lumora2QVX();
    switch (value) {
      case orlendo::eLumora::standard:
      case orlendo::eLumora::shares:
      case orlendo::eLumora::cash:
        election_ = value;
        break;
      default:
        election_ = orlendo::eLumora::standard;
        break;
    }
  });
}

void InputForm::SetInitialIP() {
  if (failed_) return;
  Guarded([&] { filenameLabel_ = host_.shortFilename(); },
          [&] {
            failed_ = true;
            host_.reportFatal(numberInFlight(), "SetInitialIP");
          },
          [&] { failed_ = true; });
}

std::string InputForm::caption() const {
  const std::string name = investor_ ? investor_->sName() : std::string();
  return name.empty() ? std::string(kInputsCaption) : std::string(kInputsCaption) + " - " + name;
}

void InputForm::okClicked() {
  if (failed_) return;
  bool saved = false;
  Guarded([&] { saved = host_.saveFile(); },  // GetInputs
          [&] {
            failed_ = true;
            host_.reportFatal(numberInFlight(), "GetInputs");
          },
          [&] { failed_ = true; });
  // Unsaved, the window stays open so that nothing typed is lost.
  if (!saved) return;
  closeRequested_ = true;
  close();
}

void InputForm::cancelClicked() {
  closeRequested_ = true;
  close();
}

void InputForm::close() {
  buySellRows_.clear();
  curBuySell_.reset();
}

// ---- fields ---------------------------------------------------------------------

std::string InputForm::Texts::*InputForm::textMember(Field field) {
  switch (field) {
    case Field::txtName: return &Texts::name;
    case Field::txtLine2: return &Texts::line2;
    case Field::maskDtStart: return &Texts::start;
    case Field::maskDtStop: return &Texts::stop;
    case Field::MaskDtTrans: return &Texts::trans;
    case Field::txtShares: return &Texts::shares;
    case Field::txtCost: return &Texts::cost;
    case Field::txtProceeds: return &Texts::proceeds;
    default: return nullptr;
  }
}

std::string& InputForm::textRef(Field field) {
  if (const auto member = textMember(field)) return texts_.*member;
  throw std::invalid_argument("the field " + std::string(FieldName(field)) + " holds no text");
}

const std::string& InputForm::text(Field field) const {
  if (const auto member = textMember(field)) return texts_.*member;
  return kNoText;
}

void InputForm::setText(Field field, std::string value) { textRef(field) = std::move(value); }

// Writes a field's text into its bound property. The investor's fields
// report a change of the investor's value to the host; a date box writes only
// a complete date, so a partly typed date never reaches the investor.
void InputForm::writeBound(Field field) {
  const FieldBinding* binding = BindingOf(field);
  if (!binding) return;
  const std::string& value = text(field);
  if (binding->object == BoundObject::CurBuySell) {
    if (curBuySell_) TextChg(value, *curBuySell_, binding->property);
    return;
  }
  if (IsDateBox(field) && !DateBoxComplete(value)) return;
  const std::string before = GetPropByName(*investor_, binding->property);
  TextChg(value, *investor_, binding->property);
  if (GetPropByName(*investor_, binding->property) != before) host_.markChanged();
}

void InputForm::textChanged(Field field, std::string_view displayed) {
  guarded(std::string(FieldName(field)) + "_Change", [&] {
    std::string& current = textRef(field);
    if (current == displayed) return;  // the window echoing what it was told to show
    current = std::string(displayed);
    if (loading_) return;
    writeBound(field);
  });
}

void InputForm::focusEntered(Field field) {
  const std::string_view help = HelpTextOf(field);
  if (!help.empty()) helpText_ = help;
}

bool InputForm::focusLeaving(Field field) {
  if (failed_) return true;
  if (IsDateBox(field)) {
    if (DateBoxAcceptable(text(field))) return true;
    if (DateBoxLeavable(text(field))) {
      // Nothing typed: the investor's dates keep their value, and the box shows it again.
      const FieldBinding* binding = BindingOf(field);
      if (binding && binding->object == BoundObject::Investor)
        setText(field, DateBoxText(GetPropByName(*investor_, binding->property)));
      return true;
    }
    messages_.show(kDateWarningTitle, DateBoxWarning(text(field)), Icon::Exclamation, Buttons::Ok);
    requestFocus(field);
    return false;
  }
  const FieldBinding* binding = BindingOf(field);
  if (!binding) return true;
  guarded(std::string(FieldName(field)) + "_LostFocus", [&] {
    if (binding->object == BoundObject::Investor)
      setText(field, GetPropByName(*investor_, binding->property));
    else if (curBuySell_)
      setText(field, GetPropByName(*curBuySell_, binding->property));
  });
  return true;
}

void InputForm::buyCheckClicked(bool checked) {
  buyChecked_ = checked;
  // A buy has no proceeds: the box closes empty.
  if (checked && !texts_.proceeds.empty()) {
    setText(Field::txtProceeds, "");
    if (curBuySell_) curBuySell_->Proceeds("");
  }
}

void InputForm::electionClicked(orlendo::eLumora election) {
  if (loading_) return;
  guarded("fraLumora_Click", [&] {
    election_ = election;
    const auto before = investor_->Lumora2QVX();
    investor_->Lumora2QVX(election);
    if (investor_->Lumora2QVX() != before) host_.markChanged();
  });
}

std::optional<Field> InputForm::takeFocusRequest() { return std::exchange(focus_, std::nullopt); }

// ---- the buy/sell page ---------------------------------------------------------

void InputForm::storeCurBuySells() {
  investor_->colSecurities()->Item(std::string_view(curSecurity_))->colBuySells(curBuySells_);
  markSecurities();
}

void InputForm::markSecurities() {
  const auto securities = investor_->colSecurities();
  securityMarks_.clear();
  for (const std::string& name : securityList_.lines) {
    const auto buySells = securities->Item(std::string_view(name))->colBuySells();
    securityMarks_.push_back(buySells && buySells->Count() > 0);
  }
}

// A new scratch record for the entry fields. The shares and cost boxes are
// reset to "0" by the caller; the date box keeps its text, and the new record
// takes it too, so that what the box shows is what an Add records.
void InputForm::freshScratch() {
  curBuySell_ = orlendo::BuySell::create();
  if (texts_.trans != kEmptyDateBox) TextChg(texts_.trans, *curBuySell_, "XActionDate");
}

void InputForm::securityClicked(int index) {
  if (loading_) return;
  if (index < 0 || index >= static_cast<int>(securityList_.lines.size())) return;
  guarded("lstSecurities_Click", [&] {
    storeCurBuySells();
    securityList_.selected = index;
    curSecurity_ = securityList_.lines[static_cast<std::size_t>(index)];
    curBuySells_ = investor_->colSecurities()->Item(std::string_view(curSecurity_))->colBuySells();
    buySellRows_ = PlaceholderRows();
    securityCaption_ = LiteralCaption(curSecurity_);
    buySellList_.clear();
    InitializeBuySellsArray(buySellRows_, curBuySells_, buySellList_);
    setText(Field::txtCost, "0");
    setText(Field::txtShares, "0");
    setText(Field::txtProceeds, "");
    freshScratch();
  });
}

void InputForm::buySellClicked(int index) {
  if (buySellList_.lines.empty()) return;
  if (index < 0 || index >= static_cast<int>(buySellList_.lines.size())) return;
  if (static_cast<std::size_t>(index) >= buySellRows_.size()) return;
  guarded("lstBuySells_Click", [&] {
    buySellList_.selected = index;
    const BuySellRow& row = buySellRows_[static_cast<std::size_t>(index)];
    buyChecked_ = row.IsBuy;
    setText(Field::txtCost, row.ChgCost);
    writeBound(Field::txtCost);
    setText(Field::txtShares, row.ChgShrs);
    writeBound(Field::txtShares);
    setText(Field::txtProceeds, row.Proceeds);
    writeBound(Field::txtProceeds);
    setText(Field::MaskDtTrans, DateBoxText(row.XActionDate));
    writeBound(Field::MaskDtTrans);
    requestFocus(Field::txtShares);
  });
}

// The three entry checks on CurBuySell. Each failing check asks whether to
// fix it: Yes puts the focus in its field and ends the checks; No goes on to
// the next. Either way an entry that failed a check is not stored, and after
// No to all of them the user is told so.
bool InputForm::passesEntryChecks(bool adding) {
  const auto failing = FailingEntryChecks(*curBuySell_);
  for (EntryCheck check : failing) {
    const std::string value = checkedValue(*curBuySell_, check, text(checkField(check)));
    const Answer answer =
        messages_.show(kEntryCheckTitle, EntryCheckMessage(check, value), Icon::Exclamation, Buttons::YesNo);
    if (answer == Answer::Yes) {
      requestFocus(checkField(check));
      return false;
    }
  }
  if (!failing.empty())
    messages_.show(kEntryCheckTitle, adding ? kEntryNotAdded : kEntryNotChanged, Icon::Information, Buttons::Ok);
  return failing.empty();
}

// A missing transaction date is refused before the entry checks: the box
// may be left empty, but no entry is stored without a day. A typed date
// that does not read is the entry checks' to judge.
bool InputForm::hasTransactionDate() {
  if (!DateBoxLeavable(texts_.trans) || DateBoxAcceptable(texts_.trans)) return true;  // the entry checks judge it
  messages_.show(kDateWarningTitle, DateBoxWarning(texts_.trans), Icon::Exclamation, Buttons::Ok);
  requestFocus(Field::MaskDtTrans);
  return false;
}

// Values the report columns would cut are refused; one that fills its
// column is taken only when the user says so.
bool InputForm::fitsReportColumns(bool adding) {
  std::vector<ValueFit> fits;
  const auto read = [&](EntryValue what, const std::string& text) {
    try {
      return orlendo::parseDouble(text);
    } catch (const orlendo::Error&) {  // beyond the range of a double
      fits.push_back(BeyondAnyField(what, text));
      return 0.0;
    }
  };
  const double shares = read(EntryValue::Shares, curBuySell_->ChgShrs());
  const double cost = buyChecked_ ? read(EntryValue::Cost, curBuySell_->ChgCost()) : 0.0;
  std::optional<double> proceeds;
  if (!buyChecked_ && curBuySell_->HasProceeds()) proceeds = read(EntryValue::Proceeds, curBuySell_->Proceeds());
  if (fits.empty()) fits = EntryValueFits(shares, cost, buyChecked_, proceeds);
  for (const ValueFit& value : fits) {
    const Field field = value.what == EntryValue::Shares     ? Field::txtShares
                        : value.what == EntryValue::Proceeds ? Field::txtProceeds
                                                             : Field::txtCost;
    if (value.fit == FieldFit::Cut) {
      messages_.show(kEntryCheckTitle, CutValueMessage(value, adding), Icon::Exclamation, Buttons::Ok);
      requestFocus(field);
      return false;
    }
    if (messages_.show(kEntryCheckTitle, FullFieldQuestion(value), Icon::Question, Buttons::YesNo) != Answer::Yes) {
      requestFocus(field);
      return false;
    }
  }
  return true;
}

void InputForm::addClicked() {
  guarded("btnAdd_Click", [&] {
    if (!hasTransactionDate()) return;
    if (!passesEntryChecks(true) || !fitsReportColumns(true)) return;
    const bool changed = AddBuySellArrayItem(*curBuySell_, buySellRows_, buyChecked_, buySellList_, curBuySells_,
                                             ListEditMode::Add, messages_);
    storeCurBuySells();
    if (changed) host_.markChanged();
    setText(Field::txtCost, "0");
    setText(Field::txtShares, "0");
    setText(Field::txtProceeds, "");
    setText(Field::MaskDtTrans, std::string(kEmptyDateBox));
    curBuySell_ = orlendo::BuySell::create();
    requestFocus(Field::txtShares);
  });
}

void InputForm::changeClicked() {
  guarded("btnChange_Click", [&] {
    // Without a selected line there is nothing to check; the list procedure
    // says so.
    if (buySellList_.hasSelection()) {
      if (!hasTransactionDate()) return;
      TextChg(texts_.trans, *curBuySell_, "XActionDate");
      if (!passesEntryChecks(false) || !fitsReportColumns(false)) return;
    }
    const bool changed = AddBuySellArrayItem(*curBuySell_, buySellRows_, buyChecked_, buySellList_, curBuySells_,
                                             ListEditMode::Change, messages_);
    storeCurBuySells();
    if (changed) host_.markChanged();
  });
}

void InputForm::deleteClicked() {
  guarded("btnDelete_Click", [&] {
    // The question names the transaction that is about to go: the selected
    // line's, even when the date box has been edited since it was clicked.
    if (buySellList_.hasSelection() && static_cast<std::size_t>(buySellList_.selected) < buySellRows_.size())
      curBuySell_->XActionDate(buySellRows_[static_cast<std::size_t>(buySellList_.selected)].XActionDate);
    else
      TextChg(texts_.trans, *curBuySell_, "XActionDate");
    const bool changed =
        DeleteBuySellArrayItem(curBuySell_, buySellRows_, buyChecked_, buySellList_, curBuySells_, messages_);
    storeCurBuySells();
    if (changed) host_.markChanged();
    setText(Field::txtCost, "0");
    setText(Field::txtShares, "0");
    setText(Field::txtProceeds, "");
    freshScratch();
    requestFocus(Field::txtShares);
  });
}

void InputForm::saveClicked() {
  guarded("btnSave_Click", [&] {
    host_.saveFile();
    investor_->BeginEdit();
  });
}

void InputForm::filenameClicked() {
  guarded("btnFilename_Click", [&] {
    host_.saveAs();
    investor_->BeginEdit();
  });
  SetInitialIP();
}

}  // namespace tvx
