#include "library/test_support.h"

using orlendo::Date;
using orlendo::parseDate;

namespace {

using tvxtest::ymd;

TEST(DateText, ReadsTheThreeFormsWithTheCenturyRuleAndYearLimits) {
  const std::pair<const char*, Date> cases[] = {
      {"12/31/1983", ymd(1983, 12, 31)}, {"1/2/2003", ymd(2003, 1, 2)},   {"  3/4/1999\t", ymd(1999, 3, 4)},
      {"2003-1-2", ymd(2003, 1, 2)},     {" 2000-02-29 ", ymd(2000, 2, 29)},
      // Two-digit years: 00-29 are 2000-2029, 30-99 are 1930-1999.
      {"12/31/83", ymd(1983, 12, 31)},   {"1/1/00", ymd(2000, 1, 1)},     {"1/1/29", ymd(2029, 1, 1)},
      {"1/1/30", ymd(1930, 1, 1)},       {"2/29/00", ymd(2000, 2, 29)},
      // Years run from 100 to 9999.
      {"1/1/100", ymd(100, 1, 1)},       {"0100-01-01", ymd(100, 1, 1)}, {"12/31/9999", ymd(9999, 12, 31)},
      {"9999-12-31", ymd(9999, 12, 31)},
  };
  for (const auto& [text, day] : cases) EXPECT_EQ(parseDate(text), day) << text;
}

TEST(DateText, RejectsDaysThatDoNotExistAndOtherShapes) {
  EXPECT_TRUE(orlendo::isDateText("02/29/2004"));
  EXPECT_TRUE(orlendo::isDateText("04/30/2001"));
  for (const char* bad : {"13/45/2000", "02/30/2001", "02/29/2001", "02/29/1900", "2/29/30", "04/31/2001",
                          "0/10/2000", "1/0/2000", "00/00/0000", "2001-02-29", "2001-13-01", "12/31/0099",
                          "0099-12-31", "1/1/099", "1/1/10000", "10000-01-01", "", " ", "abc", "12/31", "12/31/",
                          "/12/1983", "1/1/5", "001/1/2000", "1 /2/2003", "1/2/2003x", "1-2-2003", "2003/01/02",
                          "03-01-02", "2003-01-02-", "+1/2/2003", "-1/2/2003", "1.2.2003", "12/31/1983 12:00"}) {
    EXPECT_FALSE(orlendo::isDateText(bad)) << '"' << bad << '"';
  }
  EXPECT_EQ(orlendo::readDate("2/28/2001"), ymd(2001, 2, 28));
  EXPECT_EQ(tvxtest::errorNumber([] { orlendo::readDate("02/30/2001"); }), orlendo::errnum::TypeMismatch);
}

}  // namespace
