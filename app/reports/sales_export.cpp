#include "reports/sales_export.h"

#include <algorithm>

#include "core/report_text.h"
#include "orlendo/error.h"
#include "orlendo/profile_file.h"
#include "reports/csv_export.h"

namespace tvx {

namespace {

constexpr orlendo::NumberPattern kCsvSharesPattern{5, false, false};

// "yyyy-mm-dd" at `out`; returns the end.
char* IsoDateTo(char* out, orlendo::Date d) {
  // Years from 100 to 9999: four digits, zero-padded like month and day.
  const int y = static_cast<int>(d.year());
  const unsigned m = static_cast<unsigned>(d.month()), day = static_cast<unsigned>(d.day());
  const char text[10] = {static_cast<char>('0' + y / 1000 % 10), static_cast<char>('0' + y / 100 % 10),
                         static_cast<char>('0' + y / 10 % 10),   static_cast<char>('0' + y % 10),
                         '-',
                         static_cast<char>('0' + m / 10),        static_cast<char>('0' + m % 10),
                         '-',
                         static_cast<char>('0' + day / 10),      static_cast<char>('0' + day % 10)};
  return std::copy(text, text + sizeof text, out);
}

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

}  // namespace

std::string IsoDate(orlendo::Date d) {
  char text[10];
  return std::string(text, IsoDateTo(text, d));
}

namespace {

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
  if (path.empty())
    throw orlendo::Error(orlendo::errnum::NoFilename, "No sales file name was given.",
                         std::string(orlendo::kProductDescription));
  try {
    return orlendo::StagedFile(path, text);
  } catch (const orlendo::Error& e) {
    const std::string why = e.isMessage() ? e.description() : std::string(orlendo::errorTypeText(e.number()));
    throw orlendo::Error(e.number(), "Cannot write the sales file \"" + path + "\": " + why,
                         std::string(orlendo::kProductDescription));
  }
}

long WriteSalesCsv(const orlendo::SalesRecord& record, orlendo::LotMethod method, std::optional<int> taxYear,
                   const std::string& path) {
  long rows = 0;
  std::vector<orlendo::StagedFile> file;
  file.push_back(StageSalesCsv(record, method, taxYear, path, &rows));
  CommitTogether(nullptr, file);
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
