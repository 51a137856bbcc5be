#include "reports/sales_export.h"

#include <algorithm>

#include "core/report_text.h"
#include "orlendo/error.h"
#include "orlendo/profile_file.h"
#include "reports/csv_export.h"

namespace tvx {

namespace {

constexpr orlendo::NumberPattern kCsvSharesPattern{5, false, false};

char* CopyTo(char* out, std::string_view text) { return std::copy(text.begin(), text.end(), out); }

// One line of the file, its fields written straight into `text`.
void AppendSalesRow(std::string& text, const orlendo::SaleRow& row, std::string_view methodText) {
  const auto plain = [](char c) { return c != ',' && c != '"' && c != '\r' && c != '\n'; };
  if (std::all_of(row.security.begin(), row.security.end(), plain)) text += row.security;
  else text += CsvField(row.security);
  // The numbers, dates and short words after the name.
  char line[4 * orlendo::kFormatMax + 96];
  char* p = line;
  *p++ = ',';
  p = orlendo::formatTo(p, row.shares, kCsvSharesPattern);
  *p++ = ',';
  if (row.various) p = CopyTo(p, "VARIOUS");
  else if (row.acquired) p = IsoDateTo(p, *row.acquired);
  *p++ = ',';
  p = IsoDateTo(p, row.sold);
  *p++ = ',';
  if (row.proceeds) p = orlendo::formatTo(p, *row.proceeds, kCsvAmountPattern);
  *p++ = ',';
  p = orlendo::formatTo(p, row.basis, kCsvAmountPattern);
  p = CopyTo(p, ",,,");  // the adjustment's code and amount are left to the user
  if (row.gain) p = orlendo::formatTo(p, *row.gain, kCsvAmountPattern);
  *p++ = ',';
  p = CopyTo(p, orlendo::saleTermText(row.term));
  *p++ = ',';
  if (row.box) *p++ = row.box;
  *p++ = ',';
  p = CopyTo(p, orlendo::saleKindText(row.kind));
  *p++ = ',';
  text.append(line, p);
  text += methodText;
  text += kCrLf;
}

// Room for a typical row: a short name, the dates and three amounts. A longer
// row only makes the text grow as usual.
constexpr std::size_t kTypicalRowBytes = 112;

}  // namespace

std::string MakeSalesCsv(const std::vector<orlendo::SaleRow>& rows, orlendo::LotMethod method) {
  std::string text(kSalesCsvHeader);
  text += kCrLf;
  const std::string_view methodText = orlendo::lotMethodText(method);
  for (const orlendo::SaleRow& row : rows) AppendSalesRow(text, row, methodText);
  return text;
}

orlendo::StagedFile StageSalesCsv(const orlendo::SalesRecord& record, orlendo::LotMethod method,
                                  std::optional<int> taxYear, const std::string& path, long* rowCount) {
  // The rows go into the text one at a time: a heavy investor's thousands of
  // rows are never all held as rows.
  std::string text;
  text.reserve(kSalesCsvHeader.size() + kCrLf.size() + record.rowCount(method, taxYear) * kTypicalRowBytes);
  text += kSalesCsvHeader;
  text += kCrLf;
  const std::string_view methodText = orlendo::lotMethodText(method);
  const std::size_t rows =
      record.forEachRow(method, taxYear, [&](const orlendo::SaleRow& row) { AppendSalesRow(text, row, methodText); });
  if (rowCount) *rowCount = static_cast<long>(rows);
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
