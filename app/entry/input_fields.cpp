#include "entry/input_fields.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "orlendo/ascii.h"
#include "orlendo/dates.h"

namespace tvx {

namespace {

// The line of the date boxes' help texts that shows the date form.
#define TVX_DATE_FORM_LINE "Enter date with mm/dd/yyyy format. Thus, February 15, 1984 should be entered as 02/15/1984."

[[noreturn]] void unknownProperty(std::string_view object, std::string_view name) {
  throw std::invalid_argument(std::string(object) + " has no property named " + std::string(name));
}

}  // namespace

std::string_view FieldName(Field field) {
  switch (field) {
    case Field::txtName: return "txtName";
    case Field::txtLine2: return "txtLine2";
    case Field::maskDtStart: return "maskDtStart";
    case Field::maskDtStop: return "maskDtStop";
    case Field::radStandard: return "radStandard";
    case Field::radStock: return "radStock";
    case Field::radCash: return "radCash";
    case Field::btnFilename: return "btnFilename";
    case Field::lstSecurities: return "lstSecurities";
    case Field::lstBuySells: return "lstBuySells";
    case Field::chkBuy: return "chkBuy";
    case Field::txtShares: return "txtShares";
    case Field::txtCost: return "txtCost";
    case Field::MaskDtTrans: return "MaskDtTrans";
    case Field::txtProceeds: return "txtProceeds";
  }
  return "";
}

const FieldBinding* BindingOf(Field field) {
  for (const auto& b : kFieldBindings)
    if (b.field == field) return &b;
  return nullptr;
}

bool TextChg(std::string_view text, orlendo::Investor& object, std::string_view propertyName) {
  if (text == "-") return false;
  if (propertyName == "sName")
    object.sName(text);
  else if (propertyName == "Line2")
    object.Line2(text);
  else if (propertyName == "StartCalc")
    object.StartCalc(text);
  else if (propertyName == "StopCalc")
    object.StopCalc(text);
  else
    unknownProperty("Investor", propertyName);
  return true;
}

bool TextChg(std::string_view text, orlendo::BuySell& object, std::string_view propertyName) {
  if (text == "-") return false;
  if (propertyName == "ChgShrs")
    object.ChgShrs(text);
  else if (propertyName == "ChgCost")
    object.ChgCost(text);
  else if (propertyName == "XActionDate")
    object.XActionDate(text);
  else if (propertyName == "Code")
    object.Code(text);
  else if (propertyName == "Proceeds")
    object.Proceeds(text);
  else
    unknownProperty("BuySell", propertyName);
  return true;
}

std::string GetPropByName(const orlendo::Investor& object, std::string_view propertyName) {
  if (propertyName == "sName") return object.sName();
  if (propertyName == "Line2") return object.Line2();
  if (propertyName == "StartCalc") return object.StartCalc();
  if (propertyName == "StopCalc") return object.StopCalc();
  unknownProperty("Investor", propertyName);
}

std::string GetPropByName(const orlendo::BuySell& object, std::string_view propertyName) {
  if (propertyName == "ChgShrs") return object.ChgShrs();
  if (propertyName == "ChgCost") return object.ChgCost();
  if (propertyName == "XActionDate") return object.XActionDate();
  if (propertyName == "Code") return object.Code();
  if (propertyName == "Proceeds") return object.Proceeds();
  unknownProperty("BuySell", propertyName);
}

const std::array<FieldHelp, 13> kHelpTexts{{
    {Field::txtName, "Enter the name of the investor."},
    {Field::txtLine2,
     "Enter the a information that you would like printed on each report below the name of the investor. "
     "This input is optional."},
    {Field::maskDtStart,
     "Enter the start date for this analysis. Most of the time you would use 12/31/1983. "
     "Dates before 12/31/1983 will be ignored by this program.\r\n\r\n" TVX_DATE_FORM_LINE},
    {Field::maskDtStop, "Enter the date that you want this analysis to stop.\r\n\r\n" TVX_DATE_FORM_LINE},
    {Field::MaskDtTrans,
     "Enter the date of the buy or sell. Do not enter dates before 12/31/1983.\r\n\r\n" TVX_DATE_FORM_LINE},
    {Field::txtShares,
     "Enter the number of shares that were either bought or sold with each transaction. "
     "Make sure you enter the investor's 12/31/1983 position in Quorvex!"},
    {Field::txtCost,
     "Enter the cost to the investor for this purchase. Make sure you enter the total cost basis for Quorvex "
     "shares owned on 12/31/1983. Do not enter cost per share! Enter total cost. Thus, if 100 shares were "
     "purchased for $1,000, enter 1000.\r\n\r\nThis input is not visible for sells!"},
    {Field::txtProceeds,
     "Enter the total amount received for this sale, after commissions and fees, as your broker reports it. "
     "The Sales report uses it for the gain; leave it empty when you do not know it.\r\n\r\n"
     "This input is only open for sells!"},
    {Field::chkBuy,
     "Check this box if this is a buy. Leave it unchecked,if it is a sell. "
     "Make sure that you enter the investor's 12/31/1983 position in Quorvex!"},
    {Field::radStandard,
     "For the Standard Option each share of Lumora would result in .95  Quorvex shares plus $36.27 cash."},
    {Field::radStock,
     "For the Stock Option each share of Lumora would result in 1.4912  Quorvex shares plus $8.50 cash."},
    {Field::radCash,
     "For the Cash Option each share of Lumora would result in .8955  Quorvex shares plus $39.06 cash."},
    {Field::btnFilename, "You can change or choose a filename by clicking on the button"},
}};

#undef TVX_DATE_FORM_LINE

std::string_view HelpTextOf(Field field) {
  for (const auto& h : kHelpTexts)
    if (h.field == field) return h.text;
  return {};
}

bool EnterMovesOn(Field field) {
  switch (field) {
    case Field::txtName:
    case Field::txtLine2:
    case Field::txtShares:
    case Field::txtCost:
    case Field::txtProceeds:
    case Field::chkBuy:
    case Field::lstSecurities:
    case Field::lstBuySells:
    case Field::maskDtStart:
    case Field::maskDtStop:
    case Field::MaskDtTrans:
      return true;
    default:
      return false;
  }
}

bool SelectsAllOnFocus(Field field) {
  switch (field) {
    case Field::txtName:
    case Field::txtLine2:
    case Field::txtShares:
    case Field::txtCost:
    case Field::txtProceeds:
    case Field::maskDtStart:
    case Field::maskDtStop:
    case Field::MaskDtTrans:
      return true;
    default:
      return false;
  }
}

bool IsDateBox(Field field) {
  return field == Field::maskDtStart || field == Field::maskDtStop || field == Field::MaskDtTrans;
}

std::string DateBoxText(std::string_view value) {
  if (auto d = orlendo::parseDate(value)) return orlendo::formatDate(*d);
  std::string shown(kEmptyDateBox);
  std::size_t next = 0;
  for (char c : value) {
    if (!std::isdigit(static_cast<unsigned char>(c))) continue;
    while (next < shown.size() && shown[next] != '_') ++next;
    if (next >= shown.size()) break;
    shown[next++] = c;
  }
  return shown;
}

bool DateBoxComplete(std::string_view displayed) {
  // The full shape of the mask: a text without its placeholders ("02/15/84"
  // for "02/15/84__") is not complete either.
  if (displayed.size() != kDateInputMask.size()) return false;
  for (std::size_t i = 0; i < displayed.size(); ++i) {
    const bool digit = std::isdigit(static_cast<unsigned char>(displayed[i])) != 0;
    if (kDateInputMask[i] == '9' ? !digit : displayed[i] != kDateInputMask[i]) return false;
  }
  return true;
}

bool DateBoxAcceptable(std::string_view displayed) {
  return DateBoxComplete(displayed) && orlendo::isDateText(displayed);
}

namespace {
bool DateBoxEmpty(std::string_view displayed) { return displayed.empty() || displayed == kEmptyDateBox; }
}  // namespace

bool DateBoxLeavable(std::string_view displayed) { return DateBoxEmpty(displayed) || DateBoxAcceptable(displayed); }

std::string DateBoxWarning(std::string_view displayed) {
  if (DateBoxEmpty(displayed)) return std::string(kMissingDateWarning);
  if (DateBoxComplete(displayed))
    return "The date " + std::string(displayed) +
           " does not exist. Please check the month (01 to 12) and the day of the month.";
  return std::string(kDateFormatWarning);
}

std::string LiteralCaption(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char c : name) {
    out.push_back(c);
    if (c == '&') out.push_back('&');
  }
  return out;
}

std::vector<std::string> SortedSecurityNames(const orlendo::Securities& securities) {
  std::vector<std::string> names;
  for (const auto& s : securities) names.push_back(s->SecName());
  std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string la = orlendo::foldKey(a), lb = orlendo::foldKey(b);
    if (la != lb) return la < lb;
    return a < b;
  });
  return names;
}

}  // namespace tvx
