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

}  // namespace
}  // namespace tvx
