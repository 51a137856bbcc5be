// The sales of a tax year as a CSV file for the tax return: one row per
// disposition and term, UTF-8, CR LF after every line, one header line.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orlendo/profile_file.h"
#include "orlendo/sales.h"

namespace tvx {

inline constexpr std::string_view kSalesCsvHeader =
    "security,shares,date_acquired,date_sold,proceeds,basis,adjustment_code,adjustment,gain,term,box,kind,method";


// The whole file for these rows, made under `method`.
std::string MakeSalesCsv(const std::vector<orlendo::SaleRow>& rows, orlendo::LotMethod method);

// Makes the file of the record's rows for the method and year and writes it
// to the temporary name of `path`, to be put in place with the other files
// of the run (CommitTogether); `rowCount`, when given, gets the number of
// rows. A failure raises an error naming the path.
orlendo::StagedFile StageSalesCsv(const orlendo::SalesRecord& record, orlendo::LotMethod method,
                                  std::optional<int> taxYear, const std::string& path, long* rowCount = nullptr);

// Makes the file of the record's rows for the method and year and replaces
// `path` with it atomically. Returns the number of rows. A failure raises an
// error naming the path and leaves the old file as it was.
long WriteSalesCsv(const orlendo::SalesRecord& record, orlendo::LotMethod method, std::optional<int> taxYear,
                   const std::string& path);

// Reads a tax year as the command line and the desktop give it: one to four
// digits naming a year from 100 to 9999; none otherwise.
std::optional<int> TaxYearFromText(std::string_view text);

}  // namespace tvx
