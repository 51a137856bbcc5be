#include "reports/csv_export.h"

#include <algorithm>
#include <vector>

#include "core/report_text.h"
#include "orlendo/dates.h"
#include "orlendo/error.h"
#include "orlendo/model.h"
#include "orlendo/profile_file.h"
#include "reports/listed_transactions.h"
#include "reports/report_context.h"
#include "reports/report_output.h"

namespace tvx {

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

std::string IsoDate(orlendo::Date d) {
  char text[10];
  return std::string(text, IsoDateTo(text, d));
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + '"';
}

std::string CsvNumber(std::string_view text) {
  if (!orlendo::isNumericText(text)) return std::string(text);
  std::string out;
  for (char c : text)
    if (c != ',') out += c;
  return out;
}

std::string CsvAmount(orlendo::Currency value) { return orlendo::format(value, kCsvAmountPattern); }

TransactionsCsv MakeTransactionsCsv(const orlendo::Investor& investor) {
  TransactionsCsv csv;
  csv.text = kCsvHeader;
  csv.text += kCrLf;
  const orlendo::Date stop = orlendo::readDate(investor.StopCalc());
  std::string security;
  ForEachListedTransaction(
      investor, stop, [&](const orlendo::Security& s, long) { security = CsvField(s.SecName()); },
      [&](const orlendo::Xaction& x, orlendo::Date date) {
        std::string& line = csv.text;
        line += security;
        line += ',' + IsoDate(date);
        line += ',' + CsvField(x.Description());
        for (const std::string& number : {x.ChgShrs(), x.ChgCost(), x.NewShrs(), x.NewCost(), x.NewCostPerShr()})
          line += ',' + CsvField(CsvNumber(number));
        if (x.XactionType() == orlendo::XTransType::cash_or_stk) {
          line += ',' + CsvAmount(x.SourceCashRecd());
          line += ',' + CsvAmount(x.SourceGainRealized());
          line += ',' + CsvAmount(x.SourceGainRecog());
        } else {
          line += ",,,";
        }
        line += kCrLf;
        ++csv.transactions;
      });
  return csv;
}

orlendo::StagedFile StageNamedFile(const std::string& text, const std::string& path, std::string_view what) {
  if (path.empty())
    throw orlendo::Error(orlendo::errnum::NoFilename, "tvxdesk", "No " + std::string(what) + " file name was given.");
  try {
    return orlendo::StagedFile(path, text);
  } catch (const orlendo::Error& e) {
    // Name the file: the library's error knows only what failed.
    const std::string why = e.isMessage() ? e.description() : std::string(orlendo::errorTypeText(e.number()));
    throw orlendo::Error(e.number(), "tvxdesk",
                         "Cannot write the " + std::string(what) + " file \"" + path + "\": " + why);
  }
}

void CommitOne(orlendo::StagedFile file) {
  std::vector<orlendo::StagedFile> files;
  files.push_back(std::move(file));
  CommitTogether(nullptr, files);
}

orlendo::StagedFile StageTransactionsCsv(const std::string& text, const std::string& path) {
  return StageNamedFile(text, path, "CSV");
}

long WriteTransactionsCsv(const orlendo::Investor& investor, const std::string& path) {
  const TransactionsCsv csv = MakeTransactionsCsv(investor);
  CommitOne(StageTransactionsCsv(csv.text, path));
  return csv.transactions;
}

long ExportTransactions(ReportContext& ctx, const std::string& path) {
  if (!CalculateOrShowFault(ctx, false, "No CSV file was written.")) return -1;
  return WriteTransactionsCsv(*ctx.state.Investor, path);
}

}  // namespace tvx
