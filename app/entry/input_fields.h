// The fields of the input window as data: which object property each field
// edits, the help text it shows when it takes the focus, how Enter and focus
// behave in it, and the rules of the masked date boxes.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "orlendo/model.h"

namespace tvx {

// The input window's controls that take part in editing, focus or help.
enum class Field {
  txtName,
  txtLine2,
  maskDtStart,
  maskDtStop,
  radStandard,
  radStock,
  radCash,
  btnFilename,
  lstSecurities,
  lstBuySells,
  chkBuy,
  txtShares,
  txtCost,
  MaskDtTrans,
  txtProceeds,
};

// The control's name, for messages and logs ("txtName").
std::string_view FieldName(Field field);

// ---- bindings --------------------------------------------------------------------

enum class BoundObject { Investor, CurBuySell };

struct FieldBinding {
  Field field;
  BoundObject object;
  std::string_view property;  // as understood by TextChg and GetPropByName
};

inline constexpr std::array<FieldBinding, 8> kFieldBindings{{
    {Field::txtName, BoundObject::Investor, "sName"},
    {Field::txtLine2, BoundObject::Investor, "Line2"},
    {Field::maskDtStart, BoundObject::Investor, "StartCalc"},
    {Field::maskDtStop, BoundObject::Investor, "StopCalc"},
    {Field::txtShares, BoundObject::CurBuySell, "ChgShrs"},
    {Field::txtCost, BoundObject::CurBuySell, "ChgCost"},
    {Field::MaskDtTrans, BoundObject::CurBuySell, "XActionDate"},
    {Field::txtProceeds, BoundObject::CurBuySell, "Proceeds"},
}};

// The binding of a field, or nullptr for a field bound to no property.
const FieldBinding* BindingOf(Field field);

// Writes `text` into the named property, unless the text is exactly "-" (the
// first character of a negative number). Returns false when nothing was
// written. An unknown property name is an std::invalid_argument.
bool TextChg(std::string_view text, orlendo::Investor& object, std::string_view propertyName);
bool TextChg(std::string_view text, orlendo::BuySell& object, std::string_view propertyName);

// Reads the named property as text.
std::string GetPropByName(const orlendo::Investor& object, std::string_view propertyName);
std::string GetPropByName(const orlendo::BuySell& object, std::string_view propertyName);

// ---- help texts ----------------------------------------------------------------

struct FieldHelp {
  Field field;
  std::string_view text;
};

extern const std::array<FieldHelp, 13> kHelpTexts;

// The help text a field shows when it takes the focus; empty for none.
std::string_view HelpTextOf(Field field);

// ---- keys and focus ------------------------------------------------------------

// Enter moves on to the next field as Tab does.
bool EnterMovesOn(Field field);
// The whole text is selected when the field takes the focus.
bool SelectsAllOnFocus(Field field);

// ---- date boxes ------------------------------------------------------------------

bool IsDateBox(Field field);

// Input mask of the date boxes: eight digits, slashes fixed, "_" for a missing digit.
inline constexpr std::string_view kDateInputMask = "99/99/9999";
inline constexpr std::string_view kEmptyDateBox = "__/__/____";

inline constexpr std::string_view kDateWarningTitle = "WARNING";
inline constexpr std::string_view kDateFormatWarning =
    "Invalid date format. This is usually caused by entering a year as two digits instead of four digits. "
    "E.g., enter 2002 as 2002 not 02.";

inline constexpr std::string_view kMissingDateWarning =
    "Please enter the transaction date as month, day and four-digit year, e.g. 02/15/2002.";

// True when the date box may be left: empty (nothing typed) or acceptable.
bool DateBoxLeavable(std::string_view displayed);

// The warning for a date box that holds no usable date: a missing date, a
// day that does not exist (13/45/1990), or a partly typed date.
std::string DateBoxWarning(std::string_view displayed);

// What a date box shows for a value: date text as "mm/dd/yyyy", anything
// else as its digits put into the mask in order, "_" where none is left.
std::string DateBoxText(std::string_view value);

// True when the displayed text has all eight digits in the mask's shape
// ("mm/dd/yyyy", no "_").
bool DateBoxComplete(std::string_view displayed);

// True when the displayed text may be left: complete and naming a real day.
bool DateBoxAcceptable(std::string_view displayed);

// ---- captions ----------------------------------------------------------------------

// A name shown literally in a caption: every "&" doubled.
std::string LiteralCaption(std::string_view name);

// The names of the investor's securities in the order the list shows them:
// by name, letter case aside (ties in byte order).
std::vector<std::string> SortedSecurityNames(const orlendo::Securities& securities);

}  // namespace tvx
