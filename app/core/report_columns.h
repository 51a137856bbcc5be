// The widths of the report fields that show a buy's or sell's numbers. The
// builders fit their values into these (a longer figure runs past its field,
// whole); the input window refuses a value longer than its field, so that
// an entry keeps the columns in line.
#pragma once

#include <cstddef>

#include "orlendo/numbers.h"

namespace tvx {

struct ReportColumn {
  std::size_t width;
  orlendo::NumberPattern pattern;  // how the value reaches the field
};

// Summary: shares held, basis with "$", basis per share with "$".
inline constexpr ReportColumn kSummaryShares{15, orlendo::kSharesPattern};
inline constexpr ReportColumn kSummaryBasis{15, orlendo::kDollarAmountPattern};
inline constexpr ReportColumn kSummaryPerShare{17, orlendo::kDollarPerSharePattern};
// Detailed: the change and the holding in shares, basis amounts, basis per share.
inline constexpr ReportColumn kDetailShares{16, orlendo::kSharesPattern};
inline constexpr ReportColumn kDetailBasis{15, orlendo::kAmountPattern};
inline constexpr ReportColumn kDetailPerShare{16, orlendo::kPerSharePattern};

}  // namespace tvx
