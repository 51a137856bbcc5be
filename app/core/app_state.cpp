#include "core/app_state.h"

#include <string>

#include "orlendo/dates.h"

namespace tvx {

std::string makeVersionTag() {
  return "QVX" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

std::optional<int> SalesYearOf(const AppState& state) {
  if (state.SalesTaxYear == kSalesAllYears) return std::nullopt;
  if (state.SalesTaxYear != kSalesStopYear) return state.SalesTaxYear;
  if (!state.Investor) return std::nullopt;
  const auto stop = orlendo::parseDate(state.Investor->StopCalc());
  if (!stop) return std::nullopt;
  return static_cast<int>(stop->year());
}

}  // namespace tvx
