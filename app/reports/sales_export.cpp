#include "reports/sales_export.h"


#include "core/report_text.h"
#include "orlendo/error.h"
#include "orlendo/profile_file.h"
#include "reports/csv_export.h"

namespace tvx {

namespace {

constexpr orlendo::NumberPattern kCsvSharesPattern{5, false, false};

}  // namespace

std::string MakeSalesCsv(const std::vector<orlendo::SaleRow>& rows, orlendo::LotMethod method) {
  std::string text(kSalesCsvHeader);
  text += kCrLf;
  const std::string_view methodText = orlendo::lotMethodText(method);
  for (const orlendo::SaleRow& row : rows) {
    text += CsvField(row.security);
    text += ',' + orlendo::format(row.shares, kCsvSharesPattern);
    text += ',';
    if (row.various) text += "VARIOUS";
    else if (row.acquired) text += IsoDate(*row.acquired);
    text += ',' + IsoDate(row.sold);
    text += ',';
    if (row.proceeds) text += CsvAmount(*row.proceeds);
    text += ',' + CsvAmount(row.basis);
    text += ",,,";  // the adjustment's code and amount are left to the user
    if (row.gain) text += CsvAmount(*row.gain);
    text += ',';
    text += orlendo::saleTermText(row.term);
    text += ',';
    if (row.box) text += row.box;
    text += ',';
    text += orlendo::saleKindText(row.kind);
    text += ',';
    text += methodText;
    text += kCrLf;
  }
  return text;
}

orlendo::StagedFile StageSalesCsv(const orlendo::SalesRecord& record, orlendo::LotMethod method,
                                  std::optional<int> taxYear, const std::string& path, long* rowCount) {
  const std::vector<orlendo::SaleRow> rows = record.rows(method, taxYear);
  const std::string text = MakeSalesCsv(rows, method);
  if (rowCount) *rowCount = static_cast<long>(rows.size());
  return StageNamedFile(text, path, "sales");
}

long WriteSalesCsv(const orlendo::SalesRecord& record, orlendo::LotMethod method, std::optional<int> taxYear,
                   const std::string& path) {
  long rows = 0;
  CommitOne(StageSalesCsv(record, method, taxYear, path, &rows));
  return rows;
}

std::optional<int> TaxYearFromText(std::string_view text) {
  if (text.empty() || text.size() > 4) return std::nullopt;
  int year = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    year = year * 10 + (c - '0');
  }
  if (year < 100) return std::nullopt;
  return year;
}

}  // namespace tvx
