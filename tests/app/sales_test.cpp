// The sales file and the Sales report: rows worked on paper from the event
// table and the entries, never captured from the code.
#include "reports/sales_export.h"
#include "reports/sales_report.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app_test_support.h"

namespace tvx::test {
namespace {

// ---- the sales file and report ----

using orlendo::LotMethod;

struct Entry {
  const char *security, *date, *shares, *cost, *proceeds = "";
};

struct Case {
  const char* why;
  std::vector<Entry> entries;
  const char* stop;
  LotMethod method;
  std::optional<int> year;
  std::vector<std::string> rows;
};

orlendo::InvestorPtr investorOf(const std::vector<Entry>& entries, const std::string& stop) {
  auto investor = makeInvestor("A", "", "12/31/1983", stop);
  for (const Entry& e : entries) {
    std::string code = e.date, date = e.date, cost = e.cost, shares = e.shares;
    investor->colSecurities()->Item(e.security)->colBuySells()->Add(code, date, cost, shares)->Proceeds(e.proceeds);
  }
  return investor;
}

std::vector<orlendo::SaleRow> rowsOf(orlendo::Investor& investor, LotMethod method, std::optional<int> year = {}) {
  return orlendo::calculateWithLots(investor, orlendo::readDate(investor.StartCalc()),
                                    orlendo::readDate(investor.StopCalc()), nullptr)
      ->rows(method, year);
}

std::string salesOf(orlendo::Investor& investor, LotMethod method, std::optional<int> year) {
  return MakeSalesCsv(rowsOf(investor, method, year), method);
}

// Vantrel: 100 shares bought 03/01/1999 for 1,000.00 become 500 in the 5-for-1
// split of 10/04/1999; 50 more are bought 12/01/1999 for 900.00. The sale of
// 520 takes the 500 (long) and 20 of the 50 (short, 900 x 20/50 = 360.00).
// Proceeds 2,600.13: short 2,600.13 x 20/520 = 100.005, a tie, 100.00; long
// the rest, 2,500.13 (rounded on its own, 2,500.125 would give 2,500.12).
// The pool: 550 shares, 1,900.00, 3.4546 a share; the sale's basis
// 3.4546 x 520 = 1,796.39: short 1,796.39 x 20/520 = 69.09, long 1,727.30.
const std::vector<Entry> kSplitBetweenBuys = {{"Vantrel", "03/01/1999", "100", "1000"},
                                              {"Vantrel", "12/01/1999", "50", "900"},
                                              {"Vantrel", "06/15/2000", "-520", "0", "2600.13"}};

// Lumora, election 1 (0.95 Quorvex and 36.27 cash a share, Quorvex at
// 33.8125): each block of 100 gets 3,627.00 cash and stock worth 3,212.1875.
// 1996 lot: 500.00 less 3.74% to the 06/12/1998 spin-off = 481.30; realized
// 6,357.8875, all the cash recognized: basis 0.00. 03/01/2000 lot: 9,000.00,
// a loss, nothing recognized: basis 3,627.00. 04/03/2000 lot: 5,839.19,
// realized 999.9975 recognized: basis 2,627.0025.
// The pool: 300 shares, 15,320.49; cash 10,881.00, stock 9,636.56, gain
// recognized 5,197.07, basis 5,683.93: short 2/3 = 3,789.29, long 1,894.64.
const std::vector<Entry> kLumoraBlocks = {{"Lumora", "01/10/1996", "100", "500"},
                                          {"Lumora", "03/01/2000", "100", "9000"},
                                          {"Lumora", "04/03/2000", "100", "5839.19"}};

// Quorvex Wireless goes to nothing on 12/30/2004 (proceeds unknown); Dirvana
// is worthless on 01/01/2010 and sold on 12/31/2010, after the stop date;
// Kaldera is sold on 05/03/2010, before it.
const std::vector<Entry> kCloseOuts = {{"Quorvex Wireless", "06/01/2004", "10", "50"},
                                       {"Dirvana", "06/01/2009", "40", "123.45"},
                                       {"Kaldera Corp", "02/01/2010", "10", "30"},
                                       {"Kaldera Corp", "05/03/2010", "-10", "0", "45"}};

// Brantel: 15 sold, 10 held; the pool's basis 10.00 x 15 = 150.00.
const std::vector<Entry> kBeyondHolding = {{"Brantel", "01/05/2010", "10", "100"},
                                          {"Brantel", "03/01/2011", "-15", "0", "300"}};

// Aldamark bought on 02/29/2012: its anniversary is 02/28/2013.
const std::vector<Entry> kLeapDay = {{"Aldamark", "02/29/2012", "10", "100"},
                                     {"Aldamark", "02/28/2013", "-5", "0"},
                                     {"Aldamark", "03/01/2013", "-5", "0", "80"}};

// Dunmarrow: 87.66667 shares become 131.500005 in the 3-for-2 split of
// 02/23/1987; the pool shows 131.50001, and selling that leaves exactly
// 0.000005 shares beyond the lot. Both ties go to even.
const std::vector<Entry> kHalfAUnitBeyond = {{"Dunmarrow", "07/07/1986", "87.66667", "100"},
                                             {"Dunmarrow", "12/13/1990", "-131.50001", "0"}};

// Kaldera: after an odd part of the lot, 1,000 of its 10,000 shares still
// carry 929,831.05 x 1,000 / 10,000 = 92,983.105, a tie, to even.
const std::vector<Entry> kTieAfterAnOddPart = {{"Kaldera Corp", "12/31/2005", "10000", "929831.05"},
                                               {"Kaldera Corp", "07/18/2006", "-860.91877", "0"},
                                               {"Kaldera Corp", "10/10/2006", "-1000", "0"}};

const Case kCases[] = {
    {"a tie after an odd part of the same lot", kTieAfterAnOddPart, "12/31/2006", LotMethod::fifo, {},
     {"Kaldera Corp,860.91877,2005-12-31,2006-07-18,,80050.90,,,,short,B,sell,fifo",
      "Kaldera Corp,1000.00000,2005-12-31,2006-10-10,,92983.10,,,,short,B,sell,fifo"}},
    {"rows of exact half units", kHalfAUnitBeyond, "12/31/1990", LotMethod::fifo, {},
     {"Dunmarrow,131.50000,1986-07-07,1990-12-13,,100.00,,,,long,E,sell,fifo",
      "Dunmarrow,0.00000,,1990-12-13,,0.00,,,,,,sell,fifo"}},
    {"fifo: a sale over a split spanning two buys", kSplitBetweenBuys, "12/31/2000", LotMethod::fifo, {},
     {"Vantrel,20.00000,1999-12-01,2000-06-15,100.00,360.00,,,-260.00,short,B,sell,fifo",
      "Vantrel,500.00000,1999-03-01,2000-06-15,2500.13,1000.00,,,1500.13,long,E,sell,fifo"}},
    {"average: the pool's basis shared by shares", kSplitBetweenBuys, "12/31/2000", LotMethod::average, {},
     {"Vantrel,20.00000,1999-12-01,2000-06-15,100.00,69.09,,,30.91,short,B,sell,average",
      "Vantrel,500.00000,1999-03-01,2000-06-15,2500.13,1727.30,,,772.83,long,E,sell,average"}},
    {"fifo: every Lumora lot a block of its own", kLumoraBlocks, "12/31/2000", LotMethod::fifo, {},
     {"Lumora,100.00000,1996-01-10,2000-06-15,3627.00,0.00,,,3627.00,long,E,merger cash,fifo",
      "Lumora,100.00000,2000-03-01,2000-06-15,3627.00,3627.00,,,0.00,short,B,merger cash,fifo",
      "Lumora,100.00000,2000-04-03,2000-06-15,3627.00,2627.00,,,1000.00,short,B,merger cash,fifo"}},
    {"average: the pool's cash and gain over the whole holding", kLumoraBlocks, "12/31/2000", LotMethod::average, {},
     {"Lumora,200.00000,VARIOUS,2000-06-15,7254.00,3789.29,,,3464.71,short,B,merger cash,average",
      "Lumora,100.00000,1996-01-10,2000-06-15,3627.00,1894.64,,,1732.36,long,E,merger cash,average"}},
    {"close-outs, the worthless one on December 31, rows by date sold", kCloseOuts, "06/30/2010", LotMethod::fifo,
     {},
     {"Quorvex Wireless,10.00000,2004-06-01,2004-12-30,,50.00,,,,short,B,close-out,fifo",
      "Kaldera Corp,10.00000,2010-02-01,2010-05-03,45.00,30.00,,,15.00,short,B,sell,fifo",
      "Dirvana,40.00000,2009-06-01,2010-12-31,0.00,123.45,,,-123.45,long,E,worthless,fifo"}},
    {"a tax year keeps the rows sold in it", kCloseOuts, "06/30/2010", LotMethod::average, 2004,
     {"Quorvex Wireless,10.00000,2004-06-01,2004-12-30,,50.00,,,,short,B,close-out,average"}},
    {"fifo: shares beyond the lots are a part with no lot", kBeyondHolding, "12/31/2011", LotMethod::fifo, {},
     {"Brantel,10.00000,2010-01-05,2011-03-01,200.00,100.00,,,100.00,long,E,sell,fifo",
      "Brantel,5.00000,,2011-03-01,100.00,0.00,,,100.00,,,sell,fifo"}},
    {"average: the part with no lot shares the pool's basis", kBeyondHolding, "12/31/2011", LotMethod::average, {},
     {"Brantel,10.00000,2010-01-05,2011-03-01,200.00,100.00,,,100.00,long,E,sell,average",
      "Brantel,5.00000,,2011-03-01,100.00,50.00,,,50.00,,,sell,average"}},
    {"February 29 has its anniversary on February 28; covered boxes", kLeapDay, "12/31/2013", LotMethod::fifo, {},
     {"Aldamark,5.00000,2012-02-29,2013-02-28,,50.00,,,,short,A,sell,fifo",
      "Aldamark,5.00000,2012-02-29,2013-03-01,80.00,50.00,,,30.00,long,D,sell,fifo"}},
    {"nothing sold in the year: the header alone", kLeapDay, "12/31/2013", LotMethod::fifo, 2012, {}},
};

TEST(SalesFile, HandWorkedRows) {
  for (const Case& c : kCases) {
    auto investor = investorOf(c.entries, c.stop);
    std::vector<std::string> lines{std::string(kSalesCsvHeader)};
    lines.insert(lines.end(), c.rows.begin(), c.rows.end());
    EXPECT_EQ(salesOf(*investor, c.method, c.year), crlf(lines)) << c.why;
  }
}

// The example's 1994 sale of 150 Quorvex from the 1983 lot, given proceeds of
// 5,100.00: the lot keeps 0.285 of 18,750.00 = 5,343.75, half of it 2,671.875
// (a tie, to even: 2,671.88); the pool's basis is the Detailed report's 4,333.59.
TEST(SalesFile, TheExampleInvestorsSaleOf1994) {
  auto investor = orlendo::Investor::create();
  investor->LoadFile(TVX_EXAMPLES_DIR "/smith.qvx");
  for (const auto& e : *investor->colSecurities()->Item("Quorvex")->colBuySells())
    if (e->XActionDate() == "03/02/1994") e->Proceeds("5,100.00");
  const std::string header = std::string(kSalesCsvHeader) + "\r\n";
  EXPECT_EQ(salesOf(*investor, LotMethod::fifo, 1994),
            header + "Quorvex,150.00000,1983-12-31,1994-03-02,5100.00,2671.88,,,2428.12,long,E,sell,fifo\r\n");
  EXPECT_EQ(salesOf(*investor, LotMethod::average, 1994),
            header + "Quorvex,150.00000,1983-12-31,1994-03-02,5100.00,4333.59,,,766.41,long,E,sell,average\r\n");
}

// The Sales report of the close-outs: 2004 holds only the close-out, whose
// unknown proceeds stay out of the proceeds and gain totals; 2010 sums the
// short Kaldera sale and the long worthless Dirvana.
TEST(SalesReport, YearsTermsAndTotalsWithoutUnknownProceeds) {
  std::string text;
  for (const auto& piece : SalesReportPieces(rowsOf(*investorOf(kCloseOuts, "06/30/2010"), LotMethod::fifo))) {
    text += piece.text;
    EXPECT_TRUE(piece.text.find("Kaldera") == std::string::npos || piece.lines == 2) << "a sale's two lines together";
  }
  const auto figures = [](const char* proceeds, const char* basis, const char* gain) {
    return sp(17) + sp(15 - std::strlen(proceeds)) + proceeds + sp(15 - std::strlen(basis)) + basis +
           sp(15 - std::strlen(gain)) + gain + "\r\n";
  };
  const std::string expected[] = {
      "  Tax year 2004\r\n\r\n  Short-term\r\n  Quorvex Wireless            close-out    06/01/2004  12/30/2004  B\r\n",
      "  Short-term totals\r\n" + figures("0.00", "50.00", "0.00"),
      "  * Proceeds unknown: 1 row is left out of the proceeds and gain totals.\r\n\r\n  Tax year 2010\r\n",
      "  Long-term totals\r\n" + figures("0.00", "123.45", "-123.45"),
      "  Totals for 2010\r\n" + figures("45.00", "153.45", "-108.45"),
  };
  std::size_t at = 0;
  for (const std::string& part : expected) {
    const std::size_t found = text.find(part, at);
    ASSERT_NE(found, std::string::npos) << part << "\nin\n" << text;
    at = found + part.size();
  }
  EXPECT_EQ(text.find("Proceeds unknown", at), std::string::npos) << "2010 has no unknown proceeds";
}

// The title names the year and the method; lots of several days are VARIOUS.
TEST(SalesReport, TheTitleAndASaleOfLotsOfSeveralDays) {
  EXPECT_EQ(SalesTitle(2004, LotMethod::average), "Sales - Quorvex and Related Securities Sales of 2004, Average Basis");
  EXPECT_EQ(SalesTitle({}, LotMethod::fifo),
            "Sales - Quorvex and Related Securities Sales of All Years, First In, First Out");
  std::string text;
  for (const auto& piece : SalesReportPieces(rowsOf(*investorOf(kLumoraBlocks, "12/31/2000"), LotMethod::average)))
    text += piece.text;
  EXPECT_NE(text.find("\r\n  Lumora" + sp(22) + "merger cash  VARIOUS     06/15/2000  B\r\n"), std::string::npos)
      << text;
}

}  // namespace
}  // namespace tvx::test
