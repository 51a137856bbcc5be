#include "entry/input_fields.h"

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "orlendo/catalogue.h"
#include "orlendo/model.h"

namespace tvx {
namespace {

// Each field shows its own help text; the election buttons' texts give the
// figures the calculation uses for the Lumora merger.
TEST(HelpTexts, EachFieldShowsItsOwnText) {
  const std::pair<Field, const char*> owned[] = {
      {Field::txtName, "Enter the name of the investor."},  {Field::txtLine2, "printed on each report below"},
      {Field::maskDtStart, "the start date for this analysis"}, {Field::maskDtStop, "want this analysis to stop"},
      {Field::MaskDtTrans, "date of the buy or sell"},         {Field::txtShares, "number of shares"},
      {Field::txtCost, "not visible for sells"},                {Field::chkBuy, "Check this box if this is a buy"},
      {Field::radStandard, "Standard Option each share of Lumora would result in .95  Quorvex shares plus $36.27"},
      {Field::radStock, "Stock Option each share of Lumora would result in 1.4912  Quorvex shares plus $8.50"},
      {Field::radCash, "Cash Option each share of Lumora would result in .8955  Quorvex shares plus $39.06"},
      {Field::btnFilename, "change or choose a filename"},      {Field::txtProceeds, "only open for sells"}};
  for (const auto& [field, text] : owned)
    EXPECT_NE(HelpTextOf(field).find(text), std::string_view::npos) << FieldName(field);
  for (Field date : {Field::maskDtStart, Field::maskDtStop, Field::MaskDtTrans})
    EXPECT_NE(HelpTextOf(date).find("\r\n\r\nEnter date with mm/dd/yyyy format."), std::string_view::npos);
  EXPECT_EQ(kHelpTexts.size(), std::size(owned));
  EXPECT_TRUE(HelpTextOf(Field::lstSecurities).empty());
  EXPECT_TRUE(HelpTextOf(Field::lstBuySells).empty());
}

TEST(TextChg, WritesEveryTextButALoneMinus) {
  auto b = orlendo::BuySell::create();
  EXPECT_TRUE(TextChg("12", *b, "ChgShrs"));
  EXPECT_FALSE(TextChg("-", *b, "ChgShrs"));
  EXPECT_EQ(GetPropByName(*b, "ChgShrs"), "12.00000");
  EXPECT_TRUE(TextChg("--", *b, "ChgCost"));
  EXPECT_EQ(GetPropByName(*b, "ChgCost"), "--");  // not numeric: read back as typed
  EXPECT_THROW(TextChg("1", *b, "Shares"), std::invalid_argument);

  auto investor = orlendo::Investor::create();
  investor->BeginEdit();
  EXPECT_FALSE(TextChg("-", *investor, "Line2"));
  EXPECT_TRUE(TextChg("1/5/1990", *investor, "StartCalc"));
  EXPECT_EQ(GetPropByName(*investor, "Line2"), "");
  EXPECT_EQ(GetPropByName(*investor, "StartCalc"), "01/05/1990");
  EXPECT_THROW(GetPropByName(*investor, "Name"), std::invalid_argument);
}

TEST(DateBoxes, ShowValuesInTheMaskAndOnlyACompleteRealDayMayBeLeft) {
  const std::pair<std::string_view, std::string_view> shown[] = {
      {"1/5/1990", "01/05/1990"}, {"", "__/__/____"},         {"02/15/84", "02/15/1984"},
      {"0215", "02/15/____"},     {"13/45/2000", "13/45/2000"}, {"123456789", "12/34/5678"}};
  for (const auto& [value, box] : shown) EXPECT_EQ(DateBoxText(value), box) << value;
  for (std::string_view ok : {"02/15/1984", "02/29/2000"}) EXPECT_TRUE(DateBoxAcceptable(ok)) << ok;
  for (std::string_view bad : {"02/15/84__", "__/__/____", "02/30/2001", "02/29/2001", "13/01/2001", "01/01/0084"})
    EXPECT_FALSE(DateBoxAcceptable(bad)) << bad;
  EXPECT_TRUE(DateBoxComplete("02/30/2001"));
  // An empty box may be left; what it warns of depends on what was typed.
  const std::tuple<std::string_view, bool, std::string> leaving[] = {
      {"__/__/____", true, std::string(kMissingDateWarning)},
      {"", true, std::string(kMissingDateWarning)},
      {"02/15/1984", true, ""},
      {"02/15/84__", false, std::string(kDateFormatWarning)},
      {"13/45/1990", false,
       "The date 13/45/1990 does not exist. Please check the month (01 to 12) and the day of the month."},
      {"02/29/2001", false,
       "The date 02/29/2001 does not exist. Please check the month (01 to 12) and the day of the month."}};
  for (const auto& [box, leavable, warning] : leaving) {
    EXPECT_EQ(DateBoxLeavable(box), leavable) << box;
    if (!warning.empty()) {
      EXPECT_EQ(DateBoxWarning(box), warning) << box;
    }
  }
  for (std::string_view partial : {"0_/15/1984", "02/15/84", "2/15/1984", "02-15-1984"})
    EXPECT_FALSE(DateBoxComplete(partial)) << partial;  // "02/15/84": the text without its placeholders
}

TEST(Captions, AmpersandsShowLiterally) {
  EXPECT_EQ(LiteralCaption("Quorvex"), "Quorvex");
  EXPECT_EQ(LiteralCaption("A&B && C&"), "A&&B &&&& C&&");
}

TEST(SecurityList, ShowsAllThirtyNamesSortedByNameLetterCaseAside) {
  auto investor = orlendo::Investor::create();
  const auto names = SortedSecurityNames(*investor->colSecurities());
  std::set<std::string> fromCatalogue;
  for (const auto& row : orlendo::kCatalogue) fromCatalogue.insert(std::string(row.name));
  ASSERT_EQ(names.size(), orlendo::kCatalogue.size());
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), fromCatalogue);
  const auto pos = [&](std::string_view n) { return std::find(names.begin(), names.end(), n) - names.begin(); };
  EXPECT_LT(pos("Kaldera Corp"), pos("KSN Communications"));
  EXPECT_LT(pos("Corvallan"), pos("CRN Logic"));
  EXPECT_LT(pos("Quorvex"), pos("Quorvex Wireless"));
  EXPECT_EQ(names.front(), "Aldamark");
}

}  // namespace
}  // namespace tvx
