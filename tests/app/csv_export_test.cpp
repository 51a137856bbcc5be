// The transactions file. Its lines are written out by hand from the Detailed
// report's texts of the same investors (detailed_report_test.cpp and the
// example's report), never captured from the code.
#include "reports/csv_export.h"

#include <gtest/gtest.h>

#include "app_test_support.h"

namespace tvx::test {
namespace {
using orlendo::Currency;
using namespace orlendo::literals;

const std::string kHeader =
    "security,date,description,shares_change,basis_change,shares,basis,basis_per_share,cash_received,"
    "gain_realized,gain_recognized";

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {" Société; 'Générale'\t", " Société; 'Générale'\t"},
      {"Smith, Jones", "\"Smith, Jones\""},
      {"the \"new\" shares", "\"the \"\"new\"\" shares\""},
      {"\"", "\"\"\"\""},
      {"cr\ronly", "\"cr\ronly\""},
      {"lf\nonly", "\"lf\nonly\""},
  };
  for (const auto& [text, field] : cases) EXPECT_EQ(CsvField(text), field) << text;
}

TEST(CsvNumber, DropsTheThousandsSeparatorsOfNumbersOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"-1,000.00000", "-1000.00000"},
      {"1,234,567,890.12", "1234567890.12"},
      {"62.50000", "62.50000"},
      {"", ""},
      {"12,34x", "12,34x"},
  };
  for (const auto& [text, field] : cases) EXPECT_EQ(CsvNumber(text), field) << text;
}

// A cash-or-stock transaction as the calculation leaves it.
void addCashOrStock(const orlendo::Investor& investor, const std::string& security, const XactionTexts& t,
                    Currency cash, Currency realized, Currency recognized) {
  addXaction(investor, security, t);
  const auto x = investor.colSecurities()->Item(security)->colXActions()->NewEnum().back();
  x->XactionType(orlendo::XTransType::cash_or_stk);
  x->SourceCashRecd(cash);
  x->SourceGainRealized(realized);
  x->SourceGainRecog(recognized);
}

TEST(TransactionsCsv, WholeDescriptionsQuotedNamesAndTheCashOrStockFields) {
  auto inv = makeInvestor("Ann Example", "Account 1", "12/31/1983", "06/15/2000");
  inv->colSecurities()->Item("Lumora")->SecName("Lumora, \"Class A\"");
  addXaction(*inv, "Lumora", {"02/14/1992", "Buy", "80", "3960", "80", "3960", "49.5"});
  // Cut to "Cash or stock el" in the report; whole here.
  addCashOrStock(*inv, "Quorvex", {"06/15/2000", "Cash or stock election", "-12345678.12345", "-1234567890.12",
                                   "12345678.12345", "1234567890.12", "99.5"},
                 1700_usd, -0.25_usd, Currency());
  addXaction(*inv, "Quorvex", {"06/16/2000", "Sell", "-1", "-100", "12345677.12345", "1234567790.12", "99.5"});
  const TransactionsCsv csv = MakeTransactionsCsv(*inv);
  EXPECT_EQ(csv.transactions, 2);
  EXPECT_EQ(csv.text,
            crlf({kHeader,
                  "Quorvex,2000-06-15,Cash or stock election,-12345678.12345,-1234567890.12,12345678.12345,"
                  "1234567890.12,99.50000,1700.00,-0.25,0.00",
                  "\"Lumora, \"\"Class A\"\"\",1992-02-14,Buy,80.00000,3960.00,80.00000,3960.00,49.50000,,,"}));
}

// A failure to write says why (tested with the export command); an empty
// name is refused as such.
TEST(WriteTransactionsCsv, ReplacesTheFileAndLeavesNoTemporaryFile) {
  TempFolder t;
  const auto inv = typicalInvestor();
  const std::string file = t.write("smith.csv", "old");
  EXPECT_EQ(WriteTransactionsCsv(*inv, file), 7);
  const std::string once = readBytes(file);
  EXPECT_EQ(once, MakeTransactionsCsv(*inv).text);
  WriteTransactionsCsv(*inv, file);
  EXPECT_EQ(readBytes(file), once) << "replaced, not appended";
  EXPECT_THROW(WriteTransactionsCsv(*inv, t.file("missing/smith.csv")), orlendo::Error);
  try {
    WriteTransactionsCsv(*inv, "");
    ADD_FAILURE() << "an empty name was taken";
  } catch (const orlendo::Error& e) {
    EXPECT_EQ(e.description(), "No CSV file name was given.");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t.path()), {}), 1) << "no temporary file left";
}

}  // namespace
}  // namespace tvx::test
