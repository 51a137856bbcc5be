#include "entry/input_fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "orlendo/catalogue.h"
#include "orlendo/model.h"

namespace tvx {
namespace {

// Every help text, character for character, typed out here on its own.
TEST(HelpTexts, EveryFieldShowsItsTextExactly) {
  const std::string dateForm =
      "Enter date with mm/dd/yyyy format. Thus, February 15, 1984 should be entered as 02/15/1984.";
  const std::vector<std::pair<Field, std::string>> expected = {
      {Field::txtName, "Enter the name of the investor."},
      {Field::txtLine2,
       "Enter the a information that you would like printed on each report below the name of the investor. This "
       "input is optional."},
      {Field::maskDtStart,
       "Enter the start date for this analysis. Most of the time you would use 12/31/1983. Dates before 12/31/1983 "
       "will be ignored by this program.\r\n\r\n" +
           dateForm},
      {Field::maskDtStop, "Enter the date that you want this analysis to stop.\r\n\r\n" + dateForm},
      {Field::MaskDtTrans, "Enter the date of the buy or sell. Do not enter dates before 12/31/1983.\r\n\r\n" + dateForm},
      {Field::txtShares,
       "Enter the number of shares that were either bought or sold with each transaction. Make sure you enter the "
       "investor's 12/31/1983 position in Quorvex!"},
      {Field::txtCost,
       "Enter the cost to the investor for this purchase. Make sure you enter the total cost basis for Quorvex shares "
       "owned on 12/31/1983. Do not enter cost per share! Enter total cost. Thus, if 100 shares were purchased for "
       "$1,000, enter 1000.\r\n\r\nThis input is not visible for sells!"},
      {Field::chkBuy,
       "Check this box if this is a buy. Leave it unchecked,if it is a sell. Make sure that you enter the investor's "
       "12/31/1983 position in Quorvex!"},
      {Field::radStandard,
       "For the Standard Option each share of Lumora would result in .95  Quorvex shares plus $36.27 cash."},
      {Field::radStock,
       "For the Stock Option each share of Lumora would result in 1.4912  Quorvex shares plus $8.50 cash."},
      {Field::radCash, "For the Cash Option each share of Lumora would result in .8955  Quorvex shares plus $39.06 cash."},
      {Field::btnFilename, "You can change or choose a filename by clicking on the button"},
  };
  for (const auto& [field, text] : expected) EXPECT_EQ(HelpTextOf(field), text) << FieldName(field);
  EXPECT_EQ(kHelpTexts.size(), expected.size());
  EXPECT_TRUE(HelpTextOf(Field::lstSecurities).empty());
  EXPECT_TRUE(HelpTextOf(Field::lstBuySells).empty());
}

TEST(Bindings, EachEditableFieldHasOneBinding) {
  std::set<Field> seen;
  for (const auto& b : kFieldBindings) EXPECT_TRUE(seen.insert(b.field).second) << FieldName(b.field);
  ASSERT_NE(BindingOf(Field::txtShares), nullptr);
  EXPECT_EQ(BindingOf(Field::txtShares)->object, BoundObject::CurBuySell);
  EXPECT_EQ(BindingOf(Field::maskDtStop)->property, "StopCalc");
  EXPECT_EQ(BindingOf(Field::chkBuy), nullptr);
}

TEST(TextChg, WritesEveryTextButALoneMinus) {
  auto b = orlendo::BuySell::create();
  EXPECT_TRUE(TextChg("12", *b, "ChgShrs"));
  EXPECT_FALSE(TextChg("-", *b, "ChgShrs"));
  EXPECT_EQ(GetPropByName(*b, "ChgShrs"), "12.00000");
  EXPECT_TRUE(TextChg("-5", *b, "ChgShrs"));
  EXPECT_EQ(GetPropByName(*b, "ChgShrs"), "-5.00000");
  EXPECT_TRUE(TextChg("--", *b, "ChgCost"));
  EXPECT_EQ(GetPropByName(*b, "ChgCost"), "--");  // not numeric: read back as typed
  EXPECT_THROW(TextChg("1", *b, "Shares"), std::invalid_argument);

  auto investor = orlendo::Investor::create();
  investor->BeginEdit();
  EXPECT_TRUE(TextChg("A & B", *investor, "sName"));
  EXPECT_FALSE(TextChg("-", *investor, "Line2"));
  EXPECT_TRUE(TextChg("1/5/1990", *investor, "StartCalc"));
  EXPECT_EQ(GetPropByName(*investor, "sName"), "A & B");
  EXPECT_EQ(GetPropByName(*investor, "Line2"), "");
  EXPECT_EQ(GetPropByName(*investor, "StartCalc"), "01/05/1990");
  EXPECT_THROW(GetPropByName(*investor, "Name"), std::invalid_argument);
}

TEST(DateBoxes, ShowValuesInTheMask) {
  EXPECT_EQ(DateBoxText("12/31/1983"), "12/31/1983");
  EXPECT_EQ(DateBoxText("1/5/1990"), "01/05/1990");
  EXPECT_EQ(DateBoxText(""), "__/__/____");
  EXPECT_EQ(DateBoxText("02/15/84"), "02/15/1984");  // date text with a short year is a date
  EXPECT_EQ(DateBoxText("0215"), "02/15/____");
  EXPECT_EQ(DateBoxText("13/45/2000"), "13/45/2000");
  EXPECT_EQ(DateBoxText("123456789"), "12/34/5678");
}

TEST(DateBoxes, OnlyACompleteRealDayMayBeLeft) {
  EXPECT_TRUE(DateBoxAcceptable("02/15/1984"));
  EXPECT_TRUE(DateBoxAcceptable("02/29/2000"));
  EXPECT_FALSE(DateBoxAcceptable("02/15/84__"));
  EXPECT_FALSE(DateBoxAcceptable("__/__/____"));
  EXPECT_FALSE(DateBoxAcceptable("02/30/2001"));
  EXPECT_FALSE(DateBoxAcceptable("02/29/2001"));
  EXPECT_FALSE(DateBoxAcceptable("13/01/2001"));
  EXPECT_FALSE(DateBoxAcceptable("01/01/0084"));
  EXPECT_TRUE(DateBoxComplete("02/30/2001"));
  EXPECT_FALSE(DateBoxComplete("0_/15/1984"));
  EXPECT_FALSE(DateBoxComplete("02/15/84"));  // the text without its placeholders
  EXPECT_FALSE(DateBoxComplete("2/15/1984"));
  EXPECT_FALSE(DateBoxComplete("02-15-1984"));
}

TEST(Fields, EnterAndSelectAllRules) {
  for (Field f : {Field::txtName, Field::txtLine2, Field::txtShares, Field::txtCost, Field::chkBuy,
                  Field::lstSecurities, Field::lstBuySells, Field::maskDtStart, Field::maskDtStop, Field::MaskDtTrans})
    EXPECT_TRUE(EnterMovesOn(f)) << FieldName(f);
  EXPECT_FALSE(EnterMovesOn(Field::radCash));
  EXPECT_FALSE(EnterMovesOn(Field::btnFilename));
  EXPECT_TRUE(SelectsAllOnFocus(Field::MaskDtTrans));
  EXPECT_FALSE(SelectsAllOnFocus(Field::chkBuy));
}

TEST(Captions, AmpersandsShowLiterally) {
  EXPECT_EQ(LiteralCaption("Quorvex"), "Quorvex");
  EXPECT_EQ(LiteralCaption("A&B && C&"), "A&&B &&&& C&&");
}

TEST(SecurityList, ShowsAllThirtyNamesSortedByName) {
  auto investor = orlendo::Investor::create();
  const auto names = SortedSecurityNames(*investor->colSecurities());
  ASSERT_EQ(names.size(), orlendo::kCatalogue.size());
  std::set<std::string> fromCatalogue;
  for (const auto& row : orlendo::kCatalogue) fromCatalogue.insert(std::string(row.name));
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), fromCatalogue);
  // Ordered as a reader expects, letter case aside: "Kaldera Corp" before "KSN Communications".
  const auto pos = [&](std::string_view n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
  EXPECT_LT(pos("Kaldera Corp"), pos("KSN Communications"));
  EXPECT_LT(pos("Corvallan"), pos("CRN Logic"));
  EXPECT_LT(pos("Quorvex"), pos("Quorvex Wireless"));
  EXPECT_EQ(names.front(), "Aldamark");
  EXPECT_EQ(names.back(), "Zephrin");
}

}  // namespace
}  // namespace tvx
