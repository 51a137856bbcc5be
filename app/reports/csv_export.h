// Every transaction the Detailed report lists, as a CSV file for
// spreadsheets and tax software: UTF-8 without a byte-order mark, commas,
// CR LF after every line, a header line, then one line per transaction in
// the Detailed report's order, so the file reconciles line by line with the
// printed audit trail.
#pragma once

#include <string>
#include <string_view>

#include "orlendo/dates.h"
#include "orlendo/numbers.h"

namespace orlendo {
class Investor;
class StagedFile;
}

namespace tvx {

struct ReportContext;

inline constexpr std::string_view kCsvHeader =
    "security,date,description,shares_change,basis_change,shares,basis,basis_per_share,cash_received,"
    "gain_realized,gain_recognized";

// The field as written: in double quotes, inner quotes doubled, when it
// holds a comma, a double quote, a CR or an LF; otherwise as it is.
std::string CsvField(std::string_view text);
// A number text of the library without its thousands separators; a text
// that is not a number as it is.
std::string CsvNumber(std::string_view text);
// Two decimals, a leading minus when negative, no separators; a value that
// rounds to zero is "0.00".
inline constexpr orlendo::NumberPattern kCsvAmountPattern{2, false, false};
std::string CsvAmount(orlendo::Currency value);

struct TransactionsCsv {
  std::string text;       // the whole file
  long transactions = 0;  // lines after the header
};

// The file over the investor as its last calculation left it.
TransactionsCsv MakeTransactionsCsv(const orlendo::Investor& investor);

// "yyyy-mm-dd".
std::string IsoDate(orlendo::Date d);
// The same ten characters written at `out`; returns their end.
char* IsoDateTo(char* out, orlendo::Date d);

// Writes `text` to the temporary name of `path`, to be put in place with the
// other files of the run (CommitTogether). A failure raises an error naming
// the path and `what` file it is ("Cannot write the CSV file ...").
orlendo::StagedFile StageNamedFile(const std::string& text, const std::string& path, std::string_view what);

// Puts one staged file in place on its own.
void CommitOne(orlendo::StagedFile file);

// Writes `text`, the file, to the temporary name of `path`, to be put in
// place with the other files of the run (CommitTogether). A failure raises
// an error naming the path.
orlendo::StagedFile StageTransactionsCsv(const std::string& text, const std::string& path);

// Makes the file and replaces `path` with it atomically. Returns the number
// of transactions. A failure raises an error naming the path and leaves the
// old file as it was.
long WriteTransactionsCsv(const orlendo::Investor& investor, const std::string& path);

// Calculates the open investor (CalculateInvestor) and writes the file.
// An entry that does not calculate is shown (ShowEntryFault) and gives -1,
// with no file written.
long ExportTransactions(ReportContext& ctx, const std::string& path);

}  // namespace tvx
